// The expiry overview and the main window's count against the real server: the bars' counts
// on each band's boundary days, a segment click opening the report, the picture, and the
// count after sign-in, a save, a unit switch and a failure.
#include "../lists/ListsTestData.h"
#include "antivirus/frmAvUpdation.h"
#include "lists/frmrptAVUpdationList.h"
#include "overview/ExpiryStatus.h"
#include "overview/frmExpiryOverview.h"
#include "shell/frmSwitch.h"
#include "support/ScreenFixture.h"

#include <QBarSet>
#include <QChartView>
#include <QHorizontalStackedBarSeries>
#include <QTimer>
#include <QtTest>

using namespace orvane;
using namespace orvane::test;
using namespace listsdata;

Q_DECLARE_METATYPE(orvane::ExpiryBand)

class tst_expiryoverview : public QObject, ScreenFixture {
    Q_OBJECT
    const QDate today = QDate::currentDate();
    frmExpiryOverview* overview = nullptr;

    void open() {
        overview = openScreen<frmExpiryOverview>();
        QVERIFY(overview);
        QTRY_VERIFY(overview->ChOverview->chart()->plotArea().width() > 0);
    }
    // Where a bar's segment is drawn, in the chart view's viewport; bars run bottom up.
    QPoint segmentCentre(int unitIndex, ExpiryBand band) {
        const int bar = int(overview->Units().size()) - 1 - unitIndex;
        qreal from = 0;
        for (int b = 0; b < static_cast<int>(band); ++b)
            from += overview->BandSet(ExpiryBand(b))->at(bar);
        QChart* chart = overview->ChOverview->chart();
        const QPointF at(from + overview->BandSet(band)->at(bar) / 2, bar);
        return overview->ChOverview->mapFromScene(
            chart->mapToScene(chart->mapToPosition(at, chart->series().first())));
    }

  private slots:
    // U1 holds each band's first and last day; U3 is granted but closed to the report.
    void init() {
        freshSession();
        const QVariant days[] = {today.addDays(-1), today,
                                 today.addDays(1),  today.addDays(30),
                                 today.addDays(31), today.addDays(90),
                                 today.addDays(91), QVariant()};
        for (int i = 0; i < 8; ++i)
            insert({"U1", QString("T%1").arg(i + 1), QString("198.1.0.%1").arg(i + 1), days[i]});
        insert({"U2", "T9", "198.2.0.1", today.addDays(30)});
        insert({"U2", "T10", "198.2.0.2", today.addDays(31)});
        insert({"U3", "T11", "198.3.0.1", today});
        startScreens();
    }
    void cleanup() {
        stopScreens();
        TestDb::exec("Rename table if exists hr0910.hr_av_activation_away to "
                     "hr0910.hr_av_activation");
    }

    void countsBehindTheBars() {
        open();
        QCOMPARE(overview->Units().size(), size_t(2));
        QCOMPARE(overview->Units()[0].unitCode, QString("U1"));
        QCOMPARE(overview->Units()[1].unitCode, QString("U2"));
        // Per band, the bars bottom up: U2, U1.
        const QList<qreal> expected[] = {{0, 2}, {1, 2}, {1, 2}, {0, 1}, {0, 1}};
        for (ExpiryBand band : kExpiryBands) {
            QBarSet* set = overview->BandSet(band);
            QCOMPARE(set->label(), ExpiryCounts::BandName(band));
            QCOMPARE(QList<qreal>({set->at(0), set->at(1)}), expected[static_cast<int>(band)]);
        }
        QCOMPARE(overview->LbTotal->text(), QString("10 workstations: 2 expired, 3 within 30 days, "
                                                    "3 within 90 days, 1 later, 1 without a date"));
        QCOMPARE(ExpiryCounts(Session().SharedConnection()).ForUnit("U1", today).counts,
                 (std::array<int, 5>{2, 2, 2, 1, 1}));
    }

    void segmentClickOpensTheReport_data() {
        QTest::addColumn<ExpiryBand>("band");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("expired") << ExpiryBand::Expired << QStringList{"T1", "T2"};
        QTest::newRow("within 30 days")
            << ExpiryBand::Within30 << QStringList{"T1", "T2", "T3", "T4"};
        QTest::newRow("later") << ExpiryBand::Later
                               << QStringList{"T8", "T1", "T2", "T3", "T4", "T5", "T6", "T7"};
    }
    void segmentClickOpensTheReport() {
        QFETCH(ExpiryBand, band);
        QFETCH(QStringList, listed);
        open();
        // A report already open with other filters takes the segment's.
        auto* report = openScreen<frmrptAVUpdationList>();
        report->ChkDate->click();
        report->TxSearch->setText("198.2");
        main->Show<frmExpiryOverview>();
        QTest::mouseClick(overview->ChOverview->viewport(), Qt::LeftButton, {},
                          segmentCentre(0, band));
        QCOMPARE(main->area()->activeSubWindow()->widget(), report);
        QCOMPARE(report->TxUnitCode->text(), QString("U1"));
        QCOMPARE(report->TxSearch->text(), QString());
        QCOMPARE(columnTexts(report->Fbook, 7, 6), listed);
        QVERIFY(desktop->shown.isEmpty());
    }

    void savePicture() {
        open();
        QTemporaryDir dir;
        desktop->fileNames.enqueue(dir.filePath("bars"));
        overview->CmSavePicture->click();
        QCOMPARE(QImage(dir.filePath("bars.png")).size(), overview->ChOverview->size());
    }

    void statusCount() {
        ExpiryStatus* count = main->ExpiryCount;
        QTRY_COMPARE(count->text(), QString("U1: 2 expired, 2 within 30 days")); // at sign-in
        QCOMPARE(count->RefreshTimer()->interval(), 5 * 60 * 1000);
        frmAvUpdation* entry = frmAvUpdation::OpenForNew();
        entry->TxIP->setText("198.1.0.99");
        entry->TxOS->setText("linux");
        entry->TxUser->setText("new");
        entry->CmNew_Click(); // expiring today
        QTRY_COMPARE(count->text(), QString("U1: 3 expired, 2 within 30 days"));
        closeAllScreens(main.get());
        main->mnuChangeUnit->trigger();
        frmSwitch* unitSwitch = main->find<frmSwitch>();
        unitSwitch->GrUnit->setCurrentCell(1, 1);
        unitSwitch->CmSwitch_Click();
        QTRY_COMPARE(main->ExpiryCount->text(), QString("U2: 0 expired, 1 within 30 days"));
        QTest::mouseClick(main->ExpiryCount, Qt::LeftButton);
        QVERIFY(main->find<frmExpiryOverview>());
        // A failure blanks the count without a word; the next refresh counts again.
        desktop->clear();
        TestDb::exec("Rename table hr0910.hr_av_activation to hr0910.hr_av_activation_away");
        main->ExpiryCount->Refresh();
        QTRY_COMPARE(main->ExpiryCount->text(), QString());
        TestDb::exec("Rename table hr0910.hr_av_activation_away to hr0910.hr_av_activation");
        main->ExpiryCount->Refresh();
        QTRY_COMPARE(main->ExpiryCount->text(), QString("U2: 0 expired, 1 within 30 days"));
        QVERIFY(desktop->shown.isEmpty());
    }
};

QTEST_MAIN(tst_expiryoverview)
#include "tst_expiryoverview.moc"
