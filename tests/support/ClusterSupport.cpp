#include "support/ClusterSupport.h"

#include "support/TestSupport.h"

#include <QMutexLocker>
#include <QProcess>
#include <QTest>
#include <QThread>

namespace orvane::test {

QString TestCluster::connectionText(int node) {
    return QString("DRIVER={MySQL ODBC 3.51 Driver};SERVER=127.0.0.%1;PORT=3306; "
                   "USER=root;PASSWORD=7341;OPTION=3;Database=hr0910")
        .arg(node);
}

std::unique_ptr<Connection> TestCluster::open(int node) {
    auto connection = std::make_unique<Connection>();
    connection->setTimeout(5);
    connection->open(connectionText(node));
    return connection;
}

std::unique_ptr<Connection> TestCluster::openCausal(int node) {
    auto connection = open(node);
    connection->execute("Set session wsrep_sync_wait=1");
    return connection;
}

QString TestCluster::unavailable() {
    for (int node = 1; node <= Nodes; ++node) {
        try {
            auto db = open(node);
            Recordset rs = db->query("show status like 'wsrep_local_state_comment'");
            const QString state = rs.eof() ? QString() : rs.field(1);
            if (state != "Synced")
                return QString("node %1 is not synced (state \"%2\")").arg(node).arg(state);
        } catch (const DbError& error) {
            return QString("node %1 on 127.0.0.%1:3306 does not answer (%2); start the cluster "
                           "with scripts/cluster start")
                .arg(node)
                .arg(error.description());
        }
    }
    return QString();
}

bool TestCluster::required() {
    return qEnvironmentVariableIntValue("ORVANE_CLUSTER_REQUIRED") == 1;
}

int TestCluster::control(const QStringList& arguments) {
    QProcess script;
    script.setProcessChannelMode(QProcess::MergedChannels);
    script.start(TestDb::sourceDir() + "/scripts/cluster", arguments);
    script.waitForFinished(300000);
    qInfo("%s", script.readAll().trimmed().constData());
    return script.exitStatus() == QProcess::NormalExit ? script.exitCode() : -1;
}

void TestCluster::loadFixture() {
    auto connection = open(1);
    TestDb::runScript(TestDb::sourceDir() + "/db/fixture.sql", *connection);
    // A causal read on every other node waits until it has applied the fixture, so that the
    // tests' own plain reads there never meet the tables as they were before it.
    for (int node = 2; node <= Nodes; ++node)
        openCausal(node)->query("Select count(*) from numbersetup");
}

QString TestCluster::scalar(int node, const QString& sql, const Params& params) {
    auto db = openCausal(node);
    Recordset rs = db->query(sql, params);
    return rs.eof() ? QString() : rs.field(0);
}

QStringList TestCluster::savedState(int node) {
    auto db = openCausal(node);
    QStringList state;
    const char* tables[][2] = {{"hr_av_activation", "concat_ws('|', unit_code, sys_id, sys_ip, "
                                                    "sys_os, sys_user, exp_date)"},
                               {"hr_av", "concat_ws('|', av_code, av_name, av_pur_key, "
                                         "av_install_key)"}};
    for (const auto& table : tables) {
        Recordset rs =
            db->query(QString("Select count(*), sum(crc32(%1)) from %2").arg(table[1], table[0]));
        state << QString("%1: %2 rows, checksum %3").arg(table[0], rs.field(0), rs.field(1));
    }
    for (Recordset rs = db->query("Select no_id, no_value from numbersetup order by no_id");
         !rs.eof(); rs.moveNext())
        state << rs.field(0) + "=" + rs.field(1);
    return state;
}

RecordingDesktop::RecordingDesktop() {
    Desktop::install(this);
}
RecordingDesktop::~RecordingDesktop() {
    Desktop::install(nullptr);
}

MsgAnswer RecordingDesktop::message(const QString& text, MsgIcon, MsgButtons buttons) {
    QMutexLocker lock(&mutex_);
    shown_.append({QThread::currentThread()->objectName(), text});
    return buttons == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
}

QStringList RecordingDesktop::shownBy(const QString& thread) const {
    QMutexLocker lock(&mutex_);
    QStringList texts;
    for (const auto& entry : shown_)
        if (entry.first == thread)
            texts << entry.second;
    return texts;
}

int RecordingDesktop::count() const {
    QMutexLocker lock(&mutex_);
    return int(shown_.size());
}

void RecordingDesktop::clear() {
    QMutexLocker lock(&mutex_);
    shown_.clear();
}

void TestCluster::skipOrFailWithoutCluster() {
    const QString why = unavailable();
    if (!why.isEmpty() && required())
        QFAIL(qPrintable("the test cluster must run here: " + why));
    if (!why.isEmpty())
        QSKIP(qPrintable("no test cluster: " + why));
}

} // namespace orvane::test
