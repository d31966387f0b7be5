#include "shell/WindowPlace.h"

#include "platform/Settings.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <algorithm>

namespace orvane {

namespace {

const QString kApp = QStringLiteral("SYS");
const QString kSection = QStringLiteral("MainWindow");
const QString kKey = QStringLiteral("Geometry");

class PlaceKeeper : public QObject {
  public:
    explicit PlaceKeeper(QWidget* window) : QObject(window), window_(window) {
        window->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_ && event->type() == QEvent::Close)
            Settings::write(kApp, kSection, kKey,
                            QString::fromLatin1(window_->saveGeometry().toBase64()));
        return false;
    }

  private:
    QWidget* window_;
};

// The client area `place` moved and shrunk onto a screen that exists now, with room for the
// title bar above it: the stored place may come from a larger screen or one no longer there.
QRect onScreen(const QRect& place) {
    QScreen* screen = QGuiApplication::screenAt(place.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return place;
    // The frame is not known before the window is shown; the style's title bar stands for it.
    const int titleBar = QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight);
    const QRect room = screen->availableGeometry().adjusted(0, titleBar, 0, 0);
    const QSize size = place.size().boundedTo(room.size());
    const int x = std::clamp(place.x(), room.left(), room.right() + 1 - size.width());
    const int y = std::clamp(place.y(), room.top(), room.bottom() + 1 - size.height());
    return QRect(QPoint(x, y), size);
}

// Qt's own check of a restored place only rescues a window that misses every screen; a huge
// size, or a window hanging off an edge, stays out of reach.
void keepOnScreen(QWidget* window) {
    const QRect normal = window->normalGeometry();
    const QRect place = onScreen(normal);
    if (place == normal)
        return;
    // A maximised window stays maximised; the place it is restored to moves.
    const Qt::WindowStates state = window->windowState();
    window->setWindowState(state & ~(Qt::WindowMaximized | Qt::WindowFullScreen));
    window->setGeometry(place);
    window->setWindowState(state);
}

} // namespace

void KeepWindowPlace(QWidget* window) {
    const QString kept = Settings::read(kApp, kSection, kKey);
    if (!kept.isEmpty() && window->restoreGeometry(QByteArray::fromBase64(kept.toLatin1())))
        keepOnScreen(window);
    new PlaceKeeper(window);
}

} // namespace orvane
