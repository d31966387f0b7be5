#pragma once
// What a branch's history window draws, as plain values: made off the user-interface thread
// from the log, handed to it whole.
#include <QPair>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <QVector>
#include <cstdint>

namespace orvane {

enum class HistoryRange { Hour, Day, Week, Month };
qint64 RangeMs(HistoryRange range);

struct HistoryRequest {
    QString folder;
    QStringList branches; // as the log names them, in table order
    int branch = 0;       // the one charted
    qint64 from = 0;      // ms since the epoch
    qint64 to = 0;
    int columns = 800; // pixel columns of the plot: at most a low and a high point each
};

struct BranchLoss {
    qint64 answers = 0;
    qint64 losses = 0;
    double percent() const { return answers + losses ? 100.0 * losses / (answers + losses) : 0; }
};

struct HistoryView {
    qint64 from = 0;
    qint64 to = 0;
    // Each column's lowest and highest answer at their times (x: ms since the epoch, y: ms),
    // so a spike stays visible whatever the range.
    QVector<QPointF> roundTrip;
    QVector<qint64> losses;              // the first loss of each column with any
    QVector<QPair<qint64, qint64>> down; // losses in a row, up to the next answer
    uint32_t maxRoundTrip = 0;
    QVector<BranchLoss> branches; // every branch, over the range
    qint64 unreadable = 0;        // lines skipped as corrupt
    bool fromSummaries = false;   // closed days read as per-minute summaries
};

// "2 lines could not be read", "1 line could not be read", empty for none.
QString UnreadableNote(qint64 lines);

} // namespace orvane
