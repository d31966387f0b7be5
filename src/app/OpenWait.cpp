#include "app/OpenWait.h"

#include "app/DataWorker.h"
#include "app/ScreenBusy.h"

#include <QApplication>
#include <QThread>
#include <exception>
#include <memory>

namespace orvane {

void OpenWhileAnswering(const std::function<void()>& open) {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app || QThread::currentThread() != app->thread()) {
        open();
        return;
    }
    bool ended = false;
    std::exception_ptr failure;
    QObject here; // the opener's word that it ended comes through the UI thread's queue
    std::unique_ptr<QThread> opener(QThread::create([&] {
        try {
            open();
        } catch (...) {
            failure = std::current_exception();
        }
        QMetaObject::invokeMethod(
            &here, [&ended] { ended = true; }, Qt::QueuedConnection);
    }));
    opener->setObjectName("ConnectionOpen");
    ScreenBusy held(nullptr);
    opener->start();
    DataWorker::waitUntil([&ended] { return ended; });
    opener->wait();
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace orvane
