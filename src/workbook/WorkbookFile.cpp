#include "workbook/WorkbookFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace orvane {

namespace {

// QTemporaryFile would create the file for its owner only; NewOnly gives the user's defaults.
bool createUnique(QFile& file, const QString& base) {
    for (int attempt = 0; attempt < 32; ++attempt) {
        const QString name =
            base + QStringLiteral(".%1").arg(QRandomGenerator::global()->generate(), 8, 16,
                                             QLatin1Char('0'));
        file.setFileName(name);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return true;
        if (!QFileInfo::exists(name))
            return false; // not a clash: the folder cannot take the file
    }
    return false;
}

} // namespace

void ReplaceFile(const QString& path, const std::function<QString(QFile&)>& write) {
    const QString shown = QDir::toNativeSeparators(path);
    auto fail = [&](const QString& why) {
        throw WorkbookWriteError(
            QStringLiteral("Cannot write \"%1\": %2").arg(shown, why).toStdString());
    };
    // A link is followed, so the file it points to is replaced and the link stays.
    const QFileInfo info(path);
    const QString target =
        info.isSymLink() && info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
    QFile temporary;
    if (!createUnique(temporary, target))
        fail(temporary.errorString());
    struct Remover { // on every way out but the rename
        QFile& file;
        bool keep = false;
        ~Remover() {
            if (!keep)
                file.remove();
        }
    } remover{temporary};

    QString why = write(temporary);
    if (why.isEmpty() && !temporary.flush())
        why = temporary.errorString();
    if (why.isEmpty() && ::fsync(temporary.handle()) != 0)
        why = QString::fromLocal8Bit(std::strerror(errno));
    temporary.close();
    if (why.isEmpty() && QFileInfo::exists(target) &&
        !temporary.setPermissions(QFile::permissions(target)))
        why = temporary.errorString();
    if (!why.isEmpty())
        fail(why);
    if (std::rename(QFile::encodeName(temporary.fileName()).constData(),
                    QFile::encodeName(target).constData()) != 0)
        fail(QString::fromLocal8Bit(std::strerror(errno)));
    remover.keep = true;
}

} // namespace orvane
