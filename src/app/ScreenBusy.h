#pragma once
// A screen waiting for its own answer from the data worker: a busy pointer, its keys, clicks
// and close box held until the answer; the window keeps painting and every other screen stays
// usable.
#include "app/DataWorker.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace orvane {

class ScreenBusy : public QObject {
  public:
    // With no screen, every window is held: its keys and clicks, and the user's closes.
    explicit ScreenBusy(QWidget* screen);
    ~ScreenBusy() override;
    static bool IsBusy(const QWidget* screen);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QPointer<QWidget> screen_;
    bool everyWindow_;
};

// Runs the job on the data worker's save lane with the screen busy and waits for it with the window
// answering. Throws the job's DbError on the UI thread, as a direct call would; so does a failure
// to open the lane's connection before the job could run.
template <class R> R AwaitBusy(QWidget* screen, std::function<R(Connection&)> job) {
    ScreenBusy busy(screen);
    return DataWorker::await<R>(std::move(job), DataWorker::Lane::Saves);
}

} // namespace orvane
