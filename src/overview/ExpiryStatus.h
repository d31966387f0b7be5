#pragma once
// The main window's expiry count for the current unit ("HR: 3 expired, 12 within 30 days").
// It counts when made (at sign-in), after a unit switch, after every activation save and
// every five minutes. A database failure blanks it without a message; the next refresh tries
// again. A click opens the expiry overview. The count is read on the data worker; a refresh
// overtaken by a newer one is dropped.
#include "app/DataWorker.h"

#include <QLabel>

class QTimer;

namespace orvane {

class ExpiryStatus : public QLabel {
    Q_OBJECT
  public:
    static constexpr int RefreshMinutes = 5;

    explicit ExpiryStatus(QWidget* parent = nullptr);
    QTimer* RefreshTimer() const { return timer_; }

  public slots:
    void Refresh();

  protected:
    void mousePressEvent(QMouseEvent* event) override;

  private:
    QTimer* timer_;
    RequestLine line_;
};

} // namespace orvane
