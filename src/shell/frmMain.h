#pragma once
// The frame window after sign-in: an MDI area holding the work screens.
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>

class QAction;
class QMenu;

namespace orvane {

class frmMain : public QMainWindow {
    Q_OBJECT
  public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // The one main window; nullptr before sign-in.
    static frmMain* instance();

    QMdiArea* area() const { return area_; }
    // Every screen exists at most once: an open one is brought forward unchanged,
    // a new one is created, loaded (its Form_Load runs) and shown.
    template <class T> T* Show();
    template <class T> T* find() const;
    // Loaded windows, the main window included.
    int loadedWindowCount() const;

    static QString CaptionFor(const QString& unitName, const QString& userName);
    void RefreshCaption();

    QAction* mnuAntivirusActivation;
    QAction* mnuAVMaster;
    QAction* mnuReports;
    QAction* mnuVPNCHK;
    QAction* mnuUpdateSoftware;
    QAction* mnuChangePwd;
    QAction* mnuChangeUnit;
    QAction* mnuUserGroups;
    QAction* mnuCreateUser;

  public slots:
    void MDIForm_Load();
    void mnuAntivirusActivation_Click();
    void mnuAVMaster_Click();
    void mnuReports_Click();
    void mnuVPNCHK_Click();
    void mnuUpdateSoftware_Click();
    void mnuChangePwd_Click();
    void mnuChangeUnit_Click();
    void mnuCreateUser_Click();

  private:
    QMdiSubWindow* host(QWidget* screen);
    void bringForward(QMdiSubWindow* frame);
    void buildMenus();

    QMdiArea* area_;
    QMenu* mnuMasters_;
    QMenu* mnuTools_;
};

template <class T> T* frmMain::find() const {
    for (QMdiSubWindow* frame : area_->subWindowList())
        if (auto* screen = qobject_cast<T*>(frame->widget()))
            return screen;
    return nullptr;
}

template <class T> T* frmMain::Show() {
    if (T* open = find<T>()) {
        bringForward(qobject_cast<QMdiSubWindow*>(open->parentWidget()));
        open->setFocus();
        return open;
    }
    auto* screen = new T();
    QMdiSubWindow* frame = host(screen);
    screen->Form_Load();
    frame->show();
    bringForward(frame);
    screen->setFocus();
    return screen;
}

} // namespace orvane
