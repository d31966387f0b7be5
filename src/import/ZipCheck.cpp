#include "import/ZipCheck.h"

#include "import/XlsxParts.h"

#include <QHash>
#include <QLocale>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <cstring>
#include <list>
#include <memory>
#include <zip.h>

namespace orvane::importer {

namespace {

constexpr zip_int64_t kMaxEntries = 10000;

QString damaged() {
    return QStringLiteral("The file is damaged: its zip container is truncated or corrupt. "
                          "Nothing was imported.");
}

QString bomb(qint64 limit) {
    return QStringLiteral("The file unpacks to more than %1 MB. Nothing was imported.")
        .arg(QLocale(QLocale::English).toString(limit / (1024 * 1024)));
}

struct ArchiveCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
struct EntryCloser {
    void operator()(zip_file_t* entry) const { zip_fclose(entry); }
};

// The sheets of an .xlsx workbook in order, with whether each is hidden.
int firstVisibleXlsx(const QByteArray& workbookXml) {
    QXmlStreamReader xml(workbookXml);
    int index = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement ||
            xml.name() != QLatin1String("sheet"))
            continue;
        const auto state = xml.attributes().value(QLatin1String("state"));
        if (state != QLatin1String("hidden") && state != QLatin1String("veryHidden"))
            return index;
        ++index;
    }
    if (xml.hasError())
        throw ImportFileError(damaged());
    return -1;
}

// Reads an .ods content.xml as it unpacks and stops at the first table whose style does
// not hide it (the table styles come before the tables), once its columns are read: the
// .ods reader does not say which of them are hidden.
class OdsTables {
  public:
    explicit OdsTables(int maxColumns) : maxColumns_(maxColumns) {}
    void add(const char* data, qint64 size) {
        if (done_ || failed_)
            return;
        xml_.addData(QByteArray::fromRawData(data, int(size)));
        while (!xml_.atEnd()) {
            const QXmlStreamReader::TokenType token = xml_.readNext();
            if (token == QXmlStreamReader::Invalid) {
                // Waiting for more data is no error.
                if (xml_.error() != QXmlStreamReader::PrematureEndOfDocumentError)
                    failed_ = true;
                return;
            }
            if (found_ >= 0 && (xml_.name() == QLatin1String("table-row") ||
                                xml_.name() == QLatin1String("table"))) {
                done_ = true;
                return;
            }
            if (token != QXmlStreamReader::StartElement)
                continue;
            const QXmlStreamAttributes attrs = xml_.attributes();
            if (found_ >= 0 && xml_.name() == QLatin1String("table-column")) {
                const int repeated =
                    attrs.value(QLatin1String("table:number-columns-repeated")).toInt();
                const int end = std::min(column_ + std::max(repeated, 1), maxColumns_);
                const bool hidden =
                    attrs.value(QLatin1String("table:visibility")) == QLatin1String("collapse");
                for (; column_ < end; ++column_)
                    if (hidden)
                        hiddenColumns_.push_back(column_);
            } else if (xml_.name() == QLatin1String("style")) {
                style_ = attrs.value(QLatin1String("style:name")).toString();
            } else if (xml_.name() == QLatin1String("table-properties")) {
                if (attrs.value(QLatin1String("table:display")) == QLatin1String("false"))
                    hiddenStyles_.insert(style_, true);
            } else if (found_ < 0 && xml_.name() == QLatin1String("table") &&
                       xml_.namespaceUri().contains(QLatin1String(":table:"))) {
                const QString style = attrs.value(QLatin1String("table:style-name")).toString();
                if (!hiddenStyles_.contains(style))
                    found_ = tables_;
                else
                    ++tables_;
            }
        }
    }
    int found() const { return found_; }
    const std::vector<int>& hiddenColumns() const { return hiddenColumns_; }

  private:
    QXmlStreamReader xml_;
    QString style_;
    QHash<QString, bool> hiddenStyles_;
    int tables_ = 0;
    int found_ = -1;
    bool failed_ = false;
    bool done_ = false;
    const int maxColumns_;
    int column_ = 0;
    std::vector<int> hiddenColumns_;
};

// Where libzip writes the new archive: straight into one buffer with room for all of it.
// libzip's own growable buffer was read out into another, a second copy of the sheet, and on
// a fresh process every copy of that size pays a page fault per 4 KiB.
struct ArchiveSink {
    QByteArray data;
    qsizetype at = 0;
    zip_error_t error;

