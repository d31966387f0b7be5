#pragma once
// Building blocks of the .xls writer: a growable little-endian record buffer and the colour
// palette that maps 24-bit colours to the 56 palette indices a BIFF8 workbook can use.
#include <QByteArray>
#include <QString>
#include <QtEndian>
#include <cstring>
#include <vector>

namespace orvane::xls {

constexpr int MaxRecordData = 8224; // BIFF8 record body limit; longer data goes on in CONTINUE

class RecordBuffer {
  public:
    explicit RecordBuffer(qsizetype reserve) { buf_.resize(std::max<qsizetype>(reserve, 4096)); }

    qsizetype size() const { return size_; }
    char* grab(qsizetype n) { // n bytes to fill in at the end
        if (size_ + n > buf_.size())
            buf_.resize(std::max(buf_.size() * 2, size_ + n));
        char* p = buf_.data() + size_;
        size_ += n;
        return p;
    }
    void u8(quint8 v) { *grab(1) = char(v); }
    void u16(quint16 v) { qToLittleEndian(v, grab(2)); }
    void u32(quint32 v) { qToLittleEndian(v, grab(4)); }
    void zeros(qsizetype n) { memset(grab(n), 0, size_t(n)); }
    void patch32(qsizetype at, quint32 v) { qToLittleEndian(v, buf_.data() + at); }

    // A record whose length is filled in by end().
    qsizetype begin(quint16 type) {
        const qsizetype at = size_;
        u16(type);
        u16(0);
        return at;
    }
    void end(qsizetype at) { qToLittleEndian(quint16(size_ - at - 4), buf_.data() + at + 2); }
    void header(quint16 type, quint16 length) {
        u16(type);
        u16(length);
    }

    // Characters of a BIFF8 string: one byte each when every character fits, else UTF-16LE.
    void chars(const QChar* d, qsizetype n, bool wide) {
        if (wide) {
            char* p = grab(2 * n);
            if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
                memcpy(p, d, size_t(2 * n));
            } else {
                for (qsizetype i = 0; i < n; ++i)
                    qToLittleEndian(d[i].unicode(), p + 2 * i);
            }
        } else {
            char* p = grab(n);
            for (qsizetype i = 0; i < n; ++i)
                p[i] = char(d[i].unicode());
        }
    }
    // Length byte, option byte, characters: the short string of FONT and BOUNDSHEET records.
    void shortString(const QString& s) {
        const QString t = s.left(255);
        const bool w = needsWide(t);
        u8(quint8(t.size()));
        u8(w ? 1 : 0);
        chars(t.constData(), t.size(), w);
    }

    QByteArray take() {
        buf_.truncate(size_);
        return std::move(buf_);
    }

    static bool needsWide(const QString& s) {
        for (const QChar c : s)
            if (c.unicode() > 0xFF)
                return true;
        return false;
    }

  private:
    QByteArray buf_;
    qsizetype size_ = 0;
};

// The workbook palette: indices 8..63. Colours in use that the default palette lacks take
// over entries no used colour needs; past 56 distinct colours the nearest entry is used.
class Palette {
  public:
    static constexpr int First = 8;
    static constexpr int Size = 56;
    static constexpr quint16 SystemText = 0x40;       // automatic line / pattern colour
    static constexpr quint16 SystemBackground = 0x41; // automatic pattern background
    static constexpr quint16 FontAuto = 0x7FFF;

    Palette();
    // Call for every colour (0x00BBGGRR) in use, then resolve() once, then index().
    void use(quint32 bgr);
    void resolve();
    quint16 index(quint32 bgr) const;
    const std::vector<quint32>& entries() const { return rgb_; } // 0x00RRGGBB

  private:
    std::vector<quint32> rgb_;
    std::vector<quint32> wanted_; // 0x00RRGGBB
};

// The shared string table: each distinct text once, in first-use order. Open addressing over
// a flat array of (hash, index) pairs keeps the lookups of a few hundred thousand cells in cache
// far better than a node-based hash.
class StringTable {
  public:
    explicit StringTable(size_t cells);
    quint32 idOf(const QString& s); // adds the text when it is new
    const std::vector<QString>& strings() const { return strings_; }
    qsizetype characters() const { return chars_; }

  private:
    std::vector<quint64> slots_; // hash << 32 | index + 1; 0 = empty
    std::vector<QString> strings_;
    qsizetype chars_ = 0;
};

// SST record with its CONTINUE records, then the EXTSST index; `totalRefs` is the number of
// cells that refer to the table.
void writeSst(RecordBuffer& b, const std::vector<QString>& strings, quint32 totalRefs);

} // namespace orvane::xls
