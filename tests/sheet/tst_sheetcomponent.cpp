// The sheet widget: cell operations, formatting of the selection, sizes, scrolling, events.
#include "sheet/SheetComponent.h"
#include "support/ReportSheet.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QSignalSpy>
#include <QtTest>

using namespace orvane;

namespace {

void fillGrid(SheetComponent& s, int rows, int cols) {
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= cols; ++c)
            s.setText(r, c, QStringLiteral("%1/%2").arg(r).arg(c));
}

} // namespace

class TestSheetComponent : public QObject {
    Q_OBJECT

  private slots:
    void clearRange_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QRect>("range"); // columns x, rows y, 1-based, inclusive
        QTest::addColumn<bool>("textGone");
        QTest::addColumn<bool>("formatGone");
        QTest::newRow("code 1: everything, data area")
            << 1 << QRect(QPoint(1, 3), QPoint(4, 6)) << true << true;
        QTest::newRow("code 2: formats only")
            << 2 << QRect(QPoint(2, 2), QPoint(3, 5)) << false << true;
        QTest::newRow("code 3: texts only")
            << 3 << QRect(QPoint(1, 1), QPoint(4, 6)) << true << false;
        QTest::newRow("code 1: inner block")
            << 1 << QRect(QPoint(2, 2), QPoint(3, 3)) << true << true;
    }
    void clearRange() {
        QFETCH(int, code);
        QFETCH(QRect, range);
        QFETCH(bool, textGone);
        QFETCH(bool, formatGone);
        SheetComponent s;
        s.setMaxCol(4);
        fillGrid(s, 6, 4);
        s.setSelection(1, 1, 6, 4);
        s.setFont("ARIAL", 8, true, false, false, false, 0, false, false);
        s.clearRange(range.top(), range.left(), range.bottom(), range.right(), code);
        for (int r = 1; r <= 6; ++r) {
            for (int c = 1; c <= 4; ++c) {
                const bool inside = range.contains(c, r);
                const QString text = QStringLiteral("%1/%2").arg(r).arg(c);
                QCOMPARE(s.text(r, c), inside && textGone ? QString() : text);
                const bool bold = s.sheetModel()->style(s.sheetModel()->styleIndex(r, c)).bold;
                QCOMPARE(bold, !(inside && formatGone));
            }
        }
        // Rows left without text or format no longer count.
        const bool allGone = textGone && formatGone && range.bottom() == 6 && range.left() == 1 &&
                             range.right() == 4;
        QCOMPARE(s.maxRow(), allGone ? range.top() - 1 : 6);
    }

    // An export writes a snapshot while the user goes on: no later change of the sheet reaches it.
    void snapshotKeepsItsCells_data() {
        QTest::addColumn<int>("change");
        QTest::newRow("a text") << 0;
        QTest::newRow("a cleared block") << 1;
        QTest::newRow("a format") << 2;
        QTest::newRow("fewer columns") << 3;
    }
    void snapshotKeepsItsCells() {
        QFETCH(int, change);
        SheetComponent s;
        s.setMaxCol(3);
        fillGrid(s, 4, 3);
        const std::unique_ptr<SheetModel> taken = s.sheetModel()->snapshot();
        if (change == 0)
            s.setText(2, 2, "changed");
        else if (change == 1)
            s.clearRange(1, 1, 4, 3, 1);
        else if (change == 2) {
            s.setSelection(1, 1, 4, 3);
            s.setFont("ARIAL", 8, true, false, false, false, 0, false, false);
        } else
            s.sheetModel()->setColumns(1);
        QCOMPARE(taken->text(2, 2), QString("2/2"));
        QCOMPARE(taken->text(4, 3), QString("4/3"));
        QCOMPARE(taken->style(taken->styleIndex(1, 1)).bold, false);
        QCOMPARE(taken->usedRows(), 4);
    }

    void formattingAppliesToSelectionOnly() {
        SheetComponent s;
        s.setMaxCol(5);
        fillGrid(s, 5, 5);
        s.setSelection(4, 4, 2, 2); // corners in any order
        QCOMPARE(s.selectionRange(), QRect(QPoint(2, 2), QPoint(4, 4)));
        s.setFont("Times New Roman", 10, true, true, true, false, reportsheet::DarkRed, false,
                  false);
        s.setPattern(1, reportsheet::LightGrey, reportsheet::LightGrey);
        s.setBorder(2, 1, 1, -1, -1, 0, 1, 1, 1, -1, -1);
        const SheetModel& m = *s.sheetModel();
        for (int r = 1; r <= 5; ++r) {
            for (int c = 1; c <= 5; ++c) {
                const CellStyle& st = m.style(m.styleIndex(r, c));
                const bool in = r >= 2 && r <= 4 && c >= 2 && c <= 4;
                QCOMPARE(st.bold, in);
                QCOMPARE(st.fontName, in ? QString("Times New Roman") : QString("Arial"));
                QCOMPARE(st.fontColour, in ? quint32(192) : quint32(0));
                QCOMPARE(st.pattern, quint8(in ? 1 : 0));
                if (!in)
                    continue;
                QCOMPARE(st.patternFg, quint32(0xC0C0C0));
                // Per-cell left/right edges everywhere, the medium outline around the block;
                // top and bottom only on the outline.
                QCOMPARE(st.borderLeft, quint8(c == 2 ? 2 : 1));
                QCOMPARE(st.borderRight, quint8(c == 4 ? 2 : 1));
                QCOMPARE(st.borderTop, quint8(r == 2 ? 2 : 0));
                QCOMPARE(st.borderBottom, quint8(r == 4 ? 2 : 0));
            }
        }
        // Many cells, few formats: the style table holds each distinct format once.
        QVERIFY(m.styleCount() <= 12);
    }

    void formatsShowInTheView() {
        SheetComponent s;
        s.setText(1, 1, "navy");
        s.setSelection(1, 1, 1, 1);
        s.setFont("Book Antiqua", 14, true, false, false, false, reportsheet::Navy, false, false);
        s.setPattern(1, reportsheet::LightGrey, -1);
        QCoreApplication::processEvents();
        const QModelIndex i = s.view()->model()->index(0, 0);
        QCOMPARE(i.data(Qt::FontRole).value<QFont>().pointSize(), 14);
        QVERIFY(i.data(Qt::FontRole).value<QFont>().bold());
        QCOMPARE(i.data(Qt::ForegroundRole).value<QBrush>().color(), QColor(0, 0, 128));
        QCOMPARE(i.data(Qt::BackgroundRole).value<QBrush>().color(), QColor(192, 192, 192));
    }

    void columnWidths_data() {
        QTest::addColumn<int>("width");
        QTest::newRow("1500") << 1500;
        QTest::newRow("7000") << 7000;
        QTest::newRow("12500") << 12500;
        QTest::newRow("0 hides") << 0;
    }
    void columnWidths() {
        QFETCH(int, width);
        SheetComponent s;
        s.setMaxCol(8);
        s.setColWidth(7, width);
        QCOMPARE(s.colWidth(7), width);
        QCOMPARE(s.view()->isColumnHidden(6), width == 0);
        if (width)
            QCOMPARE(s.view()->columnWidth(6), s.columnPixels(width));
        // Widths survive the column count going down and up again, as at the report's load.
        s.setMaxCol(6);
        s.setMaxCol(10);
        QCoreApplication::processEvents();
        QCOMPARE(s.colWidth(7), width);
        QCOMPARE(s.view()->isColumnHidden(6), width == 0);
        QVERIFY(s.columnPixels(7000) > s.columnPixels(1500));
    }

    void rowHeightInTwips() {
        SheetComponent s;
        s.setText(1, 1, "TAROVEL");
        s.setRowHeight(1, 500);
        QCoreApplication::processEvents();
        QCOMPARE(s.rowHeight(1), 500);
        QCOMPARE(s.rowHeight(2), SheetModel::DefaultRowHeight);
        QCOMPARE(s.view()->rowHeight(0), 33); // 500 twips at 15 twips a pixel
        // A refill that drops and re-adds the row keeps its height.
        s.clearRange(1, 1, s.maxRow(), s.maxCol(), 1);
        QCoreApplication::processEvents();
        s.setText(1, 1, "again");
        QCoreApplication::processEvents();
        QCOMPARE(s.view()->rowHeight(0), 33);
    }

    void countsAndFixedRows() {
        SheetComponent s;
        reportsheet::layout(s);
        QCOMPARE(s.maxRow(), 4);
        QCOMPARE(s.maxCol(), 10);
        const int last = reportsheet::fill(s, 2, 3);
        QCOMPARE(last, 13); // 5 heading, 6-8, 9 empty, 10 heading, 11-13
        QCOMPARE(s.maxRow(), last);
        QCOMPARE(s.maxCol(), 8);
        QCOMPARE(s.text(11, 1), QString("4")); // numbering runs on across units
        s.clearRange(5, 1, s.maxRow(), s.maxCol(), 1);
        QCOMPARE(s.maxRow(), 4);
        QCOMPARE(s.text(4, 2), QString("IP"));
    }

    void modelStaysConsistentThroughRefills() {
        SheetComponent s;
        QAbstractItemModelTester tester(s.sheetModel(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        reportsheet::layout(s);
        for (const int perUnit : {50, 3, 0, 200}) {
            reportsheet::fill(s, 2, perUnit);
            QCoreApplication::processEvents();
            QCOMPARE(s.view()->model()->rowCount(), s.maxRow());
            QCOMPARE(s.view()->model()->columnCount(), s.maxCol());
        }
    }

    void typingMovesNoRow() {
        SheetComponent s;
        s.setText(1, 1, "alpha");
        s.setText(2, 1, "beta");
        s.show();
        s.setActiveCell(1, 1);
        QTest::keyClicks(s.view(), "beta");
        QCOMPARE(s.activeRow(), 1);
    }

    void doubleClickSignalsRowAndColumn_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::newRow("first cell") << 1 << 1;
        QTest::newRow("data cell") << 6 << 3;
        QTest::newRow("last column") << 8 << 5;
    }
    void doubleClickSignalsRowAndColumn() {
        QFETCH(int, row);
        QFETCH(int, col);
        SheetComponent s;
        s.resize(600, 400);
        s.setMaxCol(5);
        fillGrid(s, 10, 5);
        s.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s));
        QSignalSpy spy(&s, &SheetComponent::DblClick);
        const QRect cell = s.view()->visualRect(s.view()->model()->index(row - 1, col - 1));
        QVERIFY(cell.isValid());
        QTest::mouseClick(s.view()->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(s.view()->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), row);
        QCOMPARE(spy.at(0).at(1).toInt(), col);
        QCOMPARE(s.activeRow(), row);
        QCOMPARE(s.activeCol(), col);
    }

    void topRow_data() {
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("top");
        // The list shows its last 15 rows: heading row 1, records from row 2.
        QTest::newRow("10 records") << 10 << 1;
        QTest::newRow("20 records") << 20 << 7;
        QTest::newRow("500 records") << 500 << 487;
    }
    void topRow() {
        QFETCH(int, records);
        QFETCH(int, top);
        SheetComponent s;
        s.resize(767, 311);
        s.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s));
        s.setFixedRows(1);
        s.setMaxCol(8);
        s.setText(1, 1, "Code");
        fillGrid(s, records + 1, 8); // no event loop pass in between, as in a refill
        const int current = records + 1;
        s.setTopRow(current < 15 ? 1 : current - 14);
        QCOMPARE(s.topRow(), top);
        QCoreApplication::processEvents();
        QCOMPARE(s.topRow(), top);
        QCOMPARE(s.view()->rowAt(0) + 1, top);
    }

    void displaySwitches() {
        SheetComponent s;
        QVERIFY(s.showGridLines());
        QVERIFY(s.showRowColHeadings());
        s.setShowGridLines(false);
        s.setShowRowColHeadings(false);
        QVERIFY(!s.view()->showGrid());
        QVERIFY(s.view()->horizontalHeader()->isHidden());
        QVERIFY(s.view()->verticalHeader()->isHidden());
        QVERIFY(!s.showRowColHeadings());
    }
};

QTEST_MAIN(TestSheetComponent)
#include "tst_sheetcomponent.moc"
