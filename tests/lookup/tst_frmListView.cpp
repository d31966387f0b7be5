// The modal pick-list: filling, scrolling, the prefix search and the ways a row is picked.
#include "app/Session.h"
#include "lookup/HelpResults.h"
#include "lookup/frmListView.h"
#include "platform/Geometry.h"
#include "support/TestSupport.h"

#include "support/PickListAnswer.h"
#include <QScrollBar>

#include <QtTest>
#include <functional>
#include <memory>

using namespace orvane;
using namespace orvane::test;

namespace {
const QString kFour = "Select 'A1','Abacus','a' union all Select 'A2','ABC','b' "
                      "union all Select 'A3','Xab','c' union all Select 'A4','Zed','d'";

QString numbered(int count) {
    return QString("with recursive seq(n) as (select 1 union all select n+1 from seq where n<%1) "
                   "select concat('K',n), concat('Name ',n) from seq order by n")
        .arg(count);
}

struct ListCall {
    QString query;
    qint16 displayFields = 2;
    qint32 formWidth = 4000;
    qint32 icol = 0;
    qint32 iicol = 4000;
    qint32 iiicol = 0;
};

// Runs ShowForm; drive() acts on the open list and should close it. True when a list showed.
bool runList(ListCall call, const std::function<void(frmListView*)>& drive) {
    bool leftOpen = false;
    WhenPickListShows answer([&](frmListView* list) {
        drive(list);
        if (frmListView::current() == list && list->isVisible()) {
            leftOpen = true;
            list->reject();
        }
    });
    QString caption = "Help", t1 = "Code", t2 = "Name", t3 = "Third";
    qint32 w[7] = {};
    QString h[7];
    frmListView::ShowForm(call.query, call.displayFields, caption, call.formWidth, call.icol, t1,
                          call.iicol, t2, call.iiicol, t3, w[0], h[0], w[1], h[1], w[2], h[2], w[3],
                          h[3], w[4], h[4], w[5], h[5], w[6], h[6]);
    if (leftOpen)
        qWarning("the list was left open by the test step");
    return answer.ran() && !leftOpen;
}

void seedSlots(const QString& text) {
    for (int i = 1; i <= 7; ++i)
        HelpResult(i) = text;
}
} // namespace

class tst_frmListView : public QObject {
    Q_OBJECT
    std::unique_ptr<FakeDesktop> desktop;

  private slots:
    void init() {
        TestDb::startSession(QString());
        desktop = std::make_unique<FakeDesktop>();
        ClearHelpResults();
    }
    void cleanup() { desktop.reset(); }

    void emptyResultShowsNoList() {
        seedSlots("kept");
        bool shown =
            runList({"Select av_code, av_name from hr_av"}, [](frmListView* l) { l->accept(); });
        QVERIFY(!shown);
        QCOMPARE(HelpResult1, QString("kept"));
        QCOMPARE(HelpResult2, QString("kept"));
    }

    void escapePicksTheSearchRow_data() {
        QTest::addColumn<QString>("focus");
        QTest::newRow("in the search box") << "TxtSearch";
        QTest::newRow("in the grid") << "GrHelp";
    }
    void escapePicksTheSearchRow() {
        QFETCH(QString, focus);
        QVERIFY(runList({kFour}, [&](frmListView* list) {
            QCOMPARE(list->SearchRow, 1);
            QTest::keyClick(list->findChild<QWidget*>(focus), Qt::Key_Escape);
        }));
        QCOMPARE(HelpResult1, QString("A1"));
        QCOMPARE(HelpResult2, QString("Abacus"));
    }

