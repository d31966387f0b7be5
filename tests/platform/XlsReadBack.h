#pragma once
// Reading written workbooks back with independent readers: xlrd through xls_dump.py for .xls,
// openpyxl through xlsx_dump.py for .xlsx.
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>

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

} // namespace readback
