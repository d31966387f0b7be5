// The save-file helper both workbook writers write through.
#include "workbook/WorkbookFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>
#include <unistd.h>

using namespace orvane;

namespace {

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int mode(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

} // namespace

class tst_replacefile : public QObject {
    Q_OBJECT

  private slots:
    void outcome_data() {
        QTest::addColumn<int>("oldMode");     // -1: no file there before
        QTest::addColumn<QString>("failure"); // what the filler reports, "" for success
        QTest::addColumn<QString>("why");     // the reason the message gives, "" for none
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<int>("afterMode");
        QTest::addColumn<int>("temporaryMode"); // while the filler runs; -1: it never runs
        QTest::newRow("new file, the user's defaults") << -1 << ""
                                                       << "" << QByteArray("new") << 0644 << 0644;
        QTest::newRow("replaced file keeps its mode, never more open")
            << 0600 << ""
            << "" << QByteArray("new") << 0600 << 0600;
        QTest::newRow("failure keeps the old file")
            << 0640 << "disk full"
            << "disk full" << QByteArray("old") << 0640 << 0640;
        QTest::newRow("failure with no old file") << -1 << "disk full"
                                                  << "disk full" << QByteArray() << -1 << 0644;
        QTest::newRow("read-only file is refused, even for root")
            << 0444 << ""
            << "the file is read-only. Choose another name, or make the file writable and "
               "export again."
            << QByteArray("old") << 0444 << -1;
    }
    void outcome() {
        QFETCH(int, oldMode);
        QFETCH(QString, failure);
        QFETCH(QString, why);
        QFETCH(QByteArray, after);
        QFETCH(int, afterMode);
        QFETCH(int, temporaryMode);
        QTemporaryDir dir;
        const QString path = dir.filePath("book.xlsx");
        if (oldMode >= 0) {
            QFile old(path);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("old");
            old.close();
            QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode_t(oldMode)), 0);
        }
        const mode_t savedMask = ::umask(022);
        QString message;
        int seenMode = -1;
        try {
            ReplaceFile(path, [&](QFileDevice& temporary) {
                struct stat st {}; // it may have no name yet (O_TMPFILE)
                if (::fstat(temporary.handle(), &st) == 0)
                    seenMode = int(st.st_mode & 07777);
                temporary.write("new");
                return failure;
            });
        } catch (const WorkbookWriteError& e) {
            message = QString::fromStdString(e.what());
        }
        ::umask(savedMask);
        QCOMPARE(message, why.isEmpty() ? QString() : "Cannot write \"" + path + "\": " + why);
        QCOMPARE(seenMode, temporaryMode);
        QCOMPARE(contents(path), after);
        QCOMPARE(mode(path), afterMode);
        const QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(left, after.isEmpty() ? QStringList() : QStringList{"book.xlsx"});
    }

    void linkIsFollowed() {
        QTemporaryDir dir;
        const QString target = dir.filePath("real.xlsx"), link = dir.filePath("link.xlsx");
        QFile old(target);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.close();
        QVERIFY(QFile::link(target, link));
        ReplaceFile(link, [](QFileDevice& temporary) {
            temporary.write("new");
            return QString();
        });
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(contents(target), QByteArray("new"));
    }

    // An export cancelled while it wrote: the old bytes stay and no temporary is left.
    void aCancelledWriteKeepsTheOldFile() {
        QTemporaryDir dir;
        const QString target = dir.filePath("kept.xlsx");
        QFile old(target);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old");
        old.close();
        std::atomic<bool> cancelled{false};
        WriteCancellation gate(cancelled);
        QVERIFY_THROWS_EXCEPTION(WorkbookWriteCancelled, ReplaceFile(target, [&](QFileDevice& f) {
                                     f.write("new");
                                     cancelled = true; // Cancel pressed while the write ran
                                     return QString();
                                 }));
        QCOMPARE(contents(target), QByteArray("old"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"kept.xlsx"});
    }

    // Only root may give a file away, so only root can see it kept.
    void ownerAndGroupAreKept() {
        if (::geteuid() != 0)
            QSKIP("only root may give a file to another owner");
        QTemporaryDir dir;
        const QString path = dir.filePath("theirs.xlsx");
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.close();
        QCOMPARE(::chown(QFile::encodeName(path).constData(), 65534, 65534), 0);
        ReplaceFile(path, [](QFileDevice&) { return QString(); });
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &st), 0);
        QCOMPARE(int(st.st_uid), 65534);
        QCOMPARE(int(st.st_gid), 65534);
    }

    void unwritableFolderNamesThePath() {
        const QString path = QStringLiteral("/nonexistent-orvane-folder/book.xlsx");
        QVERIFY_THROWS_EXCEPTION(WorkbookWriteError,
                                 ReplaceFile(path, [](QFileDevice&) { return QString(); }));
        try {
            ReplaceFile(path, [](QFileDevice&) { return QString(); });
        } catch (const WorkbookWriteError& e) {
            QVERIFY(QString::fromStdString(e.what()).startsWith("Cannot write \"" + path + "\": "));
        }
    }
};

QTEST_MAIN(tst_replacefile)
#include "tst_replacefile.moc"
