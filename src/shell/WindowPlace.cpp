#include "shell/WindowPlace.h"

#include "platform/Settings.h"

#include <QEvent>
#include <QWidget>

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

} // namespace

void KeepWindowPlace(QWidget* window) {
    const QString kept = Settings::read(kApp, kSection, kKey);
    // Qt's own record checks the place against today's screens and keeps the window on one.
    if (!kept.isEmpty())
        window->restoreGeometry(QByteArray::fromBase64(kept.toLatin1()));
    new PlaceKeeper(window);
}

} // namespace orvane
