#pragma once
// Reading written workbooks back with independent readers: xlrd through xls_dump.py for .xls,
// openpyxl through xlsx_dump.py for .xlsx.
#include "sheet/SheetComponent.h"
#include "workbook/SheetFile.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTest>

namespace readback {

// Runs the dump script with `args`; on failure returns an object holding only "error".
inline QJsonObject dump(const QString& script, const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"), QStringList{script} + args);
    if (!p.waitForFinished(300000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {{"error", QString::fromUtf8(p.readAllStandardError())}};
    QJsonParseError err;
    const QJsonDocument doc = QJsonDocument::fromJson(p.readAllStandardOutput(), &err);
    if (err.error != QJsonParseError::NoError)
        return {{"error", err.errorString()}};
    return doc.object();
}

inline QJsonObject xlrd(const QString& script, const QStringList& args) {
    return dump(script, args);
}
inline QJsonObject openpyxl(const QString& script, const QStringList& args) {
    return dump(script, args);
}

// The display-switch rows of both writers' tests: columns grid and headings.
inline void switchRows() {
    QTest::addColumn<bool>("grid");
    QTest::addColumn<bool>("headings");
    QTest::newRow("both on") << true << true;
    QTest::newRow("both off") << false << false;
    QTest::newRow("grid only") << true << false;
}

// The display-switch sheet both writers share: one cell "x" with the grid lines and the row and
// column headings switched as given, written to `path` and read back by `read`.
template <class Read>
QJsonObject switchedSheet(bool grid, bool headings, const QString& path, int fileType, Read read) {
    orvane::SheetComponent s;
    s.setText(1, 1, "x");
    s.setShowGridLines(grid);
    s.setShowRowColHeadings(headings);
    WriteSheetFile(s, path, fileType);
    return read(path);
}

} // namespace readback
