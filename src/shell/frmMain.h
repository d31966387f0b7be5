#pragma once
// The frame window after sign-in: an MDI area holding the work screens. It is the screen
// host that feature screens open each other through.
#include "app/ScreenHost.h"

#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>

class QAction;
class QMenu;

namespace orvane {

class ExpiryStatus;

class frmMain : public QMainWindow, public ScreenHost {
    Q_OBJECT
  public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // The one main window; nullptr before sign-in.
    static frmMain* instance();

    QMdiArea* area() const { return area_; }
    // Every screen exists at most once: an open one is brought forward unchanged,
    // a new one is created, loaded (its Form_Load runs) and shown.
    template <class T> T* Show() { return OpenScreenIn<T>(*this); }
    template <class T> T* find() const { return FindScreenIn<T>(*this); }
    // Loaded windows, the main window included.
    int loadedWindowCount() const;

    static QString CaptionFor(const QString& unitName, const QString& userName);
    void RefreshCaption();

    QAction* mnuAntivirusActivation;
    QAction* mnuAVMaster;
    QAction* mnuImportWorkstations;
    QAction* mnuReports;
    QAction* mnuExpiryOverview;
    QAction* mnuVPNCHK;
    QAction* mnuUpdateSoftware;
    QAction* mnuChangePwd;
    QAction* mnuChangeUnit;
    QAction* mnuUserGroups;
    QAction* mnuCreateUser;
    // The current unit's expiry count in the status bar.
    ExpiryStatus* ExpiryCount;

  public slots:
    void MDIForm_Load();
    void mnuAntivirusActivation_Click();
    void mnuAVMaster_Click();
    void mnuImportWorkstations_Click();
    void mnuReports_Click();
    void mnuExpiryOverview_Click();
    void mnuVPNCHK_Click();
    void mnuUpdateSoftware_Click();
    void mnuChangePwd_Click();
    void mnuChangeUnit_Click();
    void mnuCreateUser_Click();

    QList<QWidget*> screens() const override;
    void adopt(QWidget* screen) override;
    void present(QWidget* screen) override;
    QWidget* ownerWindow() override { return this; }

  private:
    void bringForward(QMdiSubWindow* frame);
    void buildMenus();

    QMdiArea* area_;
    QMenu* mnuMasters_;
    QMenu* mnuReportsMenu_;
    QMenu* mnuTools_;
};

} // namespace orvane
