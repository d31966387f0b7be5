// libzip reads and writes the archive; what is written here is what it has no call for. Its
// "sources" are glue: one lets libzip read the archive from a Qt device and write the new one
// to another (the save file that replaces the workbook), the other hands it the edited entry.
// That entry is spliced by hand (zlib does the compressing): libzip would recompress a replaced
// entry in full, which for a large sheet costs more than all the library's own work after its
// rows, while the edit touches only the first few hundred bytes.
#include "workbook/ZipPatch.h"

#include <algorithm>
#include <optional>
#include <zip.h>
#include <zlib.h>

namespace orvane {

namespace {

zip_int64_t fail(zip_error_t& error, int code) {
    zip_error_set(&error, code, 0);
    return -1;
}

zip_int64_t seek(QIODevice& device, zip_error_t& error, void* data, zip_uint64_t len) {
    const zip_int64_t at = zip_source_seek_compute_offset(
        zip_uint64_t(device.pos()), zip_uint64_t(device.size()), data, len, &error);
    if (at < 0)
        return -1;
    return device.seek(at) ? 0 : fail(error, ZIP_ER_SEEK);
}

// The archive: read from `in`, written to `out`. Committing is the caller's business.
struct Devices {
    Devices(QIODevice& from, QIODevice& to) : in(from), out(to) { zip_error_init(&error); }
    ~Devices() { zip_error_fini(&error); }

    QIODevice& in;
    QIODevice& out;
    zip_error_t error;
    QString why; // the device's own account of a failure

    zip_int64_t failed(QIODevice& device, int code) {
        why = device.errorString();
        return fail(error, code);
    }
};

zip_int64_t devices(void* state, void* data, zip_uint64_t len, zip_source_cmd_t cmd) {
    Devices& d = *static_cast<Devices*>(state);
    switch (cmd) {
    case ZIP_SOURCE_OPEN:
    case ZIP_SOURCE_CLOSE:
    case ZIP_SOURCE_FREE:
    case ZIP_SOURCE_COMMIT_WRITE:
    case ZIP_SOURCE_ROLLBACK_WRITE:
    case ZIP_SOURCE_REMOVE:
    case ZIP_SOURCE_ACCEPT_EMPTY: // 0: an empty device is not an archive
        return 0;
    case ZIP_SOURCE_BEGIN_WRITE:
        return d.out.seek(0) ? 0 : d.failed(d.out, ZIP_ER_SEEK);
    case ZIP_SOURCE_READ: {
        const qint64 n = d.in.read(static_cast<char*>(data), qint64(len));
        return n >= 0 ? n : d.failed(d.in, ZIP_ER_READ);
    }
    case ZIP_SOURCE_WRITE:
        return d.out.write(static_cast<const char*>(data), qint64(len)) == qint64(len)
                   ? zip_int64_t(len)
                   : d.failed(d.out, ZIP_ER_WRITE);
    case ZIP_SOURCE_SEEK:
        return seek(d.in, d.error, data, len);
    case ZIP_SOURCE_SEEK_WRITE:
        return seek(d.out, d.error, data, len);
    case ZIP_SOURCE_TELL:
        return d.in.pos();
    case ZIP_SOURCE_TELL_WRITE:
        return d.out.pos();
    case ZIP_SOURCE_STAT: {
        auto* st = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, len, &d.error);
        if (!st)
            return -1;
        zip_stat_init(st);
        st->size = zip_uint64_t(d.in.size());
        st->valid |= ZIP_STAT_SIZE;
        return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&d.error, data, len);
    case ZIP_SOURCE_SUPPORTS:
        return ZIP_SOURCE_SUPPORTS_WRITABLE |
               zip_source_make_command_bitmap(ZIP_SOURCE_ACCEPT_EMPTY, -1);
    default:
        return fail(d.error, ZIP_ER_OPNOTSUPP);
    }
}

// The edited entry, handed to libzip already compressed. Its data is inflated from the start
// up to the first deflate block boundary at least 32 KiB past the marker, given the insert and
// deflated again; the blocks after that boundary are copied bit for bit, shifted to follow the
// new start. They decode to the same bytes: a block refers back at most 32 KiB, and those
// bytes are the same in both. Data without such a boundary (a small sheet) is rewritten whole.
struct Splice {
    Splice(const QByteArray& m, const QByteArray& i) : marker(m), insert(i) {
        zip_error_init(&error);
        zip_stat_init(&original);
    }
    ~Splice() { zip_error_fini(&error); }

