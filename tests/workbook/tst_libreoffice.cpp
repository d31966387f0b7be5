// Both workbook types read back by LibreOffice Calc: every cell text of the report's sheet, as
// the lists export it (display switches off, so the .xlsx sheet is the edited one; with 900 rows
// its later deflate blocks are the copied ones).
#include "XlsReadBack.h"
#include "sheet/SheetModel.h"
#include "support/ReportSheet.h"

#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <unistd.h>

using namespace orvane;

class tst_libreoffice : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString soffice;

  private slots:
    void initTestCase() {
        QVERIFY(dir.isValid());
        soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
        // The CI runs as root on a machine set up by scripts/setup: there it must not skip.
        if (soffice.isEmpty() && ::geteuid() == 0)
            QFAIL("soffice is not installed: scripts/setup installs libreoffice-calc-nogui");
        if (soffice.isEmpty())
            QSKIP("soffice is not installed (package libreoffice-calc-nogui)");
    }

    void readsEveryCell_data() {
        QTest::addColumn<int>("fileType");
        QTest::addColumn<QString>("name");
        QTest::newRow(".xls") << int(SheetComponent::XlsFileType) << "report-xls.xls";
        QTest::newRow(".xlsx") << int(SheetComponent::XlsxFileType) << "report-xlsx.xlsx";
    }
    void readsEveryCell() {
        QFETCH(int, fileType);
        QFETCH(QString, name);
        SheetComponent s;
        reportsheet::layout(s);
        reportsheet::fill(s, 3, 300, reportsheet::Remarks::Unicode);
        const QString path = dir.filePath(name);
        WriteSheetFile(s, path, fileType);
        QString error;
        const QList<QStringList> rows =
            readback::libreOffice(soffice, dir.filePath("profile"), path, error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(rows.size(), 909);
        QCOMPARE(rows[0].value(0), QString("TAROVEL"));
        QCOMPARE(rows[6].value(6), QString("SYS_U0_000002")); // the hidden key column
        QCOMPARE(rows[6].value(7), QString("Ünïcode ΔΣ 日本語 2 – ok ✓"));
        const SheetModel& m = *s.sheetModel();
        for (int r = 0; r < rows.size(); ++r)
            for (int c = 0; c < m.columns(); ++c)
                QCOMPARE(rows[r].value(c), m.text(r + 1, c + 1));
    }
};

QTEST_MAIN(tst_libreoffice)
#include "tst_libreoffice.moc"
