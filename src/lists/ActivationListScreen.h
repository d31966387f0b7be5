#pragma once
// What the workstation list and the cross-unit report share: the sheet, the search box and
// its button, the five command buttons with their keys, opening a listed record or a new one
// in the activation screen, and the export. Each screen supplies its own query and layout.
//
// A refill's query runs on the data worker: typing never waits for it, every character shows
// at once, and a result overtaken by a newer request is dropped unseen. The sheet is laid out
// on the UI thread when the latest request's rows arrive, a part per pass of the event loop.
#include "app/DataWorker.h"
#include "lists/ActivationSheet.h"
#include "sheet/SheetComponent.h"

#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

namespace orvane {

class KeyMap;

class ActivationListScreen : public QWidget {
    Q_OBJECT
  public:
    static inline const QString Caption = QStringLiteral("Antivirus Updation List");

    SheetComponent* Fbook;
    QLineEdit* TxSearch;
    QPushButton* CmSearch;
    QFrame* Frame1;
    QPushButton* CmNew;
    QPushButton* Command2;
    QPushButton* CmExport;
    QPushButton* CmView;
    QPushButton* CmClose;

    // Refills laid out on the sheet since the screen was made, whatever started them.
    int RefillsShown() const { return shownCount_; }
    // A refill was asked for and its rows are not all laid out yet.
    bool RefillRunning() const { return shown_ < requested_ || laying_; }
    // Waits, with the window answering, until the sheet shows the latest refill asked for.
    // False when the screen was unloaded meanwhile: the caller must not touch it then.
    bool WaitForRefill();

  public slots:
    void CmNew_Click();
    void CmView_Click();
    void Command2_Click();
    void CmClose_Click();
    void CmExport_Click();
    void CmSearch_Click();
    void Fbook_DblClick(int row, int col);
    void TxSearch_Change();
    void TxSearch_KeyPress(int keyAscii);

  protected:
    explicit ActivationListScreen(QWidget* parent = nullptr);
    using RowsJob = DbJob<std::vector<ActivationGroup>>;
    // The query of the filters as they stand now, to run on the worker.
    virtual RowsJob RowsQuery() = 0;
    // Lays out at most `limit` records of the rows from `at` on; a fresh cursor clears the data
    // area first. True once every row is on the sheet.
    virtual bool ShowRows(const std::vector<ActivationGroup>& groups,
                          ActivationSheet::RowCursor& at, int limit) = 0;
    // A refill's query failed: show it and leave the header rows only (ReportRefillError).
    virtual void RefillFailed(const QString& description) = 0;

    // Asks for a refill and returns at once; typing does this.
    void RequestRefill();
    // Asks for a refill and waits for it with the window answering (F5, Search, Enter and the
    // other actions that refill at once). False when the screen was unloaded meanwhile.
    bool Refill();
    // A row whose column 2 is empty is ignored; any other opens the serial in column 7.
    void OpenRecordOfRow(int row);
    // Shows a database failure of a refill and leaves the sheet with its header rows only.
    void ReportRefillError(const QString& description, int firstDataRow);
    // The unit of each record row, kept beside the sheet (the workbook carries no unit
    // column) so a record opens in its own unit.
    void RememberRowUnit(int row, const QString& unitCode) {
        if (row >= int(rowUnits_.size()))
            rowUnits_.resize(size_t(row) + 1);
        rowUnits_[size_t(row)] = unitCode;
    }
    void ForgetRowUnits() { rowUnits_.clear(); }
    // The screen's declared keys; a screen adds its own to them.
    KeyMap* Keys;

  private:
    void answered(quint64 request, JobResult<std::vector<ActivationGroup>> result);
    void layOut(quint64 layout, ActivationSheet::RowCursor at);

    std::vector<QString> rowUnits_; // by sheet row
    // The rows on the sheet: kept so their texts are freed on the worker once replaced.
    std::shared_ptr<std::vector<ActivationGroup>> shownRows_;
    RequestLine line_;
    quint64 requested_ = 0;
    quint64 shown_ = 0;
    int shownCount_ = 0;
    // Each answer starts a layout of its own; a newer answer or request ends the one before.
    quint64 layout_ = 0;
    bool laying_ = false;
};

} // namespace orvane
