#pragma once
// Reading written workbooks back with independent readers: xlrd through xls_dump.py for .xls,
// openpyxl through xlsx_dump.py for .xlsx, and LibreOffice Calc for both.
#include "sheet/SheetComponent.h"
#include "workbook/SheetFile.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

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

// The cell texts LibreOffice (`soffice`) reads from the workbook `path`, row by row, through a
// conversion to tab-separated UTF-8 text (the texts hold no tab, quote or line break). It runs
// headless with the private profile `profile`, so no running office and no user settings take
// part, and is stopped after two minutes. On failure `error` says why.
inline QList<QStringList> libreOffice(const QString& soffice, const QString& profile,
                                      const QString& path, QString& error) {
    QTemporaryDir out;
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(soffice, {"-env:UserInstallation=" + QUrl::fromLocalFile(profile).toString(),
                      "--headless", "--norestore", "--convert-to",
                      "csv:Text - txt - csv (StarCalc):9,34,76", "--outdir", out.path(), path});
    const bool done = p.waitForFinished(120000);
    if (!done)
        p.kill(), p.waitForFinished();
    QFile text(out.filePath(QFileInfo(path).completeBaseName() + ".csv"));
    if (!done || !text.open(QIODevice::ReadOnly))
        error = (done ? "soffice wrote no text: " : "soffice did not finish in two minutes: ") +
                QString::fromUtf8(p.readAll());
    QList<QStringList> rows;
    for (const QString& line : QString::fromUtf8(text.readAll()).split('\n'))
        rows << line.split('\t');
    rows.removeLast(); // after the last line's end
    return rows;
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
