#include "import/ZipCheck.h"

#include <QLocale>
#include <QXmlStreamReader>
#include <QHash>
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
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != QLatin1String("sheet"))
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
// not hide it; the table styles come before the tables.
class OdsTables {
  public:
    void add(const char* data, qint64 size) {
        if (found_ >= 0 || failed_)
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
            if (token != QXmlStreamReader::StartElement)
                continue;
            const QXmlStreamAttributes attrs = xml_.attributes();
            if (xml_.name() == QLatin1String("style")) {
                style_ = attrs.value(QLatin1String("style:name")).toString();
            } else if (xml_.name() == QLatin1String("table-properties")) {
                if (attrs.value(QLatin1String("table:display")) == QLatin1String("false"))
                    hiddenStyles_.insert(style_, true);
            } else if (xml_.name() == QLatin1String("table") &&
                       xml_.namespaceUri().contains(QLatin1String(":table:"))) {
                const QString style = attrs.value(QLatin1String("table:style-name")).toString();
                if (!hiddenStyles_.contains(style)) {
                    found_ = tables_;
                    return;
                }
                ++tables_;
            }
        }
    }
    int found() const { return found_; }

  private:
    QXmlStreamReader xml_;
    QString style_;
    QHash<QString, bool> hiddenStyles_;
    int tables_ = 0;
    int found_ = -1;
    bool failed_ = false;
};

} // namespace

ZipFacts CheckZip(const QByteArray& bytes, const ReadControl& control) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes.constData(), zip_uint64_t(bytes.size()),
                                                    0, &error);
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
    OdsTables odsTables;
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
        QByteArray kept;
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
            if (workbook || (mimetype && kept.size() < 200))
                kept.append(buffer.data(), int(n));
            if (content)
                odsTables.add(buffer.data(), n);
        }
        if (workbook) {
            isXlsx = true;
            workbookXml = kept;
        }
        if (mimetype && kept.startsWith("application/vnd.oasis.opendocument.spreadsheet"))
            isOds = true;
    }
    if (isXlsx) {
        facts.kind = FileKind::Xlsx;
        facts.visibleSheet = firstVisibleXlsx(workbookXml);
    } else if (isOds) {
        facts.kind = FileKind::Ods;
        facts.visibleSheet = odsTables.found();
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
