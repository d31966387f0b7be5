#pragma once
// The import screen: a spreadsheet of workstations chosen in a file dialog, its columns
// mapped to the register's fields, every row previewed with its status, then stored in one
// transaction into the current unit. Reading and checking run off the window's thread.
#include "import/ImportJob.h"
#include "import/PreviewModel.h"

#include <QComboBox>
#include <QFutureWatcher>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTableView>
#include <QWidget>
#include <functional>
#include <memory>

class QProgressDialog;

namespace orvane {

class frmImportWorkstations : public QWidget {
    Q_OBJECT
  public:
    static inline const QString Caption = QStringLiteral("Import Workstations");

    explicit frmImportWorkstations(QWidget* parent = nullptr);
    ~frmImportWorkstations() override;

    QLabel* Label3;
    QLabel* LbUnit;
    QLineEdit* TxFile;
    QPushButton* CmBrowse;
    QScrollArea* FrMapping;
    QList<QComboBox*> CbColumns; // one per file column
    QComboBox* CbDates;
    QComboBox* CbIpConflict;
    QTableView* GrPreview;
    QLabel* LbCounts;
    QPushButton* CmImport;
    QPushButton* CmSaveErrors;
    QPushButton* CmClose;

    // While a file is read or checked.
    bool busy() const;
    const importer::ImportPreview* preview() const { return preview_ ? &*preview_ : nullptr; }

  public slots:
    void Form_Load();
    void CmBrowse_Click();
    // Reads and checks the file for the current unit; the preview follows when done.
    void OpenFile(const QString& path);
    void CmImport_Click();
    void CmSaveErrors_Click();
    void CmClose_Click();

  private:
    struct Outcome {
        std::optional<importer::ImportPreview> preview;
        QString error;
        bool cancelled = false;
    };
    using Job = std::function<importer::ImportPreview(const importer::ReadControl&)>;
    void run(const QString& label, Job job);
    void finished();
    void recheck();
    void showMapping();
    void showPreview();
    void updateButtons();

    std::shared_ptr<const importer::UnitSnapshot> unit_;
    std::optional<importer::ImportPreview> preview_;
    importer::PreviewModel* model_;
    QFutureWatcher<Outcome> watcher_;
    std::shared_ptr<std::atomic_bool> cancel_;
    QProgressDialog* progress_ = nullptr;
    bool imported_ = false;
    // From the start of a read or check until its result is laid out.
    bool running_ = false;
};

} // namespace orvane