    void closeFile() { // before the archive goes
        if (file)
            zip_fclose(file);
        file = nullptr;
    }

    static constexpr qsizetype Chunk = 1 << 16;
    static constexpr qsizetype Window = 1 << 15; // how far back a deflate block may refer
    const QByteArray& marker;
    const QByteArray& insert;
    zip_t* archive = nullptr;
    zip_uint64_t index = 0;
    zip_stat_t original;
    std::optional<bool> planned; // whether plan() succeeded, once it ran
    zip_file_t* file = nullptr;  // the original compressed data, read on into `raw`
    QByteArray head;             // the new start, compressed, ending on a byte boundary
    qsizetype given = 0;         // of `head`
    QByteArray raw;              // original compressed data not copied yet, from `at`
    qsizetype at = 0;
    int shift = 0;       // low bits of raw[at] that belong to the new start, not the rest
    bool rawEnd = false; // nothing more to copy after `raw`
    zip_uint32_t crc = 0;
    zip_uint64_t compressedSize = 0;
    zip_error_t error;
    QString why;

    bool failed(const QString& reason) {
        why = reason;
        zip_error_set(&error, ZIP_ER_INCONS, 0);
        return false;
    }

    zip_int64_t readRaw(char* into, zip_uint64_t n) {
        const zip_int64_t got = zip_fread(file, into, n);
        if (got < 0) {
            const zip_error_t* e = zip_file_get_error(file);
            zip_error_set(&error, zip_error_code_zip(e), zip_error_code_system(e));
        }
        return got;
    }

    // Reads and deflates the new start; afterwards `raw` from `at` holds what follows it. Only
    // once the archive is being written: libzip refuses to start while an entry is open.
    bool plan() {
        const QString name = QString::fromUtf8(original.name);
        if (original.comp_method != ZIP_CM_DEFLATE)
            return failed(QStringLiteral("the entry %1 is not deflated").arg(name));
        file = zip_fopen_index(archive, index, ZIP_FL_COMPRESSED | ZIP_FL_UNCHANGED);
        if (!file) {
            const zip_error_t* e = zip_get_error(archive);
            zip_error_set(&error, zip_error_code_zip(e), zip_error_code_system(e));
            return false;
        }
        z_stream in{};
        if (inflateInit2(&in, -MAX_WBITS) != Z_OK)
            return failed(QStringLiteral("zlib cannot start"));
        QByteArray plain;
        qsizetype markerEnd = -1;
        zip_uint64_t rawStart = 0; // where raw[0] lies in the compressed data
        int ret = Z_OK;
        bool ended = false; // all compressed data read: inflate finishes or finds it cut
        for (;;) {
            if (in.avail_in == 0 && !ended) { // the last chunk stays: its last byte may go on
                QByteArray next(Chunk, Qt::Uninitialized);
                const zip_int64_t got = readRaw(next.data(), Chunk);
                if (got < 0) {
                    inflateEnd(&in);
                    return false;
                }
                if ((ended = got == 0)) {
                    in.next_in = nullptr;
                } else {
                    rawStart = in.total_in;
                    raw = next.left(qsizetype(got));
                    in.next_in = reinterpret_cast<Bytef*>(raw.data());
                    in.avail_in = uInt(got);
                }
            }
            plain.resize(qsizetype(in.total_out) + Chunk);
            in.next_out = reinterpret_cast<Bytef*>(plain.data()) + in.total_out;
            in.avail_out = uInt(Chunk);
            ret = inflate(&in, Z_BLOCK); // stops at each block's end
            plain.resize(qsizetype(in.total_out));
            if (ret != Z_OK) // the end, or Z_BUF_ERROR: cut short
                break;
            if (markerEnd < 0 && (markerEnd = plain.indexOf(marker)) >= 0)
                markerEnd += marker.size();
            if (markerEnd < 0 && plain.size() > Chunk)
                break;
            // 128: between two blocks, 64: the one that ended was the last
            if (markerEnd >= 0 && (in.data_type & (128 | 64)) == 128 &&
                plain.size() >= markerEnd + Window)
                break;
        }
        const zip_uint64_t bits = zip_uint64_t(in.total_in) * 8 - zip_uint64_t(in.data_type & 7);
        inflateEnd(&in);
        if (ret != Z_OK && ret != Z_STREAM_END)
            return failed(QStringLiteral("the entry %1 is damaged").arg(name));
        if (markerEnd < 0 && (markerEnd = plain.indexOf(marker)) >= 0)
            markerEnd += marker.size();
        if (markerEnd < 0)
            return failed(QStringLiteral("the entry %1 holds no %2 in its first 64 KiB")
                              .arg(name, QString::fromUtf8(marker)));
        const bool whole = ret == Z_STREAM_END;

        QByteArray edited = plain;
        edited.insert(markerEnd, insert);
        if (!deflateStart(edited, whole))
            return false;
        const auto crcOf = [](const QByteArray& b) {
            return crc32(0, reinterpret_cast<const Bytef*>(b.constData()), uInt(b.size()));
        };
        if (whole) {
            crc = zip_uint32_t(crcOf(edited));
            compressedSize = zip_uint64_t(head.size());
            rawEnd = true;
            raw.clear();
            return true;
        }
        // crc(start + rest) = crc32_combine(crc(start), crc(rest), |rest|), and it is linear:
        // the rest's CRC follows from the whole one and the old start's.
        const auto rest = z_off_t(original.size - zip_uint64_t(plain.size()));
        const uLong restCrc = original.crc ^ crc32_combine(crcOf(plain), 0, rest);
        crc = zip_uint32_t(crc32_combine(crcOf(edited), restCrc, rest));
        at = qsizetype(bits / 8 - rawStart);
        shift = int(bits % 8);
        compressedSize = zip_uint64_t(head.size()) + original.comp_size - bits / 8;
        return true;
    }