    void prefixSearch_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("searchRow");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("name");
        QTest::newRow("ab finds Abacus first") << "ab" << 1 << "A1"
                                               << "Abacus";
        QTest::newRow("abc") << "abc" << 2 << "A2"
                             << "ABC";
        QTest::newRow("upper case typed") << "ABA" << 1 << "A1"
                                          << "Abacus";
        QTest::newRow("x") << "x" << 3 << "A3"
                           << "Xab";
        QTest::newRow("inner text is no prefix") << "b" << 5 << ""
                                                 << "";
        QTest::newRow("longer than every name") << "abacus1" << 5 << ""
                                                << "";
        QTest::newRow("last record") << "zed" << 4 << "A4"
                                     << "Zed";
    }
    void prefixSearch() {
        QFETCH(QString, typed);
        QFETCH(int, searchRow);
        QFETCH(QString, code);
        QFETCH(QString, name);
        seedSlots("stale");
        QVERIFY(runList({kFour, 3}, [&](frmListView* list) {
            QCOMPARE(list->focusWidget(), static_cast<QWidget*>(list->TxtSearch));
            QTest::keyClicks(list->TxtSearch, typed);
            QCOMPARE(list->SearchRow, searchRow);
            if (!code.isEmpty())
                QCOMPARE(list->GrHelp->Row(), searchRow);
            QTest::keyClick(list->TxtSearch, Qt::Key_Return);
        }));
        QCOMPARE(HelpResult1, code);
        QCOMPARE(HelpResult2, name);
        QCOMPARE(HelpResult3, code.isEmpty() ? QString() : list3(code));
    }

    void emptiedSearchReturnsToTheTop() {
        QVERIFY(runList({numbered(40)}, [&](frmListView* list) {
            QTest::keyClicks(list->TxtSearch, "Name 30");
            QCOMPARE(list->GrHelp->Row(), 30);
            QCOMPARE(list->GrHelp->verticalScrollBar()->value() + 1, 30);
            list->TxtSearch->clear();
            QCOMPARE(list->GrHelp->Row(), 1);
            QCOMPARE(list->GrHelp->verticalScrollBar()->value() + 1, 1);
            QCOMPARE(list->SearchRow, 30);
            QCOMPARE(HelpResult1, QString());
            QCOMPARE(HelpResult2, QString());
            list->reject();
        }));
    }

    void opensScrolledToTheEnd_data() {
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("topRow");
        QTest::newRow("15 records") << 15 << 1;
        QTest::newRow("16 records") << 16 << 1;
        QTest::newRow("17 records") << 17 << 2;
        QTest::newRow("30 records") << 30 << 15;
    }
    void opensScrolledToTheEnd() {
        QFETCH(int, records);
        QFETCH(int, topRow);
        QVERIFY(runList({numbered(records)}, [&](frmListView* list) {
            QCOMPARE(list->GrHelp->verticalScrollBar()->value() + 1, topRow);
            QCOMPARE(list->GrHelp->TextMatrix(records, 2), QString("Name %1").arg(records));
            QVERIFY(list->GrHelp->TextMatrix(records + 1, 1).isEmpty());
            list->reject();
        }));
    }

    void ninetyNineRecordsGrowTheGrid() {
        seedSlots("stale");
        QVERIFY(runList({numbered(99)}, [&](frmListView* list) {
            FlexGrid* grid = list->GrHelp;
            QCOMPARE(grid->Rows(), 110);
            QCOMPARE(grid->TextMatrix(99, 1), QString("K99"));
            for (int row = 100; row < 110; ++row)
                QVERIFY(grid->TextMatrix(row, 1).isEmpty() && grid->TextMatrix(row, 2).isEmpty());
            grid->scrollToBottom();
            const QRect cell = grid->visualRect(grid->model()->index(104, 2));
            QVERIFY(cell.isValid());
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
            QCOMPARE(grid->Row(), 105);
            QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        }));
        for (int i = 1; i <= 7; ++i)
            QCOMPARE(HelpResult(i), QString());
    }

    void gridEnterPicksTheCurrentRow() {
        QVERIFY(runList({kFour, 3}, [&](frmListView* list) {
            QTest::keyClick(list->TxtSearch, Qt::Key_Down);
            QCOMPARE(list->focusWidget(), static_cast<QWidget*>(list->GrHelp));
            QTest::keyClick(list->GrHelp, Qt::Key_Down);
            QTest::keyClick(list->GrHelp, Qt::Key_Down);
            QCOMPARE(list->GrHelp->Row(), 3);
            // Moving the current row already hands it over; the list stays open.
            QCOMPARE(HelpResult2, QString("Xab"));
            QVERIFY(list->isVisible());
            QTest::keyClick(list->GrHelp, Qt::Key_Return);
        }));
        QCOMPARE(HelpResult1, QString("A3"));
        QCOMPARE(HelpResult2, QString("Xab"));
        QCOMPARE(HelpResult3, QString("c"));
    }

    void gridHasNoTypeAheadAndTakesDoubleClicksAnywhere() {
        QVERIFY(runList({kFour, 3}, [&](frmListView* list) {
            QTest::keyClick(list->TxtSearch, Qt::Key_Down);
            QTest::keyClick(list->GrHelp, Qt::Key_Down);
            QCOMPARE(list->GrHelp->Row(), 2);
            QTest::keyClicks(list->GrHelp, "Xab");
            QCOMPARE(list->GrHelp->Row(), 2);
            QWidget* viewport = list->GrHelp->viewport();
            QTest::mouseDClick(viewport, Qt::LeftButton, {},
                               QPoint(viewport->width() - 3, viewport->height() - 3));
        }));
        QCOMPARE(HelpResult1, QString("A2"));
    }

    void emptyFirstFieldEndsTheSearch() {
        const QString query = "Select NULL,'Abacus' union all Select 'c2','Abx' "
                              "union all Select 'c3', NULL";
        QVERIFY(runList({query}, [&](frmListView* list) {
            QCOMPARE(list->GrHelp->TextMatrix(1, 1), QString());
            QCOMPARE(list->GrHelp->TextMatrix(1, 2), QString("Abacus"));
            QCOMPARE(list->GrHelp->TextMatrix(3, 2), QString());
            QTest::keyClicks(list->TxtSearch, "abx");
            QCOMPARE(list->SearchRow, 1);
            QTest::keyClick(list->TxtSearch, Qt::Key_Return);
        }));
        QCOMPARE(HelpResult1, QString());
        QCOMPARE(HelpResult2, QString("Abacus"));
    }

    void widthsAndDisplayedFields_data() {
        QTest::addColumn<int>("iicol");
        QTest::addColumn<int>("shownWidth");
        QTest::addColumn<int>("displayFields");
        QTest::newRow("4000 shows 3550") << 4000 << 3550 << 2;
        QTest::newRow("0 hides") << 0 << 0 << 2;
        QTest::newRow("three fields") << 6000 << 5550 << 3;
        QTest::newRow("one field still fills column 1") << 4000 << 3550 << 1;
    }
    void widthsAndDisplayedFields() {
        QFETCH(int, iicol);
        QFETCH(int, shownWidth);
        QFETCH(int, displayFields);
        ListCall call{kFour, qint16(displayFields), 6000, 0, iicol, 900};
        QVERIFY(runList(call, [&](frmListView* list) {
            FlexGrid* grid = list->GrHelp;
            QCOMPARE(list->width(), twips(6000));
            QCOMPARE(grid->width(), twips(6000 - 80));
            QCOMPARE(list->TxtSearch->width(), grid->width());
            QCOMPARE(grid->ColWidth(2), shownWidth);
            QCOMPARE(grid->isColumnHidden(2), shownWidth == 0);
            QVERIFY(grid->isColumnHidden(0) && grid->isColumnHidden(1));
            if (shownWidth > 0)
                QCOMPARE(grid->columnWidth(2), twips(shownWidth));
            QCOMPARE(grid->TextMatrix(0, 2), QString("Name"));
            QCOMPARE(grid->TextMatrix(2, 1), QString("A2"));
            QCOMPARE(grid->TextMatrix(2, 2), displayFields >= 2 ? QString("ABC") : QString());
            QCOMPARE(grid->TextMatrix(2, 3), displayFields >= 3 ? QString("b") : QString());
            QCOMPARE(list->windowTitle(), QString("Help"));
            list->reject();
        }));
    }

    void closeBoxKeepsTheLastHandOver() {
        seedSlots("stale");
        QVERIFY(runList({kFour}, [&](frmListView* list) {
            QTest::keyClicks(list->TxtSearch, "x");
            list->close();
        }));
        QCOMPARE(HelpResult1, QString("A3"));
        QCOMPARE(HelpResult2, QString("Xab"));
        QVERIFY(frmListView::current() == nullptr);
    }

  private:
    static QString list3(const QString& code) {
        return code == "A1" ? "a" : code == "A2" ? "b" : code == "A3" ? "c" : "d";
    }
};

QTEST_MAIN(tst_frmListView)
#include "tst_frmListView.moc"
