#pragma once
// Lays a SheetComponent out the way the activation report does (title block, grey headings,
// unit groups with their heading rows), with generated workstation texts.
#include "sheet/SheetComponent.h"

#include <QStringList>

namespace reportsheet {

constexpr int Navy = 8388608;       // RGB(0, 0, 128)
constexpr int DarkRed = 192;        // RGB(192, 0, 0)
constexpr int LightGrey = 12632256; // RGB(192, 192, 192)
constexpr int Widths[8] = {1500, 7000, 5800, 5000, 5500, 2500, 0, 12500};
inline const QStringList Headings = {"Sl No", "IP",       "Operating System ", "User",
                                     "Dept",  "Exp Date", QString(),           "Remarks"};

enum class Remarks { Plain, Unicode, Long };

inline QString remark(int n, Remarks kind) {
    switch (kind) {
    case Remarks::Unicode: // Latin-1 only, then wider than one byte
        return n % 2 ? QStringLiteral("Café Zürich Nº %1").arg(n)
                     : QStringLiteral("Ünïcode ΔΣ 日本語 %1 – ok ✓").arg(n);
    case Remarks::Long: // 3,000+ characters: the shared strings break across CONTINUE records
        return QString(n % 2 ? QStringLiteral("ab€") : QStringLiteral("xyz")).repeated(1000 + n) +
               QString::number(n);
    case Remarks::Plain:
        break;
    }
    return QStringLiteral("Checked by IT, licence renewed %1").arg(n);
}

// Load set-up: header block and heading row, display switches off.
inline void layout(orvane::SheetComponent& s) {
    s.setFixedRows(4);
    s.setMaxCol(8);
    s.clearRange(1, 1, s.maxRow(), s.maxCol(), 1);
    s.setMaxCol(10);
    s.setRowHeight(1, 500);
    s.setText(1, 1, QStringLiteral("TAROVEL"));
    s.setSelection(1, 1, 1, 1);
    s.setFont(QStringLiteral("Book Antiqua"), 14, true, false, false, false, Navy, false, false);
    s.setText(2, 1, QStringLiteral("Head Office"));
    for (int c = 1; c <= 8; ++c) {
        s.setColWidth(c, Widths[c - 1]);
        s.setText(4, c, Headings[c - 1]);
    }
    s.setSelection(4, 1, 4, s.maxCol());
    s.setBorder(1, 1, 1, 1, 1, 1, 1, 1, 1, -1, -1);
    s.setFont(QStringLiteral("ARIAL"), 8, true, false, false, false, 0, false, false);
    s.setPattern(1, LightGrey, LightGrey);
    s.setShowGridLines(false);
    s.setShowRowColHeadings(false);
}

// Refill: `units` groups of `perUnit` workstations; returns the last row written.
inline int fill(orvane::SheetComponent& s, int units, int perUnit, Remarks kind = Remarks::Plain) {
    s.clearRange(5, 1, s.maxRow(), s.maxCol(), 1);
    s.setMaxCol(8);
    int row = 4, n = 0;
    for (int u = 0; u < units; ++u) {
        row = row == 4 ? 5 : row + 2;
        s.setText(row, 2, QStringLiteral("Unit %1 Branch").arg(u + 1));
        s.setSelection(row, 2, row, 2);
        s.setFont(QStringLiteral("Times New Roman"), 10, true, false, false, false, DarkRed, false,
                  false);
        for (int i = 0; i < perUnit; ++i) {
            ++row;
            ++n;
            s.setText(row, 1, QString::number(n));
            s.setText(row, 2, QStringLiteral("198.%1.%2.%3").arg(u).arg(i / 250).arg(i % 250 + 1));
            s.setText(row, 3, i % 3 ? QStringLiteral("Windows 10 Pro") : QStringLiteral("Ubuntu"));
            s.setText(row, 4, QStringLiteral("user%1").arg(n));
            s.setText(row, 5, i % 2 ? QStringLiteral("Accounts") : QStringLiteral("Stores"));
            s.setText(row, 6,
                      QStringLiteral("%1-Mar-2024").arg(i % 28 + 1, 2, 10, QLatin1Char('0')));
            s.setText(row, 7, QStringLiteral("SYS_U%1_%2").arg(u).arg(n, 6, 10, QLatin1Char('0')));
            s.setText(row, 8, remark(n, kind));
            s.setSelection(row, 1, row, 8);
            s.setFont(QStringLiteral("ARIAL"), 8, false, false, false, false, 0, false, false);
        }
    }
    return row;
}

} // namespace reportsheet
