#include "workbook/XlsRecords.h"

#include <QHash>
#include <algorithm>

namespace orvane::xls {

namespace {

enum : quint16 { Sst = 0x00FC, Continue = 0x003C, ExtSst = 0x00FF };

} // namespace

StringTable::StringTable(size_t cells) {
    size_t n = 64;
    while (n < 2 * cells)
        n *= 2;
    slots_.assign(n, 0);
    strings_.reserve(cells);
}

quint32 StringTable::idOf(const QString& s) {
    const quint32 h = quint32(qHash(s));
    const size_t mask = slots_.size() - 1;
    for (size_t i = h & mask;; i = (i + 1) & mask) {
        const quint64 slot = slots_[i];
        if (slot == 0) {
            strings_.push_back(s);
            chars_ += s.size();
            slots_[i] = quint64(h) << 32 | quint64(strings_.size());
            return quint32(strings_.size() - 1);
        }
        const quint32 id = quint32(slot) - 1;
        if (quint32(slot >> 32) == h && strings_[id] == s)
            return id;
    }
}

void writeSst(RecordBuffer& b, const std::vector<QString>& strings, quint32 totalRefs) {
    const quint32 perBucket = std::max<quint32>(quint32(strings.size()) / 128 + 1, 8);
    std::vector<std::pair<quint32, quint16>> buckets;
    qsizetype rec = b.begin(Sst);
    b.u32(totalRefs);
    b.u32(quint32(strings.size()));
    auto room = [&] { return MaxRecordData - (b.size() - rec - 4); };
    for (size_t i = 0; i < strings.size(); ++i) {
        const QString& s = strings[i];
        const bool wide = RecordBuffer::needsWide(s);
        const int cs = wide ? 2 : 1;
        if (room() < 3 + cs) { // a string's header never splits from its first character
            b.end(rec);
            rec = b.begin(Continue);
        }
        if (i % perBucket == 0)
            buckets.emplace_back(quint32(b.size()), quint16(b.size() - rec));
        b.u16(quint16(s.size()));
        b.u8(wide ? 1 : 0);
        const QChar* d = s.constData();
        qsizetype left = s.size();
        while (left > 0) {
            qsizetype fit = room() / cs;
            if (fit == 0) { // the rest goes on in a CONTINUE led by its own option byte
                b.end(rec);
                rec = b.begin(Continue);
                b.u8(wide ? 1 : 0);
                fit = room() / cs;
            }
            const qsizetype n = std::min(fit, left);
            b.chars(d, n, wide);
            d += n;
            left -= n;
        }
    }
    b.end(rec);
    b.header(ExtSst, quint16(2 + 8 * buckets.size()));
    b.u16(quint16(perBucket));
    for (const auto& [pos, offset] : buckets) {
        b.u32(pos);
        b.u16(offset);
        b.u16(0);
    }
}

} // namespace orvane::xls
