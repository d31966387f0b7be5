// The compound document container, read back by xlrd's own container reader.
#include "XlsReadBack.h"
#include "workbook/CompoundFile.h"

#include <QCryptographicHash>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using orvane::CompoundFile;

class TestCompoundFile : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

  private slots:
    void streamReadsBack_data() {
        QTest::addColumn<int>("size");
        QTest::newRow("one byte, mini stream") << 1;
        QTest::newRow("largest mini stream") << CompoundFile::MiniStreamCutoff - 1;
        QTest::newRow("smallest regular stream") << CompoundFile::MiniStreamCutoff;
        QTest::newRow("not a whole sector") << 100000 + 7;
        // 109 FAT sectors in the header describe 109 * 128 sectors; past that DIFAT sectors
        // list the rest: one, then two of them.
        QTest::newRow("first DIFAT sector") << 109 * 128 * 512 + 1;
        QTest::newRow("second DIFAT sector") << (109 + 127) * 128 * 512 + 1;
    }
    void streamReadsBack() {
        QFETCH(int, size);
        QByteArray data(size, Qt::Uninitialized);
        for (int i = 0; i < size; ++i)
            data[i] = char((i * 7 + i / 509) & 0xFF);
        const QString path = dir.filePath(QStringLiteral("container.bin"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(CompoundFile::write(f, QStringLiteral("Workbook"), data));
        f.close();
        QCOMPARE(f.size() % CompoundFile::SectorSize, 0);

        const QJsonObject x =
            readback::xlrd(QFINDTESTDATA("xls_dump.py"), {QStringLiteral("--stream"), path});
        QVERIFY2(!x.contains("error"), qPrintable(x["error"].toString()));
        QCOMPARE(x["warnings"].toString(), QString());
        QCOMPARE(x["size"].toInt(), size);
        QCOMPARE(
            x["md5"].toString(),
            QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Md5).toHex()));
    }

    void failingDeviceIsReported() {
        QFile closed(dir.filePath(QStringLiteral("never-opened.bin")));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(".*not open.*"));
        QVERIFY(!CompoundFile::write(closed, QStringLiteral("Workbook"), QByteArray(5000, 'x')));
    }
};

QTEST_MAIN(TestCompoundFile)
#include "tst_compoundfile.moc"
