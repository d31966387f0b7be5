#pragma once
// The local three-node test cluster of scripts/cluster (node N on 127.0.0.N:3306), and a
// message seam that several threads may show messages through at once.
#include "platform/Database.h"
#include "platform/Messages.h"

#include <QMutex>
#include <QString>
#include <QStringList>
#include <memory>

namespace orvane::test {

class TestCluster {
  public:
    static constexpr int Nodes = 3;
    // The connection text the program would use with ServerIP set to node's address.
    static QString connectionText(int node);
    // A program connection to the node.
    static std::unique_ptr<Connection> open(int node);
    // A checking connection: its reads wait until the node has applied everything the
    // cluster committed before them.
    static std::unique_ptr<Connection> openCausal(int node);
    // Empty when every node is up and synced; otherwise why not.
    static QString unavailable();
    // The suite must run (CI): a missing cluster fails instead of skipping.
    static bool required();
    // For a suite's initTestCase: skips it, with the reason, when there is no cluster, or
    // fails it where the cluster must run.
    static void skipOrFailWithoutCluster();
    // Runs scripts/cluster with the arguments; its output goes to the test log.
    static int control(const QStringList& arguments);
    // Reloads db/fixture.sql through node 1.
    static void loadFixture();
    static QString scalar(int node, const QString& sql, const Params& params = {});
    // What a node holds of the saves: per table the rows, the codes in order and a checksum
    // of every record's columns, and both counters. Equal on all nodes when nothing was
    // half-written.
    static QStringList savedState(int node);
};

// Records every message with the name of the thread that showed it; answers OK / Yes.
class RecordingDesktop : public Desktop {
  public:
    RecordingDesktop();
    ~RecordingDesktop() override;
    MsgAnswer message(const QString& text, MsgIcon icon, MsgButtons buttons) override;
    std::optional<QString> saveFileName(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    void openUrl(const QString&) override {}
    void endProgram() override {}

    // The texts shown by the thread of this name.
    QStringList shownBy(const QString& thread) const;
    int count() const;
    void clear();

  private:
    mutable QMutex mutex_;
    QList<QPair<QString, QString>> shown_;
};

} // namespace orvane::test
