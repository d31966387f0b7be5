#include "import/frmImportWorkstations.h"

#include "app/KeyMap.h"
#include "app/ScreenGrowth.h"
#include "app/Screens.h"
#include "app/mdlTarovel.h"
#include "import/SpreadsheetFile.h"
#include "import/WorkstationImport.h"
#include "lists/ExportSheet.h"
#include "platform/Geometry.h"
#include "platform/Messages.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QProgressDialog>
#include <QSaveFile>
#include <QVBoxLayout>
#include <QtConcurrent>

namespace orvane {

using namespace importer;

namespace {

QLabel* label(const QString& text, const char* name, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

} // namespace

frmImportWorkstations::frmImportWorkstations(QWidget* parent) : QWidget(parent) {
    setObjectName("frmImportWorkstations");
    setWindowTitle(Caption);
    sizeTwips(this, 11535, 7245);

    Label3 = label(Caption, "Label3", this);
    QFont title("Times New Roman");
    title.setPointSizeF(14.25);
    title.setBold(true);
    Label3->setFont(title);
    Label3->setAlignment(Qt::AlignCenter);
    Label3->setStyleSheet("color: rgb(0,0,128);");
    placeTwips(Label3, 0, 0, 11535, 345);

    placeTwips(label("File", "Label1", this), 120, 450, 700, 315);
    TxFile = new QLineEdit(this);
    TxFile->setObjectName("TxFile");
    TxFile->setReadOnly(true);
    placeTwips(TxFile, 900, 420, 8400, 315);
    CmBrowse = CommandButton("Choose File...", "CmBrowse", this);
    placeTwips(CmBrowse, 9420, 390, 1995, 375);
    LbUnit = label(QString(), "LbUnit", this);
    placeTwips(LbUnit, 120, 840, 11295, 315);

    FrMapping = new QScrollArea(this);
    FrMapping->setObjectName("FrMapping");
    FrMapping->setWidgetResizable(true);
    placeTwips(FrMapping, 120, 1170, 11295, 975);

    placeTwips(label("Dates with slashes", "Label2", this), 120, 2220, 1700, 315);
    CbDates = new QComboBox(this);
    CbDates->setObjectName("CbDates");
    CbDates->addItem("(choose)", int(DateOrder::Unset));
    CbDates->addItem("dd/mm/yyyy", int(DateOrder::DayFirst));
    CbDates->addItem("mm/dd/yyyy", int(DateOrder::MonthFirst));
    placeTwips(CbDates, 1800, 2190, 1900, 315);
    placeTwips(label("IP of another record", "Label4", this), 4000, 2220, 1900, 315);
    CbIpConflict = new QComboBox(this);
    CbIpConflict->setObjectName("CbIpConflict");
    CbIpConflict->addItem("skip the row", int(IpConflict::Skip));
    CbIpConflict->addItem("update that record", int(IpConflict::UpdateThatRecord));
    placeTwips(CbIpConflict, 5900, 2190, 2400, 315);

    GrPreview = new QTableView(this);
    GrPreview->setObjectName("GrPreview");
    model_ = new PreviewModel(GrPreview);
    GrPreview->setModel(model_);
    GrPreview->verticalHeader()->hide();
    GrPreview->setSelectionBehavior(QAbstractItemView::SelectRows);
    GrPreview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    placeTwips(GrPreview, 120, 2640, 11295, 3600);

    LbCounts = label(QString(), "LbCounts", this);
    LbCounts->setWordWrap(true);
    placeTwips(LbCounts, 120, 6330, 11295, 315);
    CmImport = CommandButton("Import", "CmImport", this);
    placeTwips(CmImport, 5100, 6690, 1800, 435);
    CmSaveErrors = CommandButton("Save error rows...", "CmSaveErrors", this);
    placeTwips(CmSaveErrors, 7020, 6690, 2400, 435);
    CmClose = CommandButton("Close - F9", "CmClose", this);
    placeTwips(CmClose, 9540, 6690, 1875, 435);

    connect(CmBrowse, &QPushButton::clicked, this, &frmImportWorkstations::CmBrowse_Click);
    connect(CmImport, &QPushButton::clicked, this, &frmImportWorkstations::CmImport_Click);
    connect(CmSaveErrors, &QPushButton::clicked, this, &frmImportWorkstations::CmSaveErrors_Click);
    connect(CmClose, &QPushButton::clicked, this, &frmImportWorkstations::CmClose_Click);
    connect(CbDates, QOverload<int>::of(&QComboBox::activated), this, [this] {
        if (preview_)
            preview_->setup.dates = DateOrder(CbDates->currentData().toInt());
        recheck();
    });
    connect(CbIpConflict, QOverload<int>::of(&QComboBox::activated), this, [this] {
        if (preview_)
            preview_->setup.ipConflict = IpConflict(CbIpConflict->currentData().toInt());
        recheck();
    });
    connect(&watcher_, &QFutureWatcher<Outcome>::finished, this, &frmImportWorkstations::finished);
    (new KeyMap(this))->screenKey(Qt::Key_F9, [this] { CmClose_Click(); });
    updateButtons();
    GrowWithWindow(this, GrPreview, {LbCounts, CmImport, CmSaveErrors, CmClose},
                   {Label3, FrMapping, LbUnit});
}

frmImportWorkstations::~frmImportWorkstations() {
    if (cancel_)
        cancel_->store(true);
    watcher_.waitForFinished();
}

bool frmImportWorkstations::busy() const {
    return running_;
}

void frmImportWorkstations::Form_Load() {
    CenterForm(this);
    LbUnit->setText(QStringLiteral("Into unit: %1 (%2)")
                        .arg(Session().CurrentUnitName, Session().CurrentUnitCode));
}

void frmImportWorkstations::CmBrowse_Click() {
    if (busy())
        return;
    const QString folder =
        TxFile->text().isEmpty() ? QString() : QFileInfo(TxFile->text()).absolutePath();
    const std::optional<QString> name = Desktop::current().openFileName(folder, kSpreadsheetFilter);
    if (name && !name->isEmpty())
        OpenFile(*name);
}

void frmImportWorkstations::OpenFile(const QString& path) {
    if (busy())
        return;
    const QString unitCode = Session().CurrentUnitCode;
    auto unit = std::make_shared<UnitSnapshot>();
    if (!ShowingDbError(
            [&] { *unit = WorkstationImport(Session().SharedConnection()).Snapshot(unitCode); }))
        return;
    unit_ = unit;
    TxFile->setText(path);
    preview_.reset();
    model_->setRows(nullptr, nullptr);
    imported_ = false;
    const IpConflict conflict = IpConflict(CbIpConflict->currentData().toInt());
    run(QStringLiteral("Reading %1...").arg(QFileInfo(path).fileName()),
        [path, unit, conflict](const ReadControl& control) {
            return PreviewFile(path, *unit, conflict, DateOrder::Unset, control);
        });
}

void frmImportWorkstations::recheck() {
    if (!preview_ || busy())
        return;
    imported_ = false;
    ImportPreview base = *preview_;
    base.result = {};
    model_->setRows(nullptr, nullptr);
    auto unit = unit_;
    run(QStringLiteral("Checking the rows..."), [base, unit](const ReadControl& control) {
        ImportPreview next = base;
        next.result = CheckRows(*next.sheet, next.setup, *unit, control.progress, control.cancel);
        return next;
    });
}

void frmImportWorkstations::run(const QString& text, Job job) {
    cancel_ = std::make_shared<std::atomic_bool>(false);
    progress_ = new QProgressDialog(text, "Cancel", 0, 0, this);
    progress_->setObjectName("ImportProgress");
    progress_->setWindowModality(Qt::WindowModal);
    progress_->setMinimumDuration(300);
    auto cancel = cancel_;
    connect(progress_, &QProgressDialog::canceled, this, [cancel] { cancel->store(true); });
    QPointer<QProgressDialog> dialog = progress_;
    ReadControl control;
    control.cancel = cancel.get();
    control.progress = [this, dialog](qint64 done, qint64 total) {
        QMetaObject::invokeMethod(this, [dialog, done, total] {
            if (!dialog)
                return;
            dialog->setMaximum(int(std::min<qint64>(total, INT_MAX)));
            if (total > 0)
                dialog->setValue(int(std::min<qint64>(done, total)));
            else
                dialog->setLabelText(QStringLiteral("Reading row %1...").arg(done));
        });
    };
    running_ = true;
    updateButtons();
    watcher_.setFuture(QtConcurrent::run([job, control, cancel]() -> Outcome {
        Outcome outcome;
        try {
            outcome.preview = job(control);
        } catch (const ImportCancelled&) {
            outcome.cancelled = true;
        } catch (const ImportFileError& error) {
            outcome.error = error.message();
        } catch (const std::exception& error) {
            outcome.error = QString::fromUtf8(error.what());
        }
        return outcome;
    }));
}

void frmImportWorkstations::finished() {
    running_ = false;
    if (progress_) {
        progress_->reset();
        progress_->deleteLater();
        progress_ = nullptr;
    }
    Outcome outcome = watcher_.result();
    if (outcome.preview)
        preview_ = std::move(outcome.preview);
    else
        preview_.reset();
    showMapping();
    showPreview();
    if (!outcome.error.isEmpty())
        MsgBox(outcome.error, MsgIcon::Exclamation);
}

void frmImportWorkstations::showMapping() {
    auto* strip = new QWidget;
    auto* row = new QHBoxLayout(strip);
    row->setContentsMargins(4, 2, 4, 2);
    CbColumns.clear();
    if (preview_) {
        const Headings& headings = preview_->headings;
        for (int c = 0; c < preview_->setup.columns.size(); ++c) {
            auto* cell = new QVBoxLayout;
            const QString title = headings.titles.value(c).trimmed();
            cell->addWidget(
                new QLabel(title.isEmpty() ? QStringLiteral("(column %1)").arg(c + 1) : title));
            auto* combo = new QComboBox;
            combo->setObjectName(QStringLiteral("CbColumn%1").arg(c + 1));
            combo->addItem("(ignore)", -1);
            for (int f = 0; f < kFieldCount; ++f)
                combo->addItem(FieldName(Field(f)), f);
            const std::optional<Field> field = preview_->setup.columns[c];
            combo->setCurrentIndex(field ? int(*field) + 1 : 0);
            connect(combo, QOverload<int>::of(&QComboBox::activated), this, [this, c, combo] {
                if (!preview_)
                    return;
                const int f = combo->currentData().toInt();
                AssignField(preview_->setup.columns, c,
                            f < 0 ? std::nullopt : std::optional<Field>(Field(f)));
                recheck();
            });
            cell->addWidget(combo);
            row->addLayout(cell);
            CbColumns.append(combo);
        }
    }
    row->addStretch();
    FrMapping->setWidget(strip);
}

void frmImportWorkstations::showPreview() {
    model_->setRows(preview_ ? &preview_->result : nullptr, unit_.get());
    if (preview_) {
        CbDates->setCurrentIndex(CbDates->findData(int(preview_->setup.dates)));
        CbDates->setEnabled(preview_->dates.mustChoose ||
                            preview_->dates.suggested != DateOrder::Unset);
        CbIpConflict->setCurrentIndex(CbIpConflict->findData(int(preview_->setup.ipConflict)));
        GrPreview->resizeColumnsToContents();
        for (int c = 0; c < model_->columnCount(); ++c)
            GrPreview->setColumnWidth(c, std::min(GrPreview->columnWidth(c), 260));
        QString line = CountLine(preview_->result.counts);
        const QString problem = SetupProblem(*preview_);
        if (!problem.isEmpty())
            line += QStringLiteral(". ") + problem;
        LbCounts->setText(line);
    } else {
        LbCounts->clear();
    }
    updateButtons();
}

void frmImportWorkstations::updateButtons() {
    const bool idle = !busy();
    const bool ready = idle && preview_ && !imported_ && SetupProblem(*preview_).isEmpty() &&
                       preview_->result.counts.created + preview_->result.counts.updates > 0;
    CmImport->setEnabled(ready);
    CmSaveErrors->setEnabled(
        idle && preview_ && preview_->result.counts.errors + preview_->result.counts.otherUnit > 0);
    CmBrowse->setEnabled(idle);
    CmClose->setEnabled(idle);
}

void frmImportWorkstations::CmImport_Click() {
    if (busy() || !preview_ || imported_ || !unit_)
        return;
    const QString problem = SetupProblem(*preview_);
    if (!problem.isEmpty()) {
        MsgBox(problem, MsgIcon::Exclamation);
        return;
    }
    const ImportCounts& counts = preview_->result.counts;
    if (counts.created + counts.updates == 0) {
        MsgBox(QStringLiteral("Nothing to import: %1.").arg(CountLine(counts)));
        return;
    }
    std::optional<StoreResult> stored;
    {
        BusyPointer pointer;
        try {
            stored = WorkstationImport(Session().SharedConnection())
                         .Store(unit_->unitCode, preview_->result, Session().CurrentUserId);
        } catch (const DbError& error) {
            stored.reset();
            MsgBox(error.description() + QStringLiteral("\nNothing was imported."));
            return;
        }
    }
    imported_ = true;
    updateButtons();
    QString text = QStringLiteral("Import finished: %1 new, %2 updated, %3 unchanged, %4 errors.")
                       .arg(stored->inserted)
                       .arg(stored->updated)
                       .arg(counts.unchanged)
                       .arg(counts.errors + counts.otherUnit);
    if (stored->inserted)
        text +=
            QStringLiteral("\nNew serials %1 to %2.").arg(stored->firstSerial, stored->lastSerial);
    MsgBox(text);
}

void frmImportWorkstations::CmSaveErrors_Click() {
    if (busy() || !preview_)
        return;
    const QFileInfo source(TxFile->text());
    const std::optional<QString> name = Desktop::current().saveFileName(
        source.absolutePath(), "CSV Files (*.csv) | *.csv",
        source.completeBaseName() + QStringLiteral(" - errors.csv"));
    if (!name || name->isEmpty())
        return;
    QSaveFile file(*name);
    const QByteArray csv = ErrorRowsCsv(preview_->result);
    if (!file.open(QIODevice::WriteOnly) || file.write(csv) != csv.size() || !file.commit())
        MsgBox(QStringLiteral("The error rows cannot be written: %1").arg(file.errorString()));
}

void frmImportWorkstations::CmClose_Click() {
    if (busy())
        return;
    UnloadScreen(this);
}

} // namespace orvane
