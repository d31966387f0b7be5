#include "workbook/ZipPatch.h"

#include <QtEndian>
#include <algorithm>
#include <vector>
#include <zlib.h>

namespace orvane {

namespace {

constexpr quint32 LocalSignature = 0x04034b50;
constexpr quint32 CentralSignature = 0x02014b50;
constexpr int LocalSize = 30;   // fixed part of a local header
constexpr int CentralSize = 46; // fixed part of a central directory record
constexpr int EndSize = 22;     // end of central directory record, without its comment
constexpr qint64 Chunk = 1 << 16;
constexpr quint16 HasDescriptor = 0x0008; // sizes follow the data instead of the header

quint16 get16(const QByteArray& b, int at) {
    return qFromLittleEndian<quint16>(b.constData() + at);
}
quint32 get32(const QByteArray& b, int at) {
    return qFromLittleEndian<quint32>(b.constData() + at);
}
void put16(QByteArray& b, int at, quint16 v) {
    qToLittleEndian(v, b.data() + at);
}
void put32(QByteArray& b, int at, quint32 v) {
    qToLittleEndian(v, b.data() + at);
}

bool readAt(QIODevice& d, qint64 pos, qint64 n, QByteArray& into) {
    if (!d.seek(pos))
        return false;
    into = d.read(n);
    return into.size() == n;
}

bool writeAll(QIODevice& out, const QByteArray& b) {
    return out.write(b) == b.size();
}

bool copyRange(QIODevice& in, QIODevice& out, qint64 from, qint64 to) {
    if (!in.seek(from))
        return false;
    for (qint64 left = to - from; left > 0;) {
        const QByteArray b = in.read(std::min(left, Chunk));
        if (b.isEmpty() || !writeAll(out, b))
            return false;
        left -= b.size();
    }
    return true;
}

struct Deflated {
    quint32 crc = 0;
    quint32 compressed = 0;
    quint32 size = 0;
};

// Inflates `length` bytes of raw deflate data from the current position of `in`, inserts
// the text and deflates the result to `out`.
QString redeflate(QIODevice& in, qint64 length, QIODevice& out, const QByteArray& marker,
                  const QByteArray& insert, Deflated& d) {
    z_stream inf{}, def{};
    if (inflateInit2(&inf, -MAX_WBITS) != Z_OK)
        return QStringLiteral("zlib cannot start");
    if (deflateInit2(&def, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) !=
        Z_OK) {
        inflateEnd(&inf);
        return QStringLiteral("zlib cannot start");
    }
    struct End {
        z_stream &i, &d;
        ~End() { inflateEnd(&i), deflateEnd(&d); }
    } end{inf, def};

    std::vector<char> buffer(Chunk);
    d.crc = quint32(crc32(0, nullptr, 0));
    auto push = [&](const QByteArray& data, bool last) -> QString {
        d.crc = quint32(
            crc32(d.crc, reinterpret_cast<const Bytef*>(data.constData()), uInt(data.size())));
        d.size += quint32(data.size());
        def.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
        def.avail_in = uInt(data.size());
        int rc = Z_OK;
        do {
            def.next_out = reinterpret_cast<Bytef*>(buffer.data());
            def.avail_out = uInt(Chunk);
            rc = deflate(&def, last ? Z_FINISH : Z_NO_FLUSH);
            if (rc == Z_STREAM_ERROR)
                return QStringLiteral("zlib failed to compress");
            const qint64 n = Chunk - def.avail_out;
            if (out.write(buffer.data(), n) != n)
                return out.errorString();
            d.compressed += quint32(n);
        } while (def.avail_out == 0 || (last && rc != Z_STREAM_END));
        return {};
    };

    QByteArray compressed, head; // head: what is inflated before the marker is found
    bool inserted = false;
    int rc = Z_OK;
    while (rc != Z_STREAM_END) {
        if (inf.avail_in == 0) {
            if (length <= 0)
                return QStringLiteral("the entry ends early");
            compressed = in.read(std::min(length, Chunk));
            if (compressed.isEmpty())
                return in.errorString();
            length -= compressed.size();
            inf.next_in = reinterpret_cast<Bytef*>(compressed.data());
            inf.avail_in = uInt(compressed.size());
        }
        inf.next_out = reinterpret_cast<Bytef*>(buffer.data());
        inf.avail_out = uInt(Chunk);
        rc = inflate(&inf, Z_NO_FLUSH);
        if (rc != Z_OK && rc != Z_STREAM_END)
            return QStringLiteral("the entry is damaged");
        QByteArray got(buffer.data(), Chunk - inf.avail_out);
        if (!inserted) {
            head += got;
            const qsizetype at = head.indexOf(marker);
            if (at < 0 && head.size() > Chunk)
                break;
            if (at < 0)
                continue;
            got = head.insert(at + marker.size(), insert);
            inserted = true;
        }
        if (const QString why = push(got, false); !why.isEmpty())
            return why;
    }
    if (!inserted)
        return QStringLiteral("the entry lacks \"%1\"").arg(QString::fromUtf8(marker));
    return push(QByteArray(), true);
}

} // namespace

QString ZipInsertAfter(QIODevice& in, QIODevice& out, const QByteArray& entry,
                       const QByteArray& marker, const QByteArray& insert) {
    const QString damaged = QStringLiteral("the archive is damaged");
    const qint64 total = in.size();
    const qint64 tailSize = std::min<qint64>(total, EndSize + 0xFFFF); // the comment's maximum
    QByteArray tail;
    if (!readAt(in, total - tailSize, tailSize, tail))
        return damaged;
    const qsizetype e = tail.lastIndexOf(QByteArray("PK\x05\x06", 4));
    if (e < 0 || e + EndSize > tail.size())
        return damaged;
    QByteArray endRecord = tail.mid(e);
    const quint16 count = get16(endRecord, 10);
    const quint32 directorySize = get32(endRecord, 12), directoryAt = get32(endRecord, 16);
    if (count == 0xFFFF || directoryAt == 0xFFFFFFFFu)
        return QStringLiteral("ZIP64 archives are not handled");
    QByteArray directory;
    if (!readAt(in, directoryAt, directorySize, directory))
        return damaged;

    struct Record {
        QByteArray bytes; // the central directory record with name, extra field and comment
        quint32 at;       // where its local header starts
    };
    std::vector<Record> records;
    for (int pos = 0, i = 0; i < count; ++i) {
        if (pos + CentralSize > directory.size() || get32(directory, pos) != CentralSignature)
            return damaged;
        const int length = CentralSize + get16(directory, pos + 28) + get16(directory, pos + 30) +
                           get16(directory, pos + 32);
        if (pos + length > directory.size())
            return damaged;
        records.push_back({directory.mid(pos, length), get32(directory, pos + 42)});
        pos += length;
    }
    std::vector<size_t> byPlace(records.size());
    for (size_t i = 0; i < byPlace.size(); ++i)
        byPlace[i] = i;
    std::sort(byPlace.begin(), byPlace.end(),
              [&](size_t a, size_t b) { return records[a].at < records[b].at; });

    bool found = false;
    for (size_t k = 0; k < byPlace.size(); ++k) {
        Record& r = records[byPlace[k]];
        const qint64 next = k + 1 < byPlace.size() ? records[byPlace[k + 1]].at : directoryAt;
        const qint64 placed = out.pos();
        if (r.bytes.mid(CentralSize, get16(r.bytes, 28)) != entry) {
            if (!copyRange(in, out, r.at, next))
                return out.errorString();
        } else {
            QByteArray local;
            if (get16(r.bytes, 10) != Z_DEFLATED || !readAt(in, r.at, LocalSize, local) ||
                get32(local, 0) != LocalSignature ||
                !readAt(in, r.at, LocalSize + get16(local, 26) + get16(local, 28), local))
                return damaged;
            put16(local, 6, get16(local, 6) & ~HasDescriptor);
            Deflated d;
            if (!writeAll(out, local))
                return out.errorString();
            if (const QString why = redeflate(in, get32(r.bytes, 20), out, marker, insert, d);
                !why.isEmpty())
                return why;
            const qint64 after = out.pos();
            put32(local, 14, d.crc);
            put32(local, 18, d.compressed);
            put32(local, 22, d.size);
            if (!out.seek(placed) || !writeAll(out, local) || !out.seek(after))
                return out.errorString();
            put16(r.bytes, 8, get16(r.bytes, 8) & ~HasDescriptor);
            put32(r.bytes, 16, d.crc);
            put32(r.bytes, 20, d.compressed);
            put32(r.bytes, 24, d.size);
            found = true;
        }
        if (placed > 0xFFFFFFFFll)
            return QStringLiteral("the archive grew past 4 GB");
        put32(r.bytes, 42, quint32(placed));
    }
    if (!found)
        return QStringLiteral("the archive has no entry \"%1\"").arg(QString::fromUtf8(entry));

    const qint64 newDirectoryAt = out.pos();
    qint64 newDirectorySize = 0;
    for (const Record& r : records) {
        if (!writeAll(out, r.bytes))
            return out.errorString();
        newDirectorySize += r.bytes.size();
    }
    if (out.pos() > 0xFFFFFFFFll)
        return QStringLiteral("the archive grew past 4 GB");
    put32(endRecord, 12, quint32(newDirectorySize));
    put32(endRecord, 16, quint32(newDirectoryAt));
    return writeAll(out, endRecord) ? QString() : out.errorString();
}

} // namespace orvane
