#pragma once
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include "shell/LoginData.h"

namespace orvane {

// Signs a user in against the company's user table.
class frmLogin : public QWidget {
    Q_OBJECT
  public:
    explicit frmLogin(QWidget* parent = nullptr);

    QLabel* Label1;
    QLineEdit* TxtUserName;
    QLabel* Label2;
    QLineEdit* TxtPassword;
    QPushButton* CmOk;
    QPushButton* CmExit;
    QLabel* Image1;

  public slots:
    void Form_Load();
    void CmOk_Click();
    void CmExit_Click();

  private:
    void signedIn(const QString& typedName, const UserRow& user);
};

} // namespace orvane
