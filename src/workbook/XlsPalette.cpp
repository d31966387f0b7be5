#include "workbook/XlsRecords.h"

#include <algorithm>

namespace orvane::xls {

namespace {

// The built-in BIFF8 colour table for indices 8..63, as 0x00RRGGBB.
constexpr quint32 DefaultPalette[Palette::Size] = {
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF,
    0x800000, 0x008000, 0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080,
    0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF, 0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF,
    0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000, 0x008080, 0x0000FF,
    0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99,
    0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696,
    0x003366, 0x339966, 0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333,
};

quint32 toRgb(quint32 bgr) {
    return (bgr & 0xFF) << 16 | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
}

int distance(quint32 a, quint32 b) {
    const int dr = int(a >> 16 & 0xFF) - int(b >> 16 & 0xFF);
    const int dg = int(a >> 8 & 0xFF) - int(b >> 8 & 0xFF);
    const int db = int(a & 0xFF) - int(b & 0xFF);
    return dr * dr + dg * dg + db * db;
}

} // namespace

Palette::Palette() : rgb_(std::begin(DefaultPalette), std::end(DefaultPalette)) {}

void Palette::use(quint32 bgr) {
    const quint32 rgb = toRgb(bgr);
    if (std::find(wanted_.begin(), wanted_.end(), rgb) == wanted_.end())
        wanted_.push_back(rgb);
}

void Palette::resolve() {
    std::vector<bool> taken(Size, false);
    std::vector<quint32> missing;
    for (const quint32 rgb : wanted_) {
        const auto it = std::find(rgb_.begin(), rgb_.end(), rgb);
        if (it != rgb_.end())
            taken[size_t(it - rgb_.begin())] = true;
        else
            missing.push_back(rgb);
    }
    // Replace from the end of the table: those entries are the least common in practice.
    int slot = Size - 1;
    for (const quint32 rgb : missing) {
        while (slot >= 0 && taken[size_t(slot)])
            --slot;
        if (slot < 0)
            break; // out of entries: index() falls back to the nearest colour
        rgb_[size_t(slot)] = rgb;
        taken[size_t(slot)] = true;
    }
}

quint16 Palette::index(quint32 bgr) const {
    const quint32 rgb = toRgb(bgr);
    int best = 0;
    for (int i = 0; i < Size; ++i) {
        if (rgb_[size_t(i)] == rgb)
            return quint16(First + i);
        if (distance(rgb_[size_t(i)], rgb) < distance(rgb_[size_t(best)], rgb))
            best = i;
    }
    return quint16(First + best);
}

} // namespace orvane::xls
