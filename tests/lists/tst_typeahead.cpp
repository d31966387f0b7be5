// Typing ahead of a refill in the list and the report: keys that queue before the event loop
// runs are folded into at most two refills that leave the sheet as one refill for the final
// text does; a key sent straight to the box still refills at once.
#include "ListsTestData.h"
#include "lists/frmAVList.h"
#include "lists/frmrptAVUpdationList.h"
#include "support/QueuedTyping.h"

#include <QtTest>

using namespace orvane;
using namespace orvane::test;
using namespace listsdata;

class tst_typeahead : public QObject {
    Q_OBJECT
    std::unique_ptr<frmMain> main;
    std::unique_ptr<FakeDesktop> desktop;

    // The box named `box` ("search" or "unit") of a freshly opened list or report.
    ActivationListScreen* open(const QString& screen, const QString& box, QLineEdit*& edit) {
        ActivationListScreen* s = nullptr;
        if (screen == "list") {
            s = main->Show<frmAVList>();
            edit = s->TxSearch;
        } else {
            auto* report = main->Show<frmrptAVUpdationList>();
            edit = box == "unit" ? report->TxUnitCode : report->TxSearch;
            s = report;
        }
        QCoreApplication::processEvents();
        edit->setFocus();
        return s;
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
        closeAllScreens(main.get());
        main.reset();
        desktop.reset();
    }

    void queuedKeysFoldIntoOneRefill_data() {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("firstRow");
        QTest::addColumn<QStringList>("serials"); // column 7 from firstRow on
        QTest::newRow("report search")
            << "report"
            << "search"
            << "198.2.0" << 5 << QStringList{"", "S200003", "S200001", "S200002"};
        // Each key's refill sees the text before the key: only a refill after the last key
        // lists the unit.
        QTest::newRow("report unit box")
            << "report"
            << "unit"
            << "U2" << 5 << QStringList{"", "S200003", "S200001", "S200002"};
        QTest::newRow("list search") << "list"
                                     << "search"
                                     << "198.1.0.1" << 2 << QStringList{"S100001"};
    }
    void queuedKeysFoldIntoOneRefill() {
        QFETCH(QString, screen);
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(int, firstRow);
        QFETCH(QStringList, serials);
        QLineEdit* edit = nullptr;
        ActivationListScreen* s = open(screen, box, edit);
        const int before = s->RefillsRun();
        QueueTyping(edit, typed);
        QTRY_VERIFY(!s->RefillPending() && s->RefillsRun() > before);
        QCOMPARE(edit->text(), typed);
        QVERIFY2(s->RefillsRun() - before <= 2,
                 qPrintable(QString("%1 refills").arg(s->RefillsRun() - before)));
        QCOMPARE(columnTexts(s->Fbook, 7, firstRow), serials);
        QVERIFY(desktop->shown.isEmpty());
    }

    void aKeySentStraightRefillsAtOnce() {
        QLineEdit* edit = nullptr;
        ActivationListScreen* s = open("report", "search", edit);
        const int before = s->RefillsRun();
        QTest::keyClick(edit, Qt::Key_3, Qt::NoModifier);
        QCOMPARE(s->RefillsRun(), before + 1);
        QVERIFY(!s->RefillPending());
        QCOMPARE(columnTexts(s->Fbook, 7, 5), QStringList({"", "S200003"}));
    }

    void exportRunsAPendingRefillFirst() {
        QLineEdit* edit = nullptr;
        ActivationListScreen* s = open("list", "search", edit);
        QueueTyping(edit, "198.1.0.2");
        // Deliver the keys only: the zero timer that would run the refill has not fired yet.
        DeliverQueuedInput();
        QVERIFY(s->RefillPending());
        desktop->fileNames.enqueue(std::nullopt); // the save dialog is cancelled
        s->CmExport_Click();
        QVERIFY(!s->RefillPending());
        QCOMPARE(columnTexts(s->Fbook, 7, 2), QStringList({"S100002"}));
    }
};

QTEST_MAIN(tst_typeahead)
#include "tst_typeahead.moc"
