#include "app/mdlTarovel.h"

#include "platform/Messages.h"
#include "platform/Settings.h"

#include <QLineEdit>
#include <QLocale>
#include <QWidget>

#include <algorithm>

namespace orvane {

namespace {
QString& shortDatePicture() {
    static QString picture = QStringLiteral("dd-MMM-yyyy");
    return picture;
}
const QLocale& dateLocale() {
    static const QLocale locale = QLocale::system();
    return locale;
}
} // namespace

void SetShortDateFormat() {
    shortDatePicture() = QStringLiteral("dd-MMM-yyyy");
}
QString ShortDateFormat() {
    return shortDatePicture();
}
QString ShortDate(const QDate& date) {
    return dateLocale().toString(date, shortDatePicture());
}

QString StampDate(const QDate& date) {
    return date.toString("yyyy/MM/dd");
}
QString StampTime(const QTime& time) {
    return time.toString("HH:mm:ss");
}
QString QueryDate(const QDate& date) {
    return date.toString("yyyy-MM-dd");
}
QString DisplayDate(const QDate& date) {
    return dateLocale().toString(date, "dd-MMM-yyyy");
}

QString ConnectionText(const QString& serverAddress) {
    if (serverAddress == QLatin1String("127.0.0.1"))
        return QStringLiteral("DRIVER={MySQL ODBC 3.51 Driver};SERVER=127.0.0.1;PORT=3306; "
                              "USER=root;PASSWORD=7341;OPTION=3;Database=hr0910");
    return QStringLiteral("DRIVER={MySQL ODBC 3.51 Driver};SERVER=") + serverAddress +
           QStringLiteral(
               ";PORT=3306; USER=quorvex;PASSWORD=amberlantern;OPTION=3;Database=hr0910");
}

bool IsInHouseServer(const QString& serverAddress) {
    return serverAddress == QLatin1String("192.168.0.4") ||
           serverAddress == QLatin1String("192.168.0.5") ||
           serverAddress == QLatin1String("127.0.0.1");
}

QString InHouseUpdatePage() {
    QString page = Settings::read("Tarovel", "Update", "InHousePage");
    return page.isEmpty() ? QStringLiteral("http://intranet.tarovel.local/orvane/update/") : page;
}

QString PublicUpdatePage() {
    QString page = Settings::read("Tarovel", "Update", "PublicPage");
    return page.isEmpty() ? QStringLiteral("https://www.orvane.example/update/") : page;
}

QString UpdatePageFor(const QString& serverAddress) {
    return IsInHouseServer(serverAddress) ? InHouseUpdatePage() : PublicUpdatePage();
}

void SelectAllText(QLineEdit* box) {
    box->setSelection(0, box->text().length());
}

void CenterForm(QWidget* screen) {
    // Children of the main window sit in an MDI sub-window; centre that frame.
    QWidget* frame = screen->parentWidget() ? screen->parentWidget() : screen;
    QWidget* area = frame->parentWidget();
    if (area && area->objectName() == QLatin1String("qt_scrollarea_viewport"))
        area = area->parentWidget();
    if (!area)
        return;
    // A screen larger than the client area keeps its title bar within reach.
    const int left = std::max(0, (area->width() - frame->width()) / 2);
    const int top = std::max(0, (area->height() - frame->height()) / 2);
    frame->move(left, top);
}

namespace {
std::optional<QString> firstField(Connection& connection, const QString& sql, const QString& value,
                                  const char* column) {
    Recordset rs = connection.query(sql, {value});
    if (rs.bof() || rs.eof())
        return std::nullopt;
    QString found = rs.field(column);
    rs.close();
    return found;
}
} // namespace

std::optional<QString> FindNumberSetup(Connection& connection, const QString& key) {
    return firstField(connection, "Select * from numbersetup Where no_id=?", key, "no_value");
}

std::optional<QString> FindUnitName(Connection& connection, const QString& unitCode) {
    return firstField(connection, "Select unit_name from tarovel.unitmaster Where unit_code=?",
                      unitCode, "unit_name");
}

void ReportMissingUnit() {
    MsgBox("Error in Unit Master!!!.   \r\nContact System Administrator.   ");
}

QString ReadNumberSetup(const QString& key) {
    const std::optional<QString> value = FindNumberSetup(Session().SharedConnection(), key);
    if (!value)
        MsgBox("Error in Number Setup!!!.   \r\nContact System Administrator.   ");
    return value.value_or(QString());
}

QString TrimBlanks(const QString& text) {
    int first = 0;
    int last = text.length();
    while (first < last && text[first] == QLatin1Char(' '))
        ++first;
    while (last > first && text[last - 1] == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

QString NextCode(const QString& code) {
    const QString t = TrimBlanks(code);
    const int n = t.length();
    int p = n;
    while (p > 0 && t[p - 1].isDigit() && t[p - 1].unicode() < 128)
        --p;
    // p is the count of prefix characters; the digits follow it.
    const QString prefix = t.left(p);
    const QString tail = t.mid(p);
    // Digits past 18 would overflow; add one to the digit text itself.
    QString digits = tail.isEmpty() ? QStringLiteral("0") : tail;
    int i = digits.length() - 1;
    while (i >= 0 && digits[i] == '9') {
        digits[i] = '0';
        --i;
    }
    if (i < 0)
        digits.prepend('1');
    else
        digits[i] = QChar(digits[i].unicode() + 1);
    // Strip the leading zeros, then pad to the width of the digit part.
    int firstNonZero = 0;
    while (firstNonZero < digits.length() - 1 && digits[firstNonZero] == '0')
        ++firstNonZero;
    digits = digits.mid(firstNonZero);
    const int width = n - prefix.length();
    if (digits.length() < width)
        digits = QString(width - digits.length(), '0') + digits;
    return prefix + digits;
}

QString GetUnitName(const QString& unitCode) {
    const std::optional<QString> name = FindUnitName(Session().SharedConnection(), unitCode);
    if (!name)
        ReportMissingUnit();
    return name.value_or(QString());
}

} // namespace orvane
