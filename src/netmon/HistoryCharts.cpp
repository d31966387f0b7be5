#include "netmon/HistoryCharts.h"

#include <QAreaSeries>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>

namespace orvane {
namespace historychart {

namespace {

void clear(QChart* chart) {
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
}

template <class T> T* seriesNamed(const QChart* chart, const QString& name) {
    for (QAbstractSeries* series : chart->series())
        if (series->name() == name)
            return qobject_cast<T*>(series);
    return nullptr;
}

// An axis's top: a round number a little above the highest value, so its five steps read
// well.
double niceTop(double highest, double least) {
    const double wanted = std::max(least, highest * 1.1);
    double scale = 1;
    while (scale * 10 < wanted)
        scale *= 10;
    while (scale > wanted)
        scale /= 10;
    for (double m : {1.0, 1.5, 2.0, 2.5, 3.0, 4.0, 5.0, 6.0, 8.0, 10.0})
        if (m * scale >= wanted)
            return m * scale;
    return 10 * scale;
}

} // namespace

QString roundTripName() {
    return QStringLiteral("Round trip (ms)");
}
QString lossName() {
    return QStringLiteral("Losses");
}
QString downName() {
    return QStringLiteral("Down");
}

void showRoundTrip(QChart* chart, const HistoryView& view, HistoryRange range) {
    clear(chart);
    const double top = niceTop(view.maxRoundTrip, 10);

    // Shading first, so that the line and the marks are drawn over it.
    auto* edge = new QLineSeries;
    QList<QPointF> steps;
    for (const auto& [from, to] : view.down)
        steps << QPointF(from, 0) << QPointF(from, top) << QPointF(to, top) << QPointF(to, 0);
    edge->replace(steps);
    auto* shade = new QAreaSeries(edge);
    shade->setName(downName());
    shade->setColor(QColor(220, 40, 40, 70));
    shade->setBorderColor(QColor(220, 40, 40, 110));
    edge->setParent(shade);

    auto* line = new QLineSeries;
    line->setName(roundTripName());
    line->setColor(QColor(30, 100, 200));
    line->replace(QList<QPointF>(view.roundTrip.begin(), view.roundTrip.end()));

    auto* marks = new QScatterSeries;
    marks->setName(lossName());
    marks->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
    marks->setMarkerSize(7);
    marks->setColor(QColor(200, 0, 0));
    marks->setBorderColor(QColor(120, 0, 0));
    QList<QPointF> at;
    for (qint64 time : view.losses)
        at << QPointF(double(time), top); // along the top, clear of the line
    marks->replace(at);

    auto* time = new QDateTimeAxis; // local time
    time->setFormat(range == HistoryRange::Hour || range == HistoryRange::Day
                        ? QStringLiteral("HH:mm")
                        : QStringLiteral("dd MMM HH:mm"));
    time->setTickCount(7);
    time->setRange(QDateTime::fromMSecsSinceEpoch(view.from),
                   QDateTime::fromMSecsSinceEpoch(view.to));
    auto* ms = new QValueAxis;
    ms->setRange(0, top);
    ms->setTickType(QValueAxis::TicksDynamic);
    ms->setTickAnchor(0);
    ms->setTickInterval(top / 5);
    ms->setLabelFormat(QStringLiteral("%d"));
    ms->setTitleText(QStringLiteral("ms"));
    chart->addAxis(time, Qt::AlignBottom);
    chart->addAxis(ms, Qt::AlignLeft);
    for (QAbstractSeries* series : std::initializer_list<QAbstractSeries*>{shade, line, marks}) {
        chart->addSeries(series);
        series->attachAxis(time);
        series->attachAxis(ms);
    }
}

void showBranchLoss(QChart* chart, const HistoryView& view, const QStringList& captions) {
    clear(chart);
    auto* set = new QBarSet(QStringLiteral("Loss %"));
    set->setColor(QColor(200, 60, 40));
    double highest = 0;
    for (const BranchLoss& branch : view.branches) {
        *set << branch.percent();
        highest = std::max(highest, branch.percent());
    }
    auto* bars = new QBarSeries;
    bars->append(set);
    bars->setLabelsVisible(true);
    bars->setLabelsFormat(QStringLiteral("@value %"));
    bars->setLabelsPrecision(3);
    chart->addSeries(bars);
    auto* names = new QBarCategoryAxis;
    names->append(captions);
    auto* percent = new QValueAxis;
    const double top = niceTop(highest, 1);
    percent->setRange(0, top);
    percent->setTickType(QValueAxis::TicksDynamic);
    percent->setTickAnchor(0);
    percent->setTickInterval(top / 5);
    percent->setLabelFormat(QStringLiteral("%.1f"));
    percent->setTitleText(QStringLiteral("Loss %"));
    chart->addAxis(names, Qt::AlignBottom);
    chart->addAxis(percent, Qt::AlignLeft);
    bars->attachAxis(names);
    bars->attachAxis(percent);
}

QLineSeries* roundTrip(const QChart* chart) {
    return seriesNamed<QLineSeries>(chart, roundTripName());
}
QScatterSeries* losses(const QChart* chart) {
    return seriesNamed<QScatterSeries>(chart, lossName());
}
QAreaSeries* down(const QChart* chart) {
    return seriesNamed<QAreaSeries>(chart, downName());
}
QBarSet* lossBars(const QChart* chart) {
    for (QAbstractSeries* series : chart->series())
        if (auto* bars = qobject_cast<QBarSeries*>(series))
            return bars->barSets().value(0);
    return nullptr;
}

} // namespace historychart
} // namespace orvane
