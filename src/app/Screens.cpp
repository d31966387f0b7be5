#include "app/Screens.h"

#include "app/mdlTarovel.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QTimer>
#include <QWidget>

#include <limits>

namespace orvane {

namespace {

class KeyPreviewFilter : public QObject {
  public:
    KeyPreviewFilter(QWidget* screen, std::function<bool(QKeyEvent*)> handler)
        : QObject(screen), screen_(screen), handler_(std::move(handler)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || !(widget == screen_ || screen_->isAncestorOf(widget)))
            return false;
        // A key the handler acts on is swallowed at its first receiver; one it ignores
        // may be offered again while it propagates up, which changes nothing.
        return handler_(static_cast<QKeyEvent*>(event));
    }

  private:
    QWidget* screen_;
    std::function<bool(QKeyEvent*)> handler_;
};

class SelectAllFilter : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn) {
            if (auto* box = qobject_cast<QLineEdit*>(watched)) {
                // The click that gave the focus would undo a selection made at once.
                QTimer::singleShot(0, box, [box] {
                    if (box->hasFocus())
                        SelectAllText(box);
                });
                SelectAllText(box);
            }
        }
        return false;
    }
};

} // namespace

void InstallKeyPreview(QWidget* screen, std::function<bool(QKeyEvent*)> handler) {
    // The application sees every event first, so keys reach the screen before its controls.
    qApp->installEventFilter(new KeyPreviewFilter(screen, std::move(handler)));
}

namespace {
constexpr const char* kFrameButtons = "orvaneFrameButtons";
}

void SetFrameButtons(QWidget* screen, FrameButtons buttons) {
    screen->setProperty(kFrameButtons, static_cast<int>(buttons));
}

Qt::WindowFlags FrameFlagsFor(const QWidget* screen) {
    const QVariant declared = screen->property(kFrameButtons);
    const auto buttons = declared.isValid() ? static_cast<FrameButtons>(declared.toInt())
                                            : FrameButtons::CloseAndMinimise;
    Qt::WindowFlags flags = Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    // The MDI frame draws its title-bar buttons only with the system menu hint set.
    if (buttons != FrameButtons::None)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (buttons == FrameButtons::CloseAndMinimise)
        flags |= Qt::WindowMinimizeButtonHint;
    return flags;
}

void UnloadScreen(QWidget* screen) {
    if (auto* frame = qobject_cast<QMdiSubWindow*>(screen->parentWidget())) {
        frame->setAttribute(Qt::WA_DeleteOnClose);
        frame->close();
    } else {
        screen->setAttribute(Qt::WA_DeleteOnClose);
        screen->close();
    }
}

void LiftLengthLimit(QWidget* box) {
    if (auto* edit = qobject_cast<QLineEdit*>(box))
        edit->setMaxLength(std::numeric_limits<int>::max());
}

void SelectAllOnFocus(QWidget* box) {
    box->installEventFilter(new SelectAllFilter(box));
}

} // namespace orvane
