#pragma once
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include "shell/PasswordStore.h"

namespace orvane {

// Lets the signed-in user replace the stored password.
class frmChangePassword : public QWidget {
    Q_OBJECT
  public:
    explicit frmChangePassword(QWidget* parent = nullptr);

    QLabel* Label1;
    QLabel* LbUserName;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLineEdit* TxCurPwd;
    QLineEdit* TxNewPwd;
    QLineEdit* TxConfirmPwd;
    QPushButton* CmAccept;
    QPushButton* CmClose;

    // Writes the new password; false when nothing was written (a message has been shown).
    bool SavePassword();

  public slots:
    void Form_Load();
    void CmAccept_Click();
    void CmClose_Click();

  private:
    PasswordOwner owner() const;
};

} // namespace orvane
