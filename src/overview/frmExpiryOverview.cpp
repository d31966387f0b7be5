#include "overview/frmExpiryOverview.h"

#include "app/KeyMap.h"
#include "app/ScreenGrowth.h"
#include "app/ScreenHost.h"
#include "app/Screens.h"
#include "app/mdlTarovel.h"
#include "lists/frmrptAVUpdationList.h"
#include "platform/Geometry.h"
#include "platform/Messages.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChartView>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QHorizontalStackedBarSeries>
#include <QLabel>
#include <QLegend>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStandardPaths>
#include <QToolTip>
#include <QValueAxis>

namespace orvane {

namespace {

struct BandLook {
    QColor fill;
    QColor label; // the count drawn on the segment, readable on its fill
};
BandLook lookOf(ExpiryBand band) {
    switch (band) {
    case ExpiryBand::Expired:
        return {QColor(192, 0, 0), Qt::white};
    case ExpiryBand::Within30:
        return {QColor(240, 140, 0), Qt::black};
    case ExpiryBand::Within90:
        return {QColor(250, 210, 60), Qt::black};
    case ExpiryBand::Later:
        return {QColor(60, 140, 60), Qt::white};
    case ExpiryBand::NoDate:
        break;
    }
    return {QColor(170, 170, 170), Qt::black};
}

// A bar's caption: the unit's name, made unique by its code where two names are alike (the
// category axis holds each caption once).
// Bars are given bottom to top; a reversed category axis does not turn a horizontal series
// round, so the units go in last first.
QStringList barCaptions(const std::vector<UnitExpiry>& units) {
    QStringList captions;
    for (auto unit = units.rbegin(); unit != units.rend(); ++unit) {
        QString caption = unit->unitName.isEmpty() ? unit->unitCode : unit->unitName;
        if (captions.contains(caption))
            caption += QStringLiteral(" (%1)").arg(unit->unitCode);
        captions << caption;
    }
    return captions;
}

// The report's own filters, set as a user would set them: the unit in its box as the look-up
// fills it, no search text, and the expiry option of the band. Those options reach back to
// the first record ("on or before"), so a band's rows are the last ones the report lists for
// the unit; the bands without an end day list the whole unit.
void showBandInReport(frmrptAVUpdationList& report, const UnitExpiry& unit, ExpiryBand band,
                      const QDate& today) {
    if (!report.TxSearch->text().isEmpty()) {
        const QSignalBlocker quiet(report.TxSearch); // one refill below, not one per change
        report.TxSearch->clear();
    }
    report.TxUnitCode->setText(unit.unitCode);
    report.TxUnitName->setText(unit.unitName);
    const QDate lastDay = ExpiryCounts::LastDayOf(band, today);
    if (band == ExpiryBand::Expired) {
        report.ChExpired->setChecked(true);
        report.ChExpired_Click();
    } else if (lastDay.isValid()) {
        report.DtFrom->setDate(lastDay);
        report.ChkDate->setChecked(true);
        report.ChkDate_Click();
    } else {
        // Back to neither option, as the report opens; a click cannot unchoose one.
        for (QRadioButton* option : {report.ChExpired, report.ChkDate}) {
            option->setAutoExclusive(false);
            option->setChecked(false);
            option->setAutoExclusive(true);
        }
        report.DtFrom->setEnabled(false);
        report.FillReport();
    }
}

} // namespace

frmExpiryOverview::frmExpiryOverview(QWidget* parent) : QWidget(parent), chart_(new QChart) {
    setObjectName("frmExpiryOverview");
    setWindowTitle("Expiry Overview");
    QFont body("Arial");
    body.setPointSizeF(8.25);
    setFont(body);
    sizeTwips(this, 11535, 6315);

    chart_->setTitle("Workstations by expiry of their antivirus protection");
    chart_->legend()->setAlignment(Qt::AlignBottom);
    ChOverview = new QChartView(chart_, this);
    ChOverview->setObjectName("ChOverview");
    placeTwips(ChOverview, 30, 60, 11475, 5040);
    LbTotal = new QLabel(this);
    LbTotal->setObjectName("LbTotal");
    placeTwips(LbTotal, 90, 5160, 11355, 300);

    Frame1 = new QFrame(this);
    Frame1->setObjectName("Frame1");
    Frame1->setFrameShape(QFrame::Box);
    placeTwips(Frame1, 0, 5520, 11535, 795);
    CmRefresh = CommandButton("Refresh - F5", "CmRefresh", Frame1);
    placeTwips(CmRefresh, 3712, 270, 1185, 375);
    CmSavePicture = CommandButton("Save Picture...", "CmSavePicture", Frame1);
    placeTwips(CmSavePicture, 5017, 270, 1500, 375);
    CmClose = CommandButton("Close - F9", "CmClose", Frame1);
    placeTwips(CmClose, 6637, 270, 1185, 375);
    setTabOrder(CmRefresh, CmSavePicture);
    setTabOrder(CmSavePicture, CmClose);

    connect(CmRefresh, &QPushButton::clicked, this, &frmExpiryOverview::Refresh);
    connect(CmSavePicture, &QPushButton::clicked, this, &frmExpiryOverview::CmSavePicture_Click);
    connect(CmClose, &QPushButton::clicked, this, &frmExpiryOverview::CmClose_Click);
    (new KeyMap(this))
        ->screenKey(Qt::Key_F5, [this] { Refresh(); })
        .screenKey(Qt::Key_F9, [this] { CmClose_Click(); })
        .screenKey(Qt::Key_Escape, [this] { CmClose_Click(); });
    GrowWithWindow(this, ChOverview, {LbTotal, Frame1}, {LbTotal});
}

void frmExpiryOverview::Form_Load() {
    CenterForm(this);
    Refresh();
}

void frmExpiryOverview::Refresh() {
    countedOn_ = QDate::currentDate();
    units_.clear();
    try {
        units_ = ExpiryCounts(Session().SharedConnection())
                     .Overview(Session().CurrentUserId, countedOn_);
    } catch (const DbError& error) {
        MsgBox(error.description());
    }
    showUnits();
}

void frmExpiryOverview::showUnits() {
    chart_->removeAllSeries();
    for (QAbstractAxis* axis : chart_->axes()) {
        chart_->removeAxis(axis);
        delete axis;
    }
    auto* series = new QHorizontalStackedBarSeries;
    int longest = 0;
    for (const UnitExpiry& unit : units_)
        longest = std::max(longest, unit.tally.total());
    for (ExpiryBand band : kExpiryBands) {
        auto* set = new QBarSet(ExpiryCounts::BandName(band));
        const BandLook look = lookOf(band);
        set->setColor(look.fill);
        set->setBorderColor(look.fill.darker(130));
        set->setLabelColor(look.label);
        for (auto unit = units_.rbegin(); unit != units_.rend(); ++unit)
            *set << unit->tally[band];
        const int last = int(units_.size()) - 1;
        connect(set, &QBarSet::clicked, this,
                [this, band, last](int bar) { Segment_Click(last - bar, band); });
        connect(set, &QBarSet::hovered, this,
                [this, band, last](bool entered, int bar) { hover(entered, last - bar, band); });
        series->append(set);
    }
    series->setLabelsVisible(true);
    series->setLabelsPosition(QAbstractBarSeries::LabelsCenter);
    series->setBarWidth(0.6);
    chart_->addSeries(series);

    auto* unitsAxis = new QBarCategoryAxis;
    unitsAxis->append(barCaptions(units_));
    chart_->addAxis(unitsAxis, Qt::AlignLeft);
    series->attachAxis(unitsAxis);
    auto* countAxis = new QValueAxis;
    countAxis->setRange(0, std::max(longest, 1));
    countAxis->applyNiceNumbers();
    countAxis->setLabelFormat("%d");
    countAxis->setTitleText("Workstations");
    chart_->addAxis(countAxis, Qt::AlignBottom);
    series->attachAxis(countAxis);
    LbTotal->setText(ExpiryTotalText(units_));
}

QBarSet* frmExpiryOverview::BandSet(ExpiryBand band) const {
    const QList<QAbstractSeries*> all = chart_->series();
    auto* series = all.isEmpty() ? nullptr : qobject_cast<QAbstractBarSeries*>(all.first());
    return series ? series->barSets().value(static_cast<int>(band)) : nullptr;
}

void frmExpiryOverview::hover(bool entered, int unitIndex, ExpiryBand band) {
    if (!entered || unitIndex < 0 || unitIndex >= int(units_.size())) {
        QToolTip::hideText();
        return;
    }
    const UnitExpiry& unit = units_[unitIndex];
    QToolTip::showText(QCursor::pos(),
                       QStringLiteral("%1 - %2: %3")
                           .arg(unit.unitName, ExpiryCounts::BandName(band))
                           .arg(unit.tally[band]),
                       ChOverview);
}

void frmExpiryOverview::Segment_Click(int unitIndex, ExpiryBand band) {
    if (unitIndex < 0 || unitIndex >= int(units_.size()))
        return;
    const UnitExpiry unit = units_[unitIndex];
    const QDate countedOn = countedOn_;
    if (auto* report = OpenScreen<frmrptAVUpdationList>())
        showBandInReport(*report, unit, band, countedOn);
}

void frmExpiryOverview::CmSavePicture_Click() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (folder.isEmpty() || !QDir().mkpath(folder))
        folder = QDir::homePath();
    const std::optional<QString> chosen = Desktop::current().saveFileName(
        folder, QStringLiteral("PNG Picture (*.png) | *.png"), windowTitle() + ".png");
    if (!chosen || chosen->isEmpty())
        return; // cancelled: nothing written
    QString path = *chosen;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".png");
    if (QFileInfo::exists(path) &&
        MsgBox(QStringLiteral("Are you sure you want to overwrite"), MsgIcon::Information,
               MsgButtons::YesNo) != MsgAnswer::Yes)
        return;
    if (!ChOverview->grab().save(path, "PNG"))
        MsgBox(QStringLiteral("The picture could not be written to \"%1\".")
                   .arg(QDir::toNativeSeparators(path)));
}

void frmExpiryOverview::CmClose_Click() {
    UnloadScreen(this);
}

} // namespace orvane
