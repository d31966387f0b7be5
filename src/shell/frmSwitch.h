#pragma once
#include <QPushButton>
#include <QTableWidget>
#include <QWidget>

namespace orvane {

// Makes another granted business unit the current one.
class frmSwitch : public QWidget {
    Q_OBJECT
  public:
    explicit frmSwitch(QWidget* parent = nullptr);

    QTableWidget* GrUnit;
    QPushButton* CmSwitch;

    // Unit code and name shown in a grid row; empty text for an empty row.
    QString unitCodeAt(int row) const;
    QString unitNameAt(int row) const;

  public slots:
    void Form_Load();
    void CmSwitch_Click();
    void GrUnit_DblClick();
    void GrUnit_KeyPress(int keyAscii);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString cellText(int row, int column) const;
    void setCell(int row, int column, const QString& text);
};

} // namespace orvane
