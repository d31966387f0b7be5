// Typing while a refill's query is held up on the server (another session holds the table
// locked): every key shows at once, only the latest request's rows are ever laid out, and
// Export waits for them.
#include "ListsTestData.h"
#include "lists/frmAVList.h"
#include "lists/frmrptAVUpdationList.h"

#include <QtTest>

using namespace orvane;
using namespace orvane::test;
using namespace listsdata;

class tst_typeahead : public QObject {
    Q_OBJECT
    std::unique_ptr<frmMain> main;
    std::unique_ptr<FakeDesktop> desktop;
    std::unique_ptr<Connection> holder; // the other session, holding the table

    ActivationListScreen* open(const QString& screen) {
        ActivationListScreen* s = screen == "list"
                                      ? static_cast<ActivationListScreen*>(main->Show<frmAVList>())
                                      : main->Show<frmrptAVUpdationList>();
        QCoreApplication::processEvents();
        s->TxSearch->setFocus();
        return s;
    }
    void holdTable() {
        holder = TestDb::open();
        holder->execute("LOCK TABLES hr0910.hr_av_activation WRITE");
    }
    void releaseTable() {
        if (holder)
            holder->execute("UNLOCK TABLES");
        holder.reset();
    }

  private slots:
    void init() {
        freshSession();
        desktop = std::make_unique<FakeDesktop>();
        main = std::make_unique<frmMain>();
        main->setAttribute(Qt::WA_DeleteOnClose, false);
        main->show();
        insert({"U2", "S200002", "198.2.0.2", QDate(2030, 6, 1)});
        insert({"U1", "S100002", "198.1.0.2", QDate(2030, 2, 1)});
        insert({"U2", "S200001", "198.2.0.1", QDate(2030, 1, 15)});
        insert({"U1", "S100001", "198.1.0.1", QDate(2030, 3, 1)});
        insert({"U2", "S200003", "198.2.0.3", QVariant()});
    }
    void cleanup() {
        releaseTable();
        closeAllScreens(main.get());
        main.reset();
        desktop.reset();
    }

    void keysShowWhileTheQueryWaits_data() {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("firstRow");
        QTest::addColumn<QStringList>("serials"); // column 7 from firstRow on
        QTest::newRow("report") << "report"
                                << "198.2.0" << 5
                                << QStringList{"", "S200003", "S200001", "S200002"};
        QTest::newRow("list") << "list"
                              << "198.1.0.1" << 2 << QStringList{"S100001"};
    }
    void keysShowWhileTheQueryWaits() {
        QFETCH(QString, screen);
        QFETCH(QString, typed);
        QFETCH(int, firstRow);
        QFETCH(QStringList, serials);
        ActivationListScreen* s = open(screen);
        const int before = s->RefillsShown();
        holdTable();
        QTest::keyClicks(s->TxSearch, typed);
        // Every key is in the box while the first refill still waits on the server.
        QCOMPARE(s->TxSearch->text(), typed);
        QVERIFY(s->RefillRunning());
        QCOMPARE(s->RefillsShown(), before);
        releaseTable();
        QTRY_VERIFY(!s->RefillRunning());
        // The overtaken results were dropped: one layout, the final text's.
        QCOMPARE(s->RefillsShown(), before + 1);
        QCOMPARE(columnTexts(s->Fbook, 7, firstRow), serials);
        QVERIFY(desktop->shown.isEmpty());
    }

    void aLongResultIsWaitedForWhole_data() {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<int>("firstRecordRow");
        QTest::newRow("list") << "list" << 2;
        QTest::newRow("report") << "report" << 6; // below U1's heading
    }
    void aLongResultIsWaitedForWhole() {
        QFETCH(QString, screen);
        QFETCH(int, firstRecordRow);
        // More records than one pass lays out, in serial and expiry order alike.
        TestDb::exec("Insert into hr0910.hr_av_activation(unit_code, sys_id, sys_ip, exp_date) "
                     "Select 'U1', Concat('T', Lpad(seq, 5, '0')), Concat('199.0.', seq), "
                     "Date_add('2031-01-01', Interval seq Day) From seq_1_to_5003");
        ActivationListScreen* s = open(screen);
        QTest::keyClicks(s->TxSearch, "199.0.");
        QVERIFY(s->WaitForRefill());
        const QList<QPair<int, QString>> records{
            {1, "T00001"}, {5000, "T05000"}, {5001, "T05001"}, {5003, "T05003"}};
        for (const auto& [number, serial] : records) {
            QCOMPARE(s->Fbook->text(firstRecordRow + number - 1, 1), QString::number(number));
            QCOMPARE(s->Fbook->text(firstRecordRow + number - 1, 7), serial);
        }
        QCOMPARE(s->Fbook->maxRow(), firstRecordRow + 5002);
    }

    void exportWaitsForTheFinalText() {
        ActivationListScreen* s = open("list");
        holdTable();
        QTest::keyClicks(s->TxSearch, "198.1.0.2");
        QTimer::singleShot(200, this, [this] { releaseTable(); });
        desktop->fileNames.enqueue(std::nullopt); // the save dialog is cancelled
        s->CmExport_Click();
        QVERIFY(desktop->fileNames.isEmpty()); // the dialog came, after the rows
        QVERIFY(!s->RefillRunning());
        QCOMPARE(columnTexts(s->Fbook, 7, 2), QStringList({"S100002"}));
    }
};

QTEST_MAIN(tst_typeahead)
#include "tst_typeahead.moc"
