#pragma once
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include "shell/PasswordStore.h"

class QKeyEvent;

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
    void TxCurPwd_KeyPress(int keyAscii);
    void TxNewPwd_KeyPress(int keyAscii);
    void TxConfirmPwd_KeyPress(int keyAscii);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    PasswordOwner owner() const;
    bool functionKey(QKeyEvent* event);
};

} // namespace orvane
