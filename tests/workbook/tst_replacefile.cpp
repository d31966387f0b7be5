// The temporary-file-and-rename helper both workbook writers write through.
#include "workbook/WorkbookFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>

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
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<int>("afterMode");
        QTest::newRow("new file, the user's defaults") << -1 << "" << QByteArray("new") << 0644;
        QTest::newRow("replaced file keeps its mode") << 0600 << "" << QByteArray("new") << 0600;
        QTest::newRow("failure keeps the old file")
            << 0640 << "disk full" << QByteArray("old") << 0640;
        QTest::newRow("failure with no old file") << -1 << "disk full" << QByteArray() << -1;
    }
    void outcome() {
        QFETCH(int, oldMode);
        QFETCH(QString, failure);
        QFETCH(QByteArray, after);
        QFETCH(int, afterMode);
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
        try {
            ReplaceFile(path, [&](QFile& temporary) {
                temporary.write("new");
                return failure;
            });
        } catch (const WorkbookWriteError& e) {
            message = QString::fromStdString(e.what());
        }
        ::umask(savedMask);
        QCOMPARE(message,
                 failure.isEmpty() ? QString() : "Cannot write \"" + path + "\": " + failure);
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
        ReplaceFile(link, [](QFile& temporary) {
            temporary.write("new");
            return QString();
        });
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(contents(target), QByteArray("new"));
    }

    void unwritableFolderNamesThePath() {
        const QString path = QStringLiteral("/nonexistent-orvane-folder/book.xlsx");
        QVERIFY_THROWS_EXCEPTION(WorkbookWriteError,
                                 ReplaceFile(path, [](QFile&) { return QString(); }));
        try {
            ReplaceFile(path, [](QFile&) { return QString(); });
        } catch (const WorkbookWriteError& e) {
            QVERIFY(QString::fromStdString(e.what()).startsWith("Cannot write \"" + path + "\": "));
        }
    }
};

QTEST_MAIN(tst_replacefile)
#include "tst_replacefile.moc"
