#include "app/ScreenGrowth.h"

#include <QEvent>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>

#include <functional>

namespace orvane {

namespace {

constexpr const char* kGrows = "orvaneGrowsWithWindow";

// Follows the screen's size and hands the layout the extra size before and after each
// resize. Widgets are moved by the change only, so what a screen sets later (a label sized
// to its text) is kept.
class Growth : public QObject {
  public:
    using Apply = std::function<void(QSize before, QSize after)>;

    Growth(QWidget* screen, Apply apply)
        : QObject(screen), screen_(screen), designed_(screen->size()), apply_(std::move(apply)) {
        screen->setMinimumSize(designed_);
        screen->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        screen->setProperty(kGrows, true);
        screen->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == screen_ && event->type() == QEvent::Resize) {
            const QSize extra = screen_->size() - designed_;
            if (extra != applied_) {
                apply_(applied_, extra);
                applied_ = extra;
            }
        }
        return false;
    }

  private:
    QWidget* screen_;
    QSize designed_;
    QSize applied_{0, 0};
    Apply apply_;
};

// Where part `index` of `parts` starts within `extra` pixels shared out evenly.
int shareStart(int extra, int index, int parts) {
    return extra * index / parts;
}
int shareOf(int extra, int index, int parts) {
    return shareStart(extra, index + 1, parts) - shareStart(extra, index, parts);
}

void shift(QWidget* w, int dx, int dy, int dw, int dh) {
    w->setGeometry(w->x() + dx, w->y() + dy, w->width() + dw, w->height() + dh);
}

// A growing frame is maximised and restored again by a double-click on its title bar; its
// title bar carries no maximise button of its own. While it is maximised its title bar lives
// in the main window's menu bar: the frame menu on the left, Minimise, Restore and Close on
// the right.
class Maximising : public QObject {
  public:
    explicit Maximising(QMdiSubWindow* frame) : QObject(frame), frame_(frame) {
        frame->installEventFilter(this);
        connect(frame, &QMdiSubWindow::windowStateChanged, this, [this] { stateChanged(); });
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == frame_ && event->type() == QEvent::WindowStateChange) {
            // Qt gives the menu bar a Restore button only to a frame that declares a maximise
            // button, so the frame declares one just before it is maximised.
            if (isMaximised())
                frame_->setWindowFlag(Qt::WindowMaximizeButtonHint);
            return false;
        }
        if (event->type() != QEvent::MouseButtonDblClick ||
            static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton)
            return false;
        if (watched == icon_ && frame_->isMaximized()) {
            // Qt's frame icon closes the frame on a double-click; here it restores it. The
            // click before it opened the frame menu.
            frame_->systemMenu()->hide();
            frame_->showNormal();
            return true;
        }
        if (watched == frame_ && !frame_->isMinimized() && onTitleBar(event)) {
            if (frame_->isMaximized())
                frame_->showNormal();
            else
                frame_->showMaximized();
            return true;
        }
        return false;
    }

  private:
    bool isMaximised() const {
        const Qt::WindowStates state = frame_->windowState();
        return state.testFlag(Qt::WindowMaximized) && !state.testFlag(Qt::WindowMinimized);
    }

    // Qt has to have left its maximised mode before the flag goes: while in it, a change of
    // flags maximises the frame again.
    void stateChanged() {
        if (!isMaximised())
            frame_->setWindowFlag(Qt::WindowMaximizeButtonHint, false);
        else
            watchFrameIcon();
    }

    bool onTitleBar(QEvent* event) const {
        const QWidget* screen = frame_->widget();
        return screen && static_cast<QMouseEvent*>(event)->position().y() < screen->y();
    }

    // The frame icon is Qt's own widget, put into the menu bar's corner once maximised.
    void watchFrameIcon() {
        auto* window = qobject_cast<QMainWindow*>(frame_->window());
        auto* bar = window ? qobject_cast<QMenuBar*>(window->menuWidget()) : nullptr;
        QWidget* icon = bar ? bar->cornerWidget(Qt::TopLeftCorner) : nullptr;
        if (icon && icon != icon_) {
            icon_ = icon;
            icon->installEventFilter(this);
        }
    }

    QMdiSubWindow* frame_;
    QPointer<QWidget> icon_;
};

} // namespace

void GrowWithWindow(QWidget* screen, QWidget* data, std::vector<QWidget*> below,
                    std::vector<QWidget*> across) {
    new Growth(screen, [data, below = std::move(below), across = std::move(across)](QSize before,
                                                                                    QSize after) {
        const int dw = after.width() - before.width();
        const int dh = after.height() - before.height();
        shift(data, 0, 0, dw, dh);
        for (QWidget* w : below)
            shift(w, 0, dh, 0, 0);
        for (QWidget* w : across)
            shift(w, 0, 0, dw, 0);
    });
}

void GrowAsGrid(QWidget* screen, std::vector<GridCell> cells, int columns, int rows) {
    new Growth(screen, [cells = std::move(cells), columns, rows](QSize before, QSize after) {
        for (const GridCell& cell : cells) {
            const int dx = shareStart(after.width(), cell.column, columns) -
                           shareStart(before.width(), cell.column, columns);
            const int dy = shareStart(after.height(), cell.row, rows) -
                           shareStart(before.height(), cell.row, rows);
            const int dw = shareOf(after.width(), cell.column, columns) -
                           shareOf(before.width(), cell.column, columns);
            const int dh =
                shareOf(after.height(), cell.row, rows) - shareOf(before.height(), cell.row, rows);
            shift(cell.label, dx, dy, dw, 0);
            shift(cell.data, dx, dy, dw, dh);
        }
    });
}

bool GrowsWithWindow(const QWidget* screen) {
    return screen->property(kGrows).toBool();
}

void FitFrameToScreen(QMdiSubWindow* frame) {
    // A maximised screen must not pass its state on to the next one: an entry screen shown
    // maximised would lose its title bar to the menu bar.
    if (QMdiArea* area = frame->mdiArea())
        area->setOption(QMdiArea::DontMaximizeSubWindowOnActivation);
    frame->adjustSize();
    QWidget* screen = frame->widget();
    if (screen && GrowsWithWindow(screen)) {
        frame->setMinimumSize(frame->size());
        new Maximising(frame);
    } else {
        frame->setFixedSize(frame->size());
    }
}

} // namespace orvane
