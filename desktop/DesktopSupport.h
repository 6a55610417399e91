#pragma once
// Waiting on what a window manager does to a window: it maps the window,
// puts a frame around it, may move it and gives it the focus, all after
// show() or activateWindow() has returned. The waits below ask the X server
// what the window manager has done (the map state, the frame extents it
// sets, where the window stands, _NET_ACTIVE_WINDOW) and also wait until Qt
// has taken in the same, so that what the test reads next agrees with the
// screen. They wait long: a loaded machine answers late, and a case may take
// longer then but must not fail for it.
#include <QWidget>
#include <functional>

namespace tvndesk {

// The bound of every wait here: far above what an idle machine needs.
constexpr int kPatience = 60000;

// Before the application object exists: without a DISPLAY the X platform
// would end the process, so the offscreen one is taken and the cases skip.
void PlatformForDisplay();

// True when a screen is there to test on; the cases skip themselves
// otherwise.
bool HaveDisplay();

// Shows the window and waits until it is settled (below). False after the
// timeout, with what was last seen written to the test's output.
bool ShowSettled(QWidget& w, int timeoutMs = kPatience);

// Waits until the window manager has mapped the window and framed it, its
// place and the frame have held still for a while, and Qt's geometry()
// agrees with the screen.
bool Settled(QWidget& w, int timeoutMs = kPatience);

// The window with its frame, where the window manager has put it. Qt's own
// frameGeometry() is not used: Qt takes the frame's size in when the window
// moves, and when the window manager sets the frame extents after that move
// Qt keeps a frame of no size until the window moves again.
QRect Frame(const QWidget& w);

// Moves the window by a step as a user drags it, toward the middle of its
// screen, and wholly onto the screen where it fits: a window standing past
// the screen's edge is put back inside it by the window manager when it
// opens again (or not, as it learns the window's size sooner or later),
// which is the manager's choice and not the place the user left it.
void MoveTowardMiddle(QWidget& w, QPoint step = QPoint(37, 23));

// Waits until the window manager reports the window as the active one and
// Qt has made it the active window too.
bool Active(QWidget& w, int timeoutMs = kPatience);

// True while the window manager reports the window as the active one and
// Qt agrees.
bool IsActive(const QWidget& w);

// Runs look on the modal window that the next command opens (the first for
// which isIt is true), once it is shown and active: the command's own event
// loop runs it, as the window only becomes modal inside that command. The
// window stays open for look to work on. When no such window is active
// within the timeout, a modal one still open is closed, so that the command
// returns and the case can fail instead of hanging; look is not run then.
void WhenModalActive(std::function<bool(QWidget*)> isIt, std::function<void(QWidget*)> look,
                     int timeoutMs = kPatience);

// The same for the first modal window of class T.
template <typename T>
void WhenModalActive(std::function<void(T*)> look, int timeoutMs = kPatience) {
  WhenModalActive([](QWidget* w) { return qobject_cast<T*>(w) != nullptr; },
                  [look](QWidget* w) { look(static_cast<T*>(w)); }, timeoutMs);
}

// Runs every event already queued, and what those queue in turn, until the
// queue is empty (work an activation or a load posted for later).
void Drain();

}  // namespace tvndesk
