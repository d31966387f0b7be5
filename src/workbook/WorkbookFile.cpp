#include "workbook/WorkbookFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <sys/stat.h>
#include <unistd.h>

namespace orvane {

namespace {
thread_local const std::atomic<bool>* cancelFlag = nullptr;
} // namespace

WriteCancellation::WriteCancellation(const std::atomic<bool>& cancelled) {
    cancelFlag = &cancelled;
}

WriteCancellation::~WriteCancellation() {
    cancelFlag = nullptr;
}

bool WriteCancellation::requested() {
    return cancelFlag && cancelFlag->load();
}

void ReplaceFile(const QString& path, const std::function<QString(QFileDevice&)>& write) {
    const QString shown = QDir::toNativeSeparators(path);
    auto fail = [&](const QString& why) {
        throw WorkbookWriteError(
            QStringLiteral("Cannot write \"%1\": %2").arg(shown, why).toStdString());
    };
    // QSaveFile asks only whether the user may write, and permission bits do not stop root.
    const QFileInfo target(path);
    if (target.exists() && target.isFile() && !(target.permissions() & QFileDevice::WriteOwner))
        fail(QStringLiteral("the file is read-only. Choose another name, or make the file "
                            "writable and export again."));

    QSaveFile file(path); // cancelled and removed on every way out but the commit
    if (!file.open(QIODevice::WriteOnly))
        fail(file.errorString());
    // QSaveFile keeps the mode; the owner and group follow where the user may give them (root,
    // or a group of the user's own), and are otherwise the writer's as for any new file.
    struct stat old {};
    if (target.exists() && ::stat(QFile::encodeName(path).constData(), &old) == 0 &&
        ::fchown(file.handle(), old.st_uid, old.st_gid) != 0)
        (void)::fchown(file.handle(), uid_t(-1), old.st_gid);

    QString why = write(file);
    if (why.isEmpty() && file.error() != QFileDevice::NoError)
        why = file.errorString();
    if (!why.isEmpty()) {
        file.cancelWriting();
        fail(why);
    }
    if (WriteCancellation::requested()) {
        file.cancelWriting();
        throw WorkbookWriteCancelled();
    }
    if (!file.commit()) // flushes, syncs to the disk and renames over the target
        fail(file.errorString());
}

} // namespace orvane
