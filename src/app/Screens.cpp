#include "app/Screens.h"

#include "app/mdlTarovel.h"
#include "platform/Database.h"
#include "platform/Messages.h"

#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <limits>

namespace orvane {

namespace {

class MousePressFilter : public QObject {
  public:
    MousePressFilter(QWidget* control, std::function<void()> action)
        : QObject(control), control_(control), action_(std::move(action)) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (event->type() == QEvent::MouseButtonPress && widget &&
            (widget == control_ || control_->isAncestorOf(widget)))
            action_();
        return false;
    }

  private:
    QWidget* control_;
    std::function<void()> action_;
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

void OnMousePress(QWidget* control, std::function<void()> action) {
    // A compound control (a date picker) gets its presses in its inner widgets.
    auto* filter = new MousePressFilter(control, std::move(action));
    control->installEventFilter(filter);
    for (QWidget* inner : control->findChildren<QWidget*>())
        inner->installEventFilter(filter);
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

namespace {
constexpr const char* kUnloaded = "orvaneUnloaded";
}

void UnloadScreen(QWidget* screen) {
    screen->setProperty(kUnloaded, true);
    if (auto* frame = qobject_cast<QMdiSubWindow*>(screen->parentWidget())) {
        frame->setAttribute(Qt::WA_DeleteOnClose);
        frame->close();
    } else {
        screen->setAttribute(Qt::WA_DeleteOnClose);
        screen->close();
    }
}

bool IsUnloaded(const QWidget* screen) {
    return screen->property(kUnloaded).toBool();
}

bool ShowingDbError(const std::function<void()>& work) {
    try {
        work();
        return true;
    } catch (const DbError& error) {
        MsgBox(error.description());
        return false;
    }
}

QPushButton* CommandButton(const QString& caption, const char* name, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(true);
    b->setDefault(false);
    return b;
}

void LiftLengthLimit(QWidget* box) {
    if (auto* edit = qobject_cast<QLineEdit*>(box))
        edit->setMaxLength(std::numeric_limits<int>::max());
}

void SelectAllOnFocus(QWidget* box) {
    box->installEventFilter(new SelectAllFilter(box));
}

} // namespace orvane
