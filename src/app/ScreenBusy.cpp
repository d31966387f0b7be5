#include "app/ScreenBusy.h"

#include <QApplication>
#include <QEvent>

namespace orvane {

namespace {
const char* const BusyProperty = "orvaneBusy";

bool within(const QObject* object, const QWidget* screen) {
    for (const QObject* o = object; o; o = o->parent())
        if (o == screen)
            return true;
    return false;
}
} // namespace

ScreenBusy::ScreenBusy(QWidget* screen) : screen_(screen), everyWindow_(!screen) {
    if (screen)
        screen->setProperty(BusyProperty, true);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    qApp->installEventFilter(this);
}

ScreenBusy::~ScreenBusy() {
    qApp->removeEventFilter(this);
    QApplication::restoreOverrideCursor();
    if (screen_)
        screen_->setProperty(BusyProperty, false);
}

bool ScreenBusy::IsBusy(const QWidget* screen) {
    return screen && screen->property(BusyProperty).toBool();
}

bool ScreenBusy::eventFilter(QObject* watched, QEvent* event) {
    if (!screen_ && !everyWindow_)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
        return everyWindow_ || within(watched, screen_);
    case QEvent::Close:
        if (everyWindow_) { // the user's close box; the program's own closes go through
            if (!event->spontaneous())
                return false;
            event->ignore();
            return true;
        }
        // The frame's close box, or the screen itself: refused until the answer.
        if (watched == screen_ || watched == screen_->parentWidget()) {
            event->ignore();
            return true;
        }
        return false;
    default:
        return false;
    }
}

} // namespace orvane
