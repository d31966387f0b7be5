// ICMP echo module: status texts, loopback echoes, addresses that send nothing, and, in
// private network namespaces, time-outs, ICMP errors and the socket-right fallbacks.
// Only 127.x addresses are ever pinged.
#include "netns_helper.h"

#include "netmon/mdlPing.h"

#include <QtTest>

#include <arpa/inet.h>
#include <climits>
#include <mutex>
#include <thread>

using namespace orvane;

namespace {

// Skips when this process may open no ICMP socket at all (no rights on this machine).
bool canPing() {
    IcmpEchoReply reply;
    return PingAddress(QStringLiteral("127.0.0.1"), reply) != kEchoNotSent;
}

QString dotted(uint32_t address) {
    in_addr a{address};
    return QString::fromLatin1(inet_ntoa(a));
}

} // namespace

class TestMdlPing : public QObject {
    Q_OBJECT

  private slots:
    void init() { SetEchoSocketKinds(EchoSocketKinds::Any); }

    void statusText_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("text");
        const std::pair<int, const char*> table[] = {
            {0, "Success!"},
            {11001, "Buffer Too Small"},
            {11002, "Destination Net Unreachable"},
            {11003, "Destination Host Unreachable"},
            {11004, "Destination Protocol Unreachable"},
            {11005, "Destination Port Unreachable"},
            {11006, "No Resources"},
            {11007, "Bad Option"},
            {11008, "Hardware Error"},
            {11009, "Packet Too Big"},
            {11010, "Request Timed Out"},
            {11011, "Bad Request"},
            {11012, "Bad Route"},
            {11013, "TimeToLive Expired Transit"},
            {11014, "TimeToLive Expired Reassembly"},
            {11015, "Parameter Problem"},
            {11016, "Source Quench"},
            {11017, "Option Too Big"},
            {11018, "Bad Destination"},
            {11032, "Negotiating IPSEC"},
            {11050, "General Failure"},
            // Everything else, including the module's own -1.
            {-1, "Unknown Response"},
            {1, "Unknown Response"},
            {11000, "Unknown Response"},
            {11019, "Unknown Response"},
            {11031, "Unknown Response"},
            {11033, "Unknown Response"},
            {11049, "Unknown Response"},
            {11051, "Unknown Response"},
            {INT_MAX, "Unknown Response"},
            {INT_MIN, "Unknown Response"},
        };
        for (const auto& [status, text] : table)
            QTest::addRow("%d", status) << status << QString::fromLatin1(text);
    }
    void statusText() {
        QFETCH(int, status);
        QFETCH(QString, text);
        QCOMPARE(EchoStatusText(status), text);
    }

    void icmpErrorStatus_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("status");
        QTest::newRow("net unreachable") << 3 << 0 << 11002;
        QTest::newRow("host unreachable") << 3 << 1 << 11003;
        QTest::newRow("protocol unreachable") << 3 << 2 << 11004;
        QTest::newRow("port unreachable") << 3 << 3 << 11005;
        QTest::newRow("fragmentation needed") << 3 << 4 << 11009;
        QTest::newRow("source route failed") << 3 << 5 << 11012;
        QTest::newRow("net unknown") << 3 << 6 << 11002;
        QTest::newRow("host unknown") << 3 << 7 << 11003;
        QTest::newRow("host prohibited") << 3 << 10 << 11003;
        QTest::newRow("communication prohibited") << 3 << 13 << 11003;
        QTest::newRow("source quench") << 4 << 0 << 11016;
        QTest::newRow("ttl in transit") << 11 << 0 << 11013;
        QTest::newRow("ttl in reassembly") << 11 << 1 << 11014;
        QTest::newRow("parameter problem") << 12 << 0 << 11015;
        QTest::newRow("redirect is no error") << 5 << 1 << 11050;
    }
    void icmpErrorStatus() {
        QFETCH(int, type);
        QFETCH(int, code);
        QFETCH(int, status);
        QCOMPARE(EchoStatusForIcmpError(type, code), status);
    }

    void startupAndCleanup() {
        QVERIFY(EchoStartup());
        EchoCleanup();
        QVERIFY(EchoStartup()); // may be bracketed again and again
        EchoCleanup();
    }

    // Addresses the converter maps to its failure value or to 0 send nothing.
    void noPacket_data() {
        QTest::addColumn<QString>("address");
        QTest::newRow("not an address") << QStringLiteral("branch-office");
        QTest::newRow("empty") << QString();
        QTest::newRow("part too big") << QStringLiteral("256.1.1.1");
        QTest::newRow("five parts") << QStringLiteral("1.2.3.4.5");
        QTest::newRow("all zero") << QStringLiteral("0.0.0.0");
        QTest::newRow("zero as one number") << QStringLiteral("0");
        QTest::newRow("broadcast") << QStringLiteral("255.255.255.255");
    }
    void noPacket() {
        QFETCH(QString, address);
        // Guard: a row must never name a real host.
        const in_addr_t converted = inet_addr(address.toLatin1().constData());
        QVERIFY(converted == INADDR_NONE || converted == 0);
        IcmpEchoReply reply;
        reply.RoundTripTime = 77;
        reply.Status = 5;
        const uint64_t before = EchoRequestsSent();
        const int status = PingAddress(address, reply);
        QCOMPARE(status, -1);
        QCOMPARE(EchoStatusText(status), QStringLiteral("Unknown Response"));
        QCOMPARE(reply.RoundTripTime, 0u);
        QCOMPARE(reply.DataSize, uint16_t(0));
        QCOMPARE(EchoRequestsSent(), before);
        QCOMPARE(LastEchoSocketKind(), EchoSocketKind::None);
    }

    // Every 127.x address answers on this platform; inet_addr's short forms count too.
    void loopback_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("answering");
        QTest::newRow("127.0.0.1") << "127.0.0.1"
                                   << "127.0.0.1";
        QTest::newRow("127.0.0.2") << "127.0.0.2"
                                   << "127.0.0.2";
        QTest::newRow("127.1.2.3") << "127.1.2.3"
                                   << "127.1.2.3";
        QTest::newRow("127.255.255.254") << "127.255.255.254"
                                         << "127.255.255.254";
        QTest::newRow("two parts") << "127.1"
                                   << "127.0.0.1";
        QTest::newRow("hexadecimal") << "0x7f000005"
                                     << "127.0.0.5";
    }
    void loopback() {
        QFETCH(QString, address);
        QFETCH(QString, answering);
        if (!canPing())
            QSKIP("this process may open no ICMP socket");
        IcmpEchoReply reply;
        const uint64_t before = EchoRequestsSent();
        const int status = PingAddress(address, reply);
        QCOMPARE(status, 0);
        QCOMPARE(reply.Status, 0);
        QCOMPARE(EchoStatusText(status), QStringLiteral("Success!"));
        QVERIFY2(reply.RoundTripTime < 1000, qPrintable(QString::number(reply.RoundTripTime)));
        QCOMPARE(dotted(reply.Address), answering);
        QCOMPARE(QByteArray(reply.Data, reply.DataSize), QByteArray("hello"));
        QCOMPARE(EchoRequestsSent(), before + 1);
        QVERIFY(LastEchoSocketKind() != EchoSocketKind::None);
    }

    // The same echo through each socket kind this process may open here.
    void eachSocketKind_data() {
        QTest::addColumn<int>("kinds");
        QTest::addColumn<int>("kind");
        QTest::newRow("datagram") << int(EchoSocketKinds::DatagramOnly)
                                  << int(EchoSocketKind::Datagram);
        QTest::newRow("raw") << int(EchoSocketKinds::RawOnly) << int(EchoSocketKind::Raw);
    }
    void eachSocketKind() {
        QFETCH(int, kinds);
        QFETCH(int, kind);
        SetEchoSocketKinds(EchoSocketKinds(kinds));
        IcmpEchoReply reply;
        const int status = PingAddress(QStringLiteral("127.0.0.3"), reply);
        if (status == kEchoNotSent)
            QSKIP("this socket kind is not allowed here (covered in a private namespace)");
        QCOMPARE(status, 0);
        QCOMPARE(int(LastEchoSocketKind()), kind);
        QCOMPARE(dotted(reply.Address), QStringLiteral("127.0.0.3"));
    }

    // Every socket refused: -1 without a packet, and the reason is on record until a
    // socket can be opened again.
    void refusedSockets() {
        SetEchoSocketKinds(EchoSocketKinds::None);
        IcmpEchoReply reply;
        const uint64_t before = EchoRequestsSent();
        QCOMPARE(PingAddress(QStringLiteral("127.0.0.1"), reply), -1);
        QCOMPARE(EchoRequestsSent(), before);
        const QString problem = IcmpPermissionProblem();
        QVERIFY(problem.contains(QLatin1String("net.ipv4.ping_group_range")));
        QVERIFY(problem.contains(QLatin1String("setcap cap_net_raw+ep")));
        QVERIFY(problem.contains(QCoreApplication::applicationFilePath()));
        SetEchoSocketKinds(EchoSocketKinds::Any);
        if (!canPing())
            QSKIP("this process may open no ICMP socket");
        QVERIFY(IcmpPermissionProblem().isEmpty());
    }

    // Raw sockets hear every reply of the host: each caller must still get its own.
    void concurrentEchoes() {
        if (!canPing())
            QSKIP("this process may open no ICMP socket");
        constexpr int kThreads = 12;
        constexpr int kRounds = 20;
        std::mutex mutex;
        QStringList wrong;
        for (int round = 0; round < kRounds; ++round) {
            std::vector<std::thread> threads;
            for (int i = 0; i < kThreads; ++i)
                threads.emplace_back([&, i] {
                    const QString target = QStringLiteral("127.0.%1.%2").arg(round).arg(i + 1);
                    IcmpEchoReply reply;
                    const int status = PingAddress(target, reply);
                    const QString from = dotted(reply.Address);
                    std::lock_guard<std::mutex> lock(mutex);
                    if (status != 0 || from != target)
                        wrong << QStringLiteral("%1: status %2 from %3")
                                     .arg(target)
                                     .arg(status)
                                     .arg(from);
                });
            for (auto& t : threads)
                t.join();
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1String("; "))));
    }

    // Scenarios inside a private network namespace of the helper child.
    void privateNetwork_data() {
        QTest::addColumn<QStringList>("scenario");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("sent");
        QTest::addColumn<bool>("refused");
        const auto row = [](const char* name, const char* setup, const char* action, int status,
                            const char* kind, int sent, bool refused) {
            QTest::newRow(name) << (QString::fromLatin1(setup).split(' ') +
                                    QString::fromLatin1(action).split(' '))
                                << status << QString::fromLatin1(kind) << sent << refused;
        };
        row("time-out, raw", "raw open ignore keep", "ping 127.0.0.1", 11010, "raw", 1, false);
        row("time-out, datagram", "datagram open ignore keep", "ping 127.0.0.1", 11010, "datagram",
            1, false);
        row("ping socket preferred", "any open answer keep", "ping 127.0.0.1", 0, "datagram", 1,
            false);
        row("raw when ping sockets are closed", "any closed answer keep", "ping 127.0.0.1", 0,
            "raw", 1, false);
        row("ping socket without raw right", "any open answer drop", "ping 127.0.0.1", 0,
            "datagram", 1, false);
        row("no right at all", "any closed answer drop", "ping 127.0.0.1", -1, "none", 0, true);
        // A far end that stays silent itself and answers through the test's responder.
        const std::tuple<const char*, const char*, int> answers[] = {
            {"forged reply", "0 0 0 0", 0},
            {"reply to another sequence", "0 0 0 1", 11010},
            {"reply to another identifier", "0 0 1 0", 11010},
            {"net unreachable", "3 0 0 0", 11002},
            {"host unreachable", "3 1 0 0", 11003},
            {"protocol unreachable", "3 2 0 0", 11004},
            {"port unreachable", "3 3 0 0", 11005},
            {"ttl in transit", "11 0 0 0", 11013},
            {"parameter problem", "12 0 0 0", 11015},
            {"source quench", "4 0 0 0", 11016},
            {"a redirect is no answer", "5 1 0 0", 11010},
            {"error about another sequence", "3 1 0 1", 11010},
            {"error about another identifier", "3 1 1 0", 11010}};
        for (const char* kind : {"raw", "datagram"})
            for (const auto& [name, answer, status] : answers) {
                const QByteArray rowName = QByteArray(name) + ", " + kind;
                const QByteArray setup = QByteArray(kind) + " open ignore keep";
                const QByteArray action = QByteArray("respond ") + answer;
                row(rowName.constData(), setup.constData(), action.constData(), status, kind, 1,
                    false);
            }
    }
    void privateNetwork() {
        QFETCH(QStringList, scenario);
        QFETCH(int, status);
        QFETCH(QString, kind);
        QFETCH(int, sent);
        QFETCH(bool, refused);
        const netns::Outcome outcome = netns::run(scenario);
        if (outcome.skipped)
            QSKIP(qPrintable(outcome.reason));
        QVERIFY2(outcome.reason.isEmpty(), qPrintable(outcome.reason));
        QCOMPARE(outcome.results.size(), 1);
        const auto& result = outcome.results.first();
        QCOMPARE(result.value("status").toInt(), status);
        QCOMPARE(result.value("kind"), kind);
        QCOMPARE(result.value("sent").toInt(), sent);
        QCOMPARE(result.value("refused") == QLatin1String("1"), refused);
        if (status == 11010)
            QCOMPARE(result.value("rtt").toInt(), 0);
    }

    // Ping sockets in turn see only their own replies, but matching must hold there too.
    void privateNetworkConcurrent_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("datagram") << "datagram";
        QTest::newRow("raw") << "raw";
    }
    void privateNetworkConcurrent() {
        QFETCH(QString, kind);
        const netns::Outcome outcome =
            netns::run({kind, "open", "answer", "keep", "concurrent", "9", "10"});
        if (outcome.skipped)
            QSKIP(qPrintable(outcome.reason));
        QVERIFY2(outcome.reason.isEmpty(), qPrintable(outcome.reason));
        QCOMPARE(outcome.results.size(), 90);
        for (const auto& result : outcome.results) {
            QCOMPARE(result.value("status"), QStringLiteral("0"));
            QCOMPARE(result.value("kind"), kind);
            QCOMPARE(result.value("from"), result.value("target"));
            QCOMPARE(result.value("data"), QStringLiteral("hello"));
        }
    }
};

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], netns::kFlag) == 0)
        return netns::runChild(argc, argv);
    QCoreApplication app(argc, argv);
    TestMdlPing test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mdlping.moc"
