#pragma once
// Acts on a pick-list once it is on screen. Its rows are read on the data worker before it
// opens, so it shows a moment after the call that asks for it; the action runs once, from the
// list's own event loop. Stops looking when destroyed (no list showed).
#include "lookup/frmListView.h"

#include <QTimer>
#include <functional>

namespace orvane::test {

class WhenPickListShows {
  public:
    explicit WhenPickListShows(std::function<void(frmListView*)> act) : act_(std::move(act)) {
        QObject::connect(&poll_, &QTimer::timeout, [this] {
            frmListView* list = frmListView::current();
            if (!list || !list->isVisible())
                return;
            poll_.stop();
            ran_ = true;
            act_(list);
        });
        poll_.start(5);
    }
    bool ran() const { return ran_; }

  private:
    std::function<void(frmListView*)> act_;
    QTimer poll_;
    bool ran_ = false;
};

} // namespace orvane::test