    // Ends on a byte boundary with an empty stored block (a sync flush), unless it is the
    // whole entry and finishes it.
    bool deflateStart(const QByteArray& data, bool whole) {
        z_stream out{};
        if (deflateInit2(&out, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8,
                         Z_DEFAULT_STRATEGY) != Z_OK)
            return failed(QStringLiteral("zlib cannot start"));
        out.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
        out.avail_in = uInt(data.size());
        int ret;
        do { // on as long as zlib fills the space it is given: it may hold more
            head.resize(qsizetype(out.total_out) + Chunk);
            out.next_out = reinterpret_cast<Bytef*>(head.data()) + out.total_out;
            out.avail_out = uInt(Chunk);
            ret = deflate(&out, whole ? Z_FINISH : Z_SYNC_FLUSH);
            head.resize(qsizetype(out.total_out));
        } while ((ret == Z_OK || ret == Z_BUF_ERROR) && (whole || out.avail_out == 0));
        deflateEnd(&out);
        if (whole ? ret != Z_STREAM_END : ret != Z_OK && ret != Z_BUF_ERROR)
            return failed(QStringLiteral("zlib cannot compress the entry"));
        return true;
    }

    // The original blocks after the new start, each byte taking the high bits of its own and
    // the low bits of the next.
    zip_int64_t copyRest(unsigned char* into, qsizetype len) {
        while (!rawEnd && raw.size() - at < 2) {
            raw.remove(0, at);
            at = 0;
            const qsizetype had = raw.size();
            raw.resize(had + Chunk);
            const zip_int64_t got = readRaw(raw.data() + had, Chunk);
            if (got < 0)
                return -1;
            raw.resize(had + qsizetype(got));
            rawEnd = got == 0;
        }
        const qsizetype left = raw.size() - at;
        const qsizetype n = std::min(rawEnd ? left : left - 1, len);
        const auto* p = reinterpret_cast<const unsigned char*>(raw.constData()) + at;
        for (qsizetype i = 0; i < n; ++i)
            into[i] = static_cast<unsigned char>(p[i] >> shift |
                                                 (i + 1 < left ? p[i + 1] << (8 - shift) : 0));
        at += std::max<qsizetype>(n, 0);
        return std::max<qsizetype>(n, 0);
    }
};

zip_int64_t splice(void* state, void* data, zip_uint64_t len, zip_source_cmd_t cmd) {
    Splice& s = *static_cast<Splice*>(state);
    switch (cmd) {
    case ZIP_SOURCE_OPEN:
        return s.given == 0 ? 0 : fail(s.error, ZIP_ER_INTERNAL); // read once only
    case ZIP_SOURCE_READ:
        if (s.given < s.head.size()) {
            const qsizetype n = std::min(s.head.size() - s.given, qsizetype(len));
            std::copy_n(s.head.constData() + s.given, n, static_cast<char*>(data));
            s.given += n;
            return n;
        }
        return s.copyRest(static_cast<unsigned char*>(data),
                          qsizetype(std::min<zip_uint64_t>(len, Splice::Chunk)));
    case ZIP_SOURCE_CLOSE: // the archive cannot be committed while the original is open
    case ZIP_SOURCE_FREE:
        s.closeFile();
        return 0;
    case ZIP_SOURCE_STAT: {
        auto* st = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, len, &s.error);
        if (!s.planned)
            s.planned = s.plan();
        if (!st || !*s.planned)
            return -1;
        zip_stat_init(st);
        st->size = s.original.size + zip_uint64_t(s.insert.size());
        st->comp_size = s.compressedSize;
        st->crc = s.crc;
        st->comp_method = ZIP_CM_DEFLATE;
        st->encryption_method = ZIP_EM_NONE;
        st->mtime = s.original.mtime;
        st->valid |= ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_CRC | ZIP_STAT_COMP_METHOD |
                     ZIP_STAT_ENCRYPTION_METHOD | ZIP_STAT_MTIME;
        return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&s.error, data, len);
    case ZIP_SOURCE_SUPPORTS:
        return ZIP_SOURCE_SUPPORTS_READABLE;
    default:
        return fail(s.error, ZIP_ER_OPNOTSUPP);
    }
}

