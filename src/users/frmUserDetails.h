#pragma once
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVector>
#include <QWidget>

namespace orvane {

// The layout for maintaining users and their units. It carries no behaviour: nothing is
// read or written and its buttons and function keys do nothing.
class frmUserDetails : public QWidget {
    Q_OBJECT
  public:
    explicit frmUserDetails(QWidget* parent = nullptr);

    QTabWidget* SSTab;
    QLabel* Label3;
    QLineEdit* TxUserGroup;
    QLabel* Label1;
    QLineEdit* TxUserName;
    QLabel* Label2;
    QLineEdit* TxPwd;
    QTableWidget* GrUserDetails;
    QTreeWidget* LvAvailable;
    QPushButton* CmAllow;
    QPushButton* CmDisallow;
    QTreeWidget* LvAssigned;
    QVector<QIcon> ImageList1;
    QFrame* Panel;
    QPushButton* CmNew;
    QPushButton* CmEdit;
    QPushButton* CmDisable;
    QPushButton* CmCancel;
    QPushButton* CmClose;

  public slots:
    void Form_Load() {}
};

} // namespace orvane
