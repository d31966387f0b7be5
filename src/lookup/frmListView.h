#pragma once
// The modal pick-list that entry screens open with F1: runs the caller's query, narrows the
// rows by the beginning of their name and hands the chosen row back through HelpResult1..7.
#include "lookup/FlexGrid.h"
#include "lookup/PickListRows.h"

#include <QDialog>
#include <QLineEdit>
#include <array>

namespace orvane {

// How a pick-list shows its rows. Widths are twips; width 0 hides a column; column 2 is shown
// 450 twips narrower.
struct PickListLayout {
    qint16 displayFields = 2;
    QString caption;
    qint32 formWidth = 0;
    std::array<qint32, 10> widths{};
    std::array<QString, 10> headings;
};

class frmListView : public QDialog {
    Q_OBJECT
  public:
    explicit frmListView(QWidget* parent = nullptr);
    ~frmListView() override;

    // Runs HelpQry and, when it yields rows, shows them modally; returns once the list has
    // closed. No rows: returns at once without showing anything. A database error while
    // running the query reaches the caller as orvane::DbError.
    // Widths are twips; width 0 hides a column; column 2 is shown 450 twips narrower.
    static void ShowForm(QString& HelpQry, qint16& DisplayFields, QString& HelpText,
                         qint32& FormWidth, qint32& Icol, QString& IcolText, qint32& IICol,
                         QString& IIColText, qint32& IIICol, QString& IIIColText, qint32& IVCol,
                         QString& IVColText, qint32& VCol, QString& VColText, qint32& VICol,
                         QString& VIColText, qint32& VIICol, QString& VIIColText, qint32& VIIICol,
                         QString& VIIIColText, qint32& IXCol, QString& IXColText, qint32& XCol,
                         QString& XColText);
    // The same for a look-up with bound values.
    static void Show(const Statement& lookup, const PickListLayout& layout);

    // The list while ShowForm has it open (tests drive it from a timer).
    static frmListView* current();

    FlexGrid* GrHelp;
    QLineEdit* TxtSearch;
    // Running row of the incremental search; kept when the search box is emptied.
    int SearchRow = 1;

  public slots:
    void Form_Load();
    void TxtSearch_Change();
    void GrHelp_RowColChange();
    void GrHelp_DblClick();

  private:
    void fill(const PickListRows& rows, int displayFields);
    void pickBySearchRow();
    void pickByCurrentRow();
    void pickAndClose(bool bySearchRow);
    bool filling_ = false;
};

} // namespace orvane