    static zip_int64_t command(void* state, void* data, zip_uint64_t length, zip_source_cmd_t cmd) {
        auto& sink = *static_cast<ArchiveSink*>(state);
        switch (cmd) {
        case ZIP_SOURCE_SUPPORTS:
            return zip_source_make_command_bitmap(
                ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, ZIP_SOURCE_SEEK, ZIP_SOURCE_TELL,
                ZIP_SOURCE_BEGIN_WRITE, ZIP_SOURCE_WRITE, ZIP_SOURCE_COMMIT_WRITE,
                ZIP_SOURCE_ROLLBACK_WRITE, ZIP_SOURCE_SEEK_WRITE, ZIP_SOURCE_TELL_WRITE,
                ZIP_SOURCE_REMOVE, -1);
        case ZIP_SOURCE_STAT: {
            auto* stat = static_cast<zip_stat_t*>(data);
            zip_stat_init(stat);
            stat->size = zip_uint64_t(sink.data.size());
            stat->valid |= ZIP_STAT_SIZE;
            return sizeof(zip_stat_t);
        }
        case ZIP_SOURCE_OPEN:
        case ZIP_SOURCE_BEGIN_WRITE:
            if (cmd == ZIP_SOURCE_BEGIN_WRITE)
                sink.data.resize(0);
            sink.at = 0;
            return 0;
        case ZIP_SOURCE_READ: {
            const qsizetype n = std::min<qsizetype>(qsizetype(length), sink.data.size() - sink.at);
            std::memcpy(data, sink.data.constData() + sink.at, size_t(n));
            sink.at += n;
            return n;
        }
        case ZIP_SOURCE_WRITE:
            if (sink.at + qsizetype(length) > sink.data.size())
                sink.data.resize(sink.at + qsizetype(length));
            std::memcpy(sink.data.data() + sink.at, data, size_t(length));
            sink.at += qsizetype(length);
            return zip_int64_t(length);
        case ZIP_SOURCE_SEEK:
        case ZIP_SOURCE_SEEK_WRITE: {
            const zip_int64_t to = zip_source_seek_compute_offset(
                zip_uint64_t(sink.at), zip_uint64_t(sink.data.size()), data, length, &sink.error);
            if (to < 0)
                return -1;
            sink.at = qsizetype(to);
            return 0;
        }
        case ZIP_SOURCE_TELL:
        case ZIP_SOURCE_TELL_WRITE:
            return sink.at;
        case ZIP_SOURCE_ERROR:
            return zip_error_to_data(&sink.error, data, length);
        default: // close, commit, rollback, remove, free: nothing to do
            return 0;
        }
    }
};

// The archive with the given parts replaced and stored, written by libzip into memory.
QByteArray replaced(const QByteArray& bytes, const QHash<QString, QByteArray>& parts) {
    ArchiveSink sink;
    zip_error_init(&sink.error);
    // Every entry is stored: room for each one unpacked, and the headers.
    qsizetype room = 64 * 1024;
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_function_create(&ArchiveSink::command, &sink, &error);
    if (!source)
        return QByteArray();
    zip_source_keep(source);
    zip_t* out = zip_open_from_source(source, ZIP_TRUNCATE, &error);
    zip_error_fini(&error);
    QByteArray result;
    if (out) {
        zip_source_t* original =
            zip_source_buffer_create(bytes.constData(), zip_uint64_t(bytes.size()), 0, nullptr);
        zip_t* in = original ? zip_open_from_source(original, ZIP_RDONLY, nullptr) : nullptr;
        // libzip reads the buffers at zip_close: they must not move before.
        std::list<QByteArray> kept;
        bool ok = in != nullptr;
        const zip_int64_t entries = in ? zip_get_num_entries(in, 0) : 0;
        for (zip_int64_t i = 0; ok && i < entries; ++i) {
            const QString name = QString::fromUtf8(zip_get_name(in, zip_uint64_t(i), 0));
            zip_source_t* part = nullptr;
            if (parts.contains(name)) {
                kept.push_back(parts.value(name));
                part = zip_source_buffer(out, kept.back().constData(),
                                         zip_uint64_t(kept.back().size()), 0);
            } else {
                part = zip_source_zip(out, in, zip_uint64_t(i), 0, 0, -1);
                zip_stat_t stat;
                if (zip_stat_index(in, zip_uint64_t(i), 0, &stat) == 0 &&
                    (stat.valid & ZIP_STAT_SIZE))
                    room += qsizetype(std::min<zip_uint64_t>(stat.size, 1 << 30));
            }
            const zip_int64_t index =
                part ? zip_file_add(out, name.toUtf8().constData(), part, ZIP_FL_ENC_UTF_8) : -1;
            ok = index >= 0;
            if (!ok && part)
                zip_source_free(part);
            // Stored, not packed again: the archive is read once, straight away.
            if (ok)
                zip_set_file_compression(out, zip_uint64_t(index), ZIP_CM_STORE, 0);
        }
        for (auto it = parts.constBegin(); ok && it != parts.constEnd(); ++it) {
            if (in && zip_name_locate(in, it.key().toUtf8().constData(), 0) >= 0)
                continue;
            kept.push_back(it.value());
            zip_source_t* part = zip_source_buffer(out, kept.back().constData(),
                                                   zip_uint64_t(kept.back().size()), 0);
            const zip_int64_t index =
                part ? zip_file_add(out, it.key().toUtf8().constData(), part, ZIP_FL_ENC_UTF_8)
                     : -1;
            ok = index >= 0;
            if (!ok && part)
                zip_source_free(part);
            if (ok)
                zip_set_file_compression(out, zip_uint64_t(index), ZIP_CM_STORE, 0);
        }
        for (const QByteArray& part : parts)
            room += part.size();
        sink.data.reserve(room);
        ok = zip_close(out) == 0 && ok;
        if (!ok)
            zip_discard(out);
        if (in)
            zip_discard(in);
        else if (original)
            zip_source_free(original);
        if (ok)
            result = std::move(sink.data);
    }
    zip_source_free(source);
    zip_error_fini(&sink.error);
    return result;
}

} // namespace

