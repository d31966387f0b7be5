#pragma once
// Whether keyboard input is already waiting to be delivered.

namespace orvane {

// True while a key press or release that the window system has handed to Qt is still queued
// behind the event being handled. Real typing arrives this way: the platform queues its input
// events and the event loop delivers them one at a time, so keys typed during a long handler
// wait here until it returns. Events sent directly to a widget (QTest's key clicks) never
// queue, so they never count.
bool KeyInputWaiting();

} // namespace orvane
