#pragma once
// Waiting on what a window manager does to a window: it maps the window,
// puts a frame around it and may move it, all after show() has returned.
#include <QWidget>

namespace tvndesk {

// Before the application object exists: without a DISPLAY the X platform
// would end the process, so the offscreen one is taken and the cases skip.
void PlatformForDisplay();

// True when a screen is there to test on; the cases skip themselves
// otherwise.
bool HaveDisplay();

// Shows the window and waits until it is exposed and its place on screen
// (frame and client area) has stopped changing. False after the timeout.
bool ShowSettled(QWidget& w, int timeoutMs = 10000);

// Waits until the window's place has stopped changing.
bool Settled(QWidget& w, int timeoutMs = 10000);

}  // namespace tvndesk
