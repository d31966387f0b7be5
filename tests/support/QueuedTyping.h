#pragma once
// Typing that waits in the window-system queue, as real keyboard input does, instead of
// reaching the widget at once as QTest's key clicks do.
#include <QString>

class QWidget;

namespace orvane::test {

// Queues a press and a release for each character of `text`, addressed to the window of
// `widget` (its focus widget receives them once the event loop runs). Letters, digits and
// ASCII punctuation only.
void QueueTyping(QWidget* widget, const QString& text);
// Delivers what waits in the window-system queue, and nothing else: no timer fires.
void DeliverQueuedInput();

} // namespace orvane::test