QString describe(const zip_error_t* error) {
    zip_error_t copy;
    zip_error_init(&copy);
    zip_error_set(&copy, zip_error_code_zip(error), zip_error_code_system(error));
    const QString text = QString::fromLocal8Bit(zip_error_strerror(&copy));
    zip_error_fini(&copy);
    return text;
}

} // namespace

QString ZipInsertAfter(QIODevice& in, QIODevice& out, const char* entry, const QByteArray& marker,
                       const QByteArray& insert) {
    Devices devs(in, out);
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_function_create(devices, &devs, &error);
    zip_t* archive = source ? zip_open_from_source(source, 0, &error) : nullptr;
    if (!archive) {
        zip_source_free(source);
        const QString why = describe(&error);
        zip_error_fini(&error);
        return why;
    }
    zip_error_fini(&error);

    Splice sp(marker, insert);
    sp.archive = archive;
    QString why;
    const zip_int64_t index = zip_name_locate(archive, entry, 0);
    if (index < 0 || zip_stat_index(archive, zip_uint64_t(index), 0, &sp.original) != 0) {
        why = QStringLiteral("the archive has no entry %1").arg(QString::fromUtf8(entry));
    } else {
        sp.index = zip_uint64_t(index);
        zip_source_t* edited = zip_source_function(archive, splice, &sp);
        if (!edited || zip_file_replace(archive, sp.index, edited, 0) != 0) {
            why = describe(zip_get_error(archive));
            zip_source_free(edited);
        }
    }
    if (why.isEmpty() && zip_close(archive) == 0)
        return {}; // closing freed the archive and both sources
    if (why.isEmpty())
        why = !sp.why.isEmpty()     ? sp.why
              : !devs.why.isEmpty() ? devs.why
                                    : describe(zip_get_error(archive));
    zip_discard(archive);
    return why;
}

} // namespace orvane
