#pragma once
// Draws a HistoryView: the charted branch's round trip as a line, its losses as marks and its
// down periods shaded; and every branch's loss over the range as bars.
#include "netmon/HistoryView.h"

class QAreaSeries;
class QBarSet;
class QChart;
class QLineSeries;
class QScatterSeries;

namespace orvane {

namespace historychart {

// Series names, shown in the legend.
QString roundTripName();
QString lossName();
QString downName();

void showRoundTrip(QChart* chart, const HistoryView& view, HistoryRange range);
void showBranchLoss(QChart* chart, const HistoryView& view, const QStringList& captions);

QLineSeries* roundTrip(const QChart* chart);
QScatterSeries* losses(const QChart* chart);
QAreaSeries* down(const QChart* chart);
QBarSet* lossBars(const QChart* chart);

} // namespace historychart
} // namespace orvane
