#include "report/ReportText.h"

#include <QStringList>
#include <algorithm>
#include <array>

namespace orvane::report {

namespace {

QString csvField(const QString& text) {
    if (!text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char(',')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    return QLatin1Char('"') + QString(text).replace(QLatin1String("\""), QLatin1String("\"\"")) +
           QLatin1Char('"');
}

QString daysRemaining(const QString& stored, const QDate& today) {
    const QDate expiry = QDate::fromString(stored, QStringLiteral("yyyy-MM-dd"));
    return expiry.isValid() ? QString::number(today.daysTo(expiry)) : QString();
}

QString unitName(const ActivationGroup& group) {
    return group.unitName.value_or(group.unitCode);
}

} // namespace

QByteArray ReportCsv(const std::vector<ActivationGroup>& groups, const QDate& today) {
    QString out = QStringLiteral("Unit,Serial,IP,Operating System,User,Department,Expiry,"
                                 "Days Remaining,Remarks\r\n");
    for (const ActivationGroup& group : groups) {
        for (const ActivationRecord& r : group.records) {
            const QString fields[] = {
                unitName(group), r.sysId, r.ip,      r.os,
                r.user,          r.dept,  r.expDate, daysRemaining(r.expDate, today),
                r.remarks};
            QStringList line;
            for (const QString& field : fields)
                line << csvField(field);
            out += line.join(QLatin1Char(',')) + QStringLiteral("\r\n");
        }
    }
    return out.toUtf8();
}

QString ReportTable(const std::vector<ActivationGroup>& groups, const QDate& today) {
    constexpr int kColumns = 6;
    const std::array<QString, kColumns> headings = {"Serial",     "IP",     "User",
                                                    "Department", "Expiry", "Days"};
    std::array<int, kColumns> widths{};
    for (int c = 0; c < kColumns; ++c)
        widths[c] = int(headings[c].size());
    auto cellsOf = [&today](const ActivationRecord& r) {
        return std::array<QString, kColumns>{r.sysId, r.ip,      r.user,
                                             r.dept,  r.expDate, daysRemaining(r.expDate, today)};
    };
    for (const ActivationGroup& group : groups)
        for (const ActivationRecord& r : group.records) {
            const auto cells = cellsOf(r);
            for (int c = 0; c < kColumns; ++c)
                widths[c] = std::max(widths[c], int(cells[c].size()));
        }
    auto line = [&widths](const std::array<QString, kColumns>& cells) {
        QString text = QStringLiteral("  ");
        for (int c = 0; c < kColumns; ++c) {
            // The days are a number: right-aligned, the rest left-aligned.
            text += c == kColumns - 1 ? cells[c].rightJustified(widths[c])
                                      : cells[c].leftJustified(widths[c]);
            if (c + 1 < kColumns)
                text += QStringLiteral("  ");
        }
        return text + QLatin1Char('\n');
    };
    QString out;
    for (const ActivationGroup& group : groups) {
        if (!out.isEmpty())
            out += QLatin1Char('\n');
        out += unitName(group) + QLatin1Char('\n') + line(headings);
        for (const ActivationRecord& r : group.records)
            out += line(cellsOf(r));
    }
    return out;
}

} // namespace orvane::report
