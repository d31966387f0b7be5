#include "workbook/CompoundFile.h"

#include <QtEndian>
#include <vector>

namespace orvane {

namespace {

constexpr quint32 FreeSect = 0xFFFFFFFFu;
constexpr quint32 EndOfChain = 0xFFFFFFFEu;
constexpr quint32 FatSect = 0xFFFFFFFDu;
constexpr quint32 DifSect = 0xFFFFFFFCu;
constexpr quint32 NoStream = 0xFFFFFFFFu;
constexpr int EntriesPerSector = CompoundFile::SectorSize / 4; // 128 sector numbers
constexpr int HeaderDifatEntries = 109;
constexpr int DirEntrySize = 128;

quint32 sectorsFor(qint64 bytes, int unit) {
    return quint32((bytes + unit - 1) / unit);
}

void put16(QByteArray& b, int at, quint16 v) {
    qToLittleEndian(v, b.data() + at);
}
void put32(QByteArray& b, int at, quint32 v) {
    qToLittleEndian(v, b.data() + at);
}

// A run of sectors or mini sectors chained one after the other in an allocation table.
void chain(std::vector<quint32>& table, quint32 first, quint32 count) {
    for (quint32 i = 0; i < count; ++i)
        table[first + i] = i + 1 < count ? first + i + 1 : EndOfChain;
}

QByteArray tableBytes(const std::vector<quint32>& table) {
    QByteArray b(int(table.size() * 4), '\0');
    for (size_t i = 0; i < table.size(); ++i)
        put32(b, int(i * 4), table[i]);
    return b;
}

void putEntry(QByteArray& dir, int slot, const QString& name, quint8 type, quint32 child,
              quint32 start, quint32 size) {
    const int at = slot * DirEntrySize;
    const QString n = name.left(31);
    for (int i = 0; i < n.size(); ++i)
        put16(dir, at + 2 * i, n.at(i).unicode());
    put16(dir, at + 0x40, quint16((n.size() + 1) * 2)); // bytes, terminating zero included
    dir[at + 0x42] = char(type);
    dir[at + 0x43] = 1; // black: a one-node tree is trivially balanced
    put32(dir, at + 0x44, NoStream);
    put32(dir, at + 0x48, NoStream);
    put32(dir, at + 0x4C, child);
    put32(dir, at + 0x74, start);
    put32(dir, at + 0x78, size);
}

} // namespace

bool CompoundFile::write(QIODevice& out, const QString& streamName, const QByteArray& data) {
    const bool mini = data.size() < MiniStreamCutoff;

    // Sector layout: [stream data or mini stream container][mini FAT][directory][FAT][DIFAT].
    const quint32 miniSectors = mini ? sectorsFor(data.size(), MiniSectorSize) : 0;
    const quint32 dataSectors = mini ? sectorsFor(qint64(miniSectors) * MiniSectorSize, SectorSize)
                                     : sectorsFor(data.size(), SectorSize);
    const quint32 miniFatSectors = sectorsFor(qint64(miniSectors) * 4, SectorSize);
    const quint32 dirSector = dataSectors + miniFatSectors;
    const quint32 fixedSectors = dirSector + 1;
    quint32 fatSectors = 1, difatSectors = 0;
    for (;;) { // the FAT has to describe itself and the DIFAT too
        const quint32 total = fixedSectors + fatSectors + difatSectors;
        const quint32 needFat = sectorsFor(total, EntriesPerSector);
        const quint32 needDifat =
            needFat > HeaderDifatEntries
                ? sectorsFor(needFat - HeaderDifatEntries, EntriesPerSector - 1)
                : 0;
        if (needFat == fatSectors && needDifat == difatSectors)
            break;
        fatSectors = needFat;
        difatSectors = needDifat;
    }
    const quint32 firstFat = fixedSectors;
    const quint32 firstDifat = firstFat + fatSectors;

    std::vector<quint32> fat(size_t(fatSectors) * EntriesPerSector, FreeSect);
    chain(fat, 0, dataSectors);
    chain(fat, dataSectors, miniFatSectors);
    fat[dirSector] = EndOfChain;
    for (quint32 i = 0; i < fatSectors; ++i)
        fat[firstFat + i] = FatSect;
    for (quint32 i = 0; i < difatSectors; ++i)
        fat[firstDifat + i] = DifSect;

    QByteArray header(SectorSize, '\0');
    const uchar signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    memcpy(header.data(), signature, 8);
    put16(header, 0x18, 0x003E); // minor version
    put16(header, 0x1A, 0x0003); // major version 3: 512-byte sectors
    put16(header, 0x1C, 0xFFFE); // little-endian
    put16(header, 0x1E, 9);      // sector size 2^9
    put16(header, 0x20, 6);      // mini sector size 2^6
    put32(header, 0x2C, fatSectors);
    put32(header, 0x30, dirSector);
    put32(header, 0x38, MiniStreamCutoff);
    put32(header, 0x3C, miniFatSectors ? dataSectors : EndOfChain);
    put32(header, 0x40, miniFatSectors);
    put32(header, 0x44, difatSectors ? firstDifat : EndOfChain);
    put32(header, 0x48, difatSectors);
    for (int i = 0; i < HeaderDifatEntries; ++i)
        put32(header, 0x4C + 4 * i, quint32(i) < fatSectors ? firstFat + i : FreeSect);

    QByteArray dir(SectorSize, '\0');
    for (int slot = 0; slot < SectorSize / DirEntrySize; ++slot) {
        put32(dir, slot * DirEntrySize + 0x44, NoStream);
        put32(dir, slot * DirEntrySize + 0x48, NoStream);
        put32(dir, slot * DirEntrySize + 0x4C, NoStream);
    }
    putEntry(dir, 0, QStringLiteral("Root Entry"), 5, 1, miniSectors ? 0 : EndOfChain,
             miniSectors * MiniSectorSize);
    putEntry(dir, 1, streamName, 2, NoStream, data.isEmpty() ? EndOfChain : 0,
             quint32(data.size()));

    QByteArray difat(int(difatSectors) * SectorSize, '\0');
    for (quint32 d = 0; d < difatSectors; ++d) {
        const int base = int(d) * SectorSize;
        for (int i = 0; i < EntriesPerSector - 1; ++i) {
            const quint32 k = HeaderDifatEntries + d * (EntriesPerSector - 1) + quint32(i);
            put32(difat, base + 4 * i, k < fatSectors ? firstFat + k : FreeSect);
        }
        put32(difat, base + SectorSize - 4, d + 1 < difatSectors ? firstDifat + d + 1 : EndOfChain);
    }

    QByteArray padding(int(qint64(dataSectors) * SectorSize - data.size()), '\0');
    if (miniFatSectors) {
        std::vector<quint32> miniFat(size_t(miniFatSectors) * EntriesPerSector, FreeSect);
        chain(miniFat, 0, miniSectors);
        padding += tableBytes(miniFat);
    }
    return out.write(header) == header.size() && out.write(data) == data.size() &&
           out.write(padding) == padding.size() && out.write(dir) == dir.size() &&
           out.write(tableBytes(fat)) == qint64(fat.size() * 4) && out.write(difat) == difat.size();
}

} // namespace orvane
