#pragma once
// Whether a key press is already waiting to be delivered.

namespace orvane {

// True while a key press that the window system has handed to Qt is still queued behind the
// event being handled. Real typing arrives this way: the platform queues its input events
// and the event loop delivers them one at a time, so keys typed during a long handler wait
// here until it returns. Only the first queued key event can be seen: a release counts when
// more events wait behind it, which may hide the next press. Events sent directly to a widget
// (QTest's key clicks) never queue, so they never count.
bool KeyPressWaiting();

} // namespace orvane
