#include "support/TestSupport.h"

#include "app/Session.h"
#include "platform/Settings.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

namespace orvane::test {

FakeDesktop::FakeDesktop() {
    Desktop::install(this);
}
FakeDesktop::~FakeDesktop() {
    Desktop::install(nullptr);
}

MsgAnswer FakeDesktop::message(const QString& text, MsgIcon icon, MsgButtons buttons) {
    shown.append({text, icon, buttons});
    if (!answers.isEmpty())
        return answers.dequeue();
    return buttons == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
}

std::optional<QString> FakeDesktop::saveFileName(const QString& folder, const QString& filter,
                                                 const QString& fileName) {
    dialogs.append({folder, filter, fileName});
    if (fileNames.isEmpty())
        return std::nullopt;
    return fileNames.dequeue();
}

std::optional<SaveAnswer> FakeDesktop::saveFile(const QString& folder, const QString& filter,
                                                const QString& fileName) {
    const std::optional<QString> name = saveFileName(folder, filter, fileName);
    if (!name)
        return std::nullopt;
    return SaveAnswer{*name, fileTypes.isEmpty() ? 0 : fileTypes.dequeue()};
}

std::optional<QString> FakeDesktop::openFileName(const QString& folder, const QString& filter) {
    dialogs.append({folder, filter, QString()});
    if (openNames.isEmpty())
        return std::nullopt;
    return openNames.dequeue();
}

void FakeDesktop::openUrl(const QString& address) {
    opened.append(address);
}
void FakeDesktop::endProgram() {
    ++ended;
}

QStringList FakeDesktop::texts() const {
    QStringList list;
    for (const ShownMessage& m : shown)
        list.append(m.text);
    return list;
}

void FakeDesktop::clear() {
    shown.clear();
    dialogs.clear();
    opened.clear();
    ended = 0;
}

TempSettings::TempSettings() {
    Settings::setFolder(dir_.path());
}
TempSettings::~TempSettings() {
    Settings::setFolder(QString());
}

TempStateHome::TempStateHome()
    : previous_(qgetenv("XDG_STATE_HOME")),
      hadPrevious_(qEnvironmentVariableIsSet("XDG_STATE_HOME")) {
    qputenv("XDG_STATE_HOME", dir_.path().toLocal8Bit());
}
TempStateHome::~TempStateHome() {
    if (hadPrevious_)
        qputenv("XDG_STATE_HOME", previous_);
    else
        qunsetenv("XDG_STATE_HOME");
}

int TestDb::port() {
    bool ok = false;
    int p = qEnvironmentVariableIntValue("ORVANE_DB_PORT", &ok);
    return ok ? p : 3306;
}

QString TestDb::connectionText() {
    return QString("DRIVER={MySQL ODBC 3.51 Driver};SERVER=127.0.0.1;PORT=%1; "
                   "USER=root;PASSWORD=7341;OPTION=3;Database=hr0910")
        .arg(port());
}

std::unique_ptr<Connection> TestDb::open() {
    auto connection = std::make_unique<Connection>();
    connection->setTimeout(10);
    connection->open(connectionText());
    return connection;
}

void TestDb::installSession() {
    Session().reset();
    Session().setConnection(open());
    Session().Connected = true;
    Session().ReleaseVersion = "V0.6";
}

void TestDb::startSession(const QString& userId, const QString& unitCode, const QString& unitName) {
    loadFixture();
    installSession();
    Session().CurrentUserId = userId;
    Session().CurrentUnitCode = unitCode;
    Session().CurrentUnitName = unitName;
}

QString TestDb::sourceDir() {
    QString dir = qEnvironmentVariable("ORVANE_SOURCE_DIR");
    return dir.isEmpty() ? QStringLiteral(ORVANE_SOURCE_DIR_DEFAULT) : dir;
}

void TestDb::runScript(const QString& path) {
    runScript(path, *open());
}

void TestDb::runScript(const QString& path, Connection& connection) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        QTest::qFail(qPrintable("cannot read " + path), __FILE__, __LINE__);
    QString text = QString::fromUtf8(file.readAll());
    text.remove(QRegularExpression("--[^\n]*"));
    for (const QString& statement : text.split(";\n")) {
        if (!statement.trimmed().isEmpty())
            connection.execute(statement);
    }
}

void TestDb::loadFixture() {
    runScript(sourceDir() + "/db/fixture.sql");
}

void TestDb::exec(const QString& sql, const Params& params) {
    open()->execute(sql, params);
}

QString TestDb::scalar(const QString& sql, const Params& params) {
    auto connection = open();
    Recordset rs = connection->query(sql, params);
    return rs.eof() ? QString() : rs.field(0);
}

int TestDb::count(const QString& sql, const Params& params) {
    return scalar(sql, params).toInt();
}

} // namespace orvane::test
