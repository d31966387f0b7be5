// Shared routines: code numbering, counter and unit look-ups, formatting, centring.
#include "app/mdlTarovel.h"
#include "shell/frmMain.h"
#include "support/TestSupport.h"

#include <QLineEdit>
#include <QtTest>

using namespace orvane;
using namespace orvane::test;

class tst_common : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { TestDb::installSession(); }
    void init() { TestDb::loadFixture(); }

    void nextCode_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("next");
        QTest::newRow("prefix carries") << "AV0009"
                                        << "AV0010";
        QTest::newRow("zero padded") << "0099"
                                     << "0100";
        QTest::newRow("grows a digit") << "999"
                                       << "1000";
        QTest::newRow("blanks around") << " 12 "
                                       << "13";
        QTest::newRow("digits inside prefix") << "A1B2"
                                              << "A1B3";
        QTest::newRow("no digits") << "AB"
                                   << "AB1";
        QTest::newRow("empty") << ""
                               << "1";
        QTest::newRow("five digits") << "00099"
                                     << "00100";
        QTest::newRow("plain") << "99"
                               << "100";
        QTest::newRow("zero") << "S000"
                              << "S001";
        QTest::newRow("longer than 64 bits") << "X99999999999999999999"
                                             << "X100000000000000000000";
        QTest::newRow("non-ascii digit is prefix")
            << QString::fromUtf8("A٣7") << QString::fromUtf8("A٣8");
    }
    void nextCode() {
        QFETCH(QString, code);
        QFETCH(QString, next);
        QCOMPARE(NextCode(code), next);
    }

    void readNumberSetup_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("messages");
        QTest::newRow("present") << "AV_NO"
                                 << "AV00001" << 0;
        QTest::newRow("unit counter") << "SYS_U2"
                                      << "S200001" << 0;
        QTest::newRow("missing") << "SYS_NOPE"
                                 << "" << 1;
        QTest::newRow("quote in key") << "SYS_'x"
                                      << "" << 1;
    }
    void readNumberSetup() {
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(int, messages);
        FakeDesktop desktop;
        QCOMPARE(ReadNumberSetup(key), value);
        QCOMPARE(desktop.shown.size(), messages);
        if (messages)
            QCOMPARE(desktop.shown[0].text,
                     QString("Error in Number Setup!!!.   \r\nContact System Administrator.   "));
    }

    void getUnitName_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("messages");
        QTest::newRow("present") << "U2"
                                 << "Second Unit" << 0;
        QTest::newRow("missing") << "ZZ"
                                 << "" << 1;
        QTest::newRow("empty") << ""
                               << "" << 1;
    }
    void getUnitName() {
        QFETCH(QString, code);
        QFETCH(QString, name);
        QFETCH(int, messages);
        FakeDesktop desktop;
        QCOMPARE(GetUnitName(code), name);
        QCOMPARE(desktop.shown.size(), messages);
        if (messages)
            QCOMPARE(desktop.shown[0].text,
                     QString("Error in Unit Master!!!.   \r\nContact System Administrator.   "));
    }

    void formats() {
        const QDate date(2026, 12, 6);
        QCOMPARE(StampDate(date), QString("2026/12/06"));
        QCOMPARE(QueryDate(date), QString("2026-12-06"));
        QCOMPARE(StampTime(QTime(7, 5, 9)), QString("07:05:09"));
        QCOMPARE(StampTime(QTime(23, 59, 0)), QString("23:59:00"));
        SetShortDateFormat();
        QCOMPARE(ShortDateFormat(), QString("dd-MMM-yyyy"));
        QCOMPARE(DisplayDate(date), QLocale::system().toString(date, "dd-MMM-yyyy"));
        QCOMPARE(ShortDate(date), DisplayDate(date));
    }

    void selectAllText() {
        QLineEdit box;
        SelectAllText(&box);
        QCOMPARE(box.selectedText(), QString());
        box.setText("abc def");
        SelectAllText(&box);
        QCOMPARE(box.selectedText(), QString("abc def"));
    }

    void centerForm_data() {
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<QPoint>("placed");
        QTest::newRow("smaller") << QSize(200, 100) << QPoint(300, 250);
        QTest::newRow("wider") << QSize(1000, 100) << QPoint(0, 250);
        QTest::newRow("larger than the client area") << QSize(3000, 2000) << QPoint(0, 0);
    }
    void centerForm() {
        QFETCH(QSize, screen);
        QFETCH(QPoint, placed);
        QMdiArea area;
        area.setFrameShape(QFrame::NoFrame);
        area.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        area.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        area.resize(800, 600);
        area.show();
        auto* widget = new QWidget;
        QMdiSubWindow* frame = area.addSubWindow(widget);
        frame->show();
        frame->resize(screen);
        QCOMPARE(area.viewport()->size(), QSize(800, 600));
        CenterForm(widget);
        QCOMPARE(frame->pos(), placed);
    }
};

QTEST_MAIN(tst_common)
#include "tst_common.moc"