ZipFacts CheckZip(const QByteArray& bytes, const ReadControl& control) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source =
        zip_source_buffer_create(bytes.constData(), zip_uint64_t(bytes.size()), 0, &error);
    if (!source)
        throw ImportFileError(damaged());
    std::unique_ptr<zip_t, ArchiveCloser> archive(
        zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error));
    zip_error_fini(&error);
    if (!archive) {
        zip_source_free(source);
        throw ImportFileError(damaged());
    }
    const zip_int64_t entries = zip_get_num_entries(archive.get(), 0);
    if (entries <= 0 || entries > kMaxEntries)
        throw ImportFileError(damaged());

    ZipFacts facts;
    bool isXlsx = false, isOds = false;
    QByteArray workbookXml;
    OdsTables odsTables(control.limits.maxColumns);
    QHash<QString, QByteArray> xlsxParts;
    qint64 unpacked = 0;
    std::vector<char> buffer(64 * 1024);
    for (zip_int64_t i = 0; i < entries; ++i) {
        const char* rawName = zip_get_name(archive.get(), zip_uint64_t(i), 0);
        const QString name = rawName ? QString::fromUtf8(rawName) : QString();
        std::unique_ptr<zip_file_t, EntryCloser> entry(
            zip_fopen_index(archive.get(), zip_uint64_t(i), 0));
        if (!entry)
            throw ImportFileError(damaged());
        const bool workbook = name == QLatin1String("xl/workbook.xml");
        const bool content = name == QLatin1String("content.xml");
        const bool mimetype = name == QLatin1String("mimetype");
        const bool rels = name.endsWith(QLatin1String(".rels"));
        const bool xlsxPart = name.startsWith(QLatin1String("xl/worksheets/sheet")) ||
                              name == QLatin1String("xl/sharedStrings.xml") ||
                              name == QLatin1String("[Content_Types].xml");
        QByteArray kept;
        zip_stat_t stat;
        // Room for a kept part at once, within what is left of the unpacked limit.
        if ((workbook || rels || xlsxPart) &&
            zip_stat_index(archive.get(), zip_uint64_t(i), 0, &stat) == 0 &&
            (stat.valid & ZIP_STAT_SIZE))
            kept.reserve(qsizetype(std::min<zip_uint64_t>(
                stat.size, zip_uint64_t(control.limits.maxUnpackedBytes - unpacked))));
        for (;;) {
            const zip_int64_t n = zip_fread(entry.get(), buffer.data(), buffer.size());
            if (n < 0) // a failed inflate or a wrong checksum
                throw ImportFileError(damaged());
            if (n == 0)
                break;
            unpacked += n;
            if (unpacked > control.limits.maxUnpackedBytes)
                throw ImportFileError(bomb(control.limits.maxUnpackedBytes));
            if (control.cancelled())
                throw ImportCancelled();
            if (workbook || rels || xlsxPart || (mimetype && kept.size() < 200))
                kept.append(buffer.data(), int(n));
            if (content)
                odsTables.add(buffer.data(), n);
        }
        if (workbook) {
            isXlsx = true;
            workbookXml = kept;
        }
        if (rels || xlsxPart)
            xlsxParts.insert(name, kept);
        if (mimetype && kept.startsWith("application/vnd.oasis.opendocument.spreadsheet"))
            isOds = true;
    }
    if (isXlsx) {
        facts.kind = FileKind::Xlsx;
        facts.visibleSheet = firstVisibleXlsx(workbookXml);
        const QHash<QString, QByteArray> changed = ReadableXlsxParts(std::move(xlsxParts));
        if (!changed.isEmpty()) {
            facts.relativeParts = replaced(bytes, changed);
            if (facts.relativeParts.isEmpty())
                throw ImportFileError(damaged());
        }
    } else if (isOds) {
        facts.kind = FileKind::Ods;
        facts.visibleSheet = odsTables.found();
        facts.hiddenColumns = odsTables.hiddenColumns();
    } else {
        throw ImportFileError(QStringLiteral(
            "The file is a zip archive but no spreadsheet (.xlsx or .ods). Nothing was imported."));
    }
    if (facts.visibleSheet < 0)
        throw ImportFileError(
            QStringLiteral("The workbook has no visible sheet. Nothing was imported."));
    return facts;
}

} // namespace orvane::importer
