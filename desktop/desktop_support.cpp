#include "desktop/DesktopSupport.h"

#include <xcb/xcb.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace tvndesk {
namespace {

// The window manager's part of a window as the X server reports it.
struct Place {
  bool viewable = false;
  bool framed = false;  // the window manager has set _NET_FRAME_EXTENTS
  QRect client;         // on the screen
  QMargins extents;     // left, top, right, bottom
  bool operator==(const Place&) const = default;
};

template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

xcb_connection_t* Connection() {
  auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
  return x11 ? x11->connection() : nullptr;
}

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
  Reply<xcb_intern_atom_reply_t> r(
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr), &std::free);
  return r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// One 32-bit property of a window; empty when it is not set.
std::vector<uint32_t> Cardinals(xcb_connection_t* c, xcb_window_t win, xcb_atom_t prop, xcb_atom_t type,
                                uint32_t count) {
  Reply<xcb_get_property_reply_t> r(
      xcb_get_property_reply(c, xcb_get_property(c, 0, win, prop, type, 0, count), nullptr), &std::free);
  std::vector<uint32_t> v;
  if (!r || r->format != 32 || r->type != type) return v;
  const auto* data = static_cast<const uint32_t*>(xcb_get_property_value(r.get()));
  v.assign(data, data + xcb_get_property_value_length(r.get()) / 4);
  return v;
}

xcb_window_t WindowOf(const QWidget& w) {
  const QWindow* handle = w.windowHandle();
  return handle && handle->handle() ? xcb_window_t(handle->winId()) : xcb_window_t(XCB_WINDOW_NONE);
}

Place ReadPlace(const QWidget& w) {
  Place p;
  xcb_connection_t* c = Connection();
  const xcb_window_t win = WindowOf(w);
  if (!c || win == XCB_WINDOW_NONE) return p;
  Reply<xcb_get_window_attributes_reply_t> attrs(
      xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, win), nullptr), &std::free);
  Reply<xcb_get_geometry_reply_t> geo(xcb_get_geometry_reply(c, xcb_get_geometry(c, win), nullptr), &std::free);
  if (!attrs || !geo) return p;
  p.viewable = attrs->map_state == XCB_MAP_STATE_VIEWABLE;
  Reply<xcb_translate_coordinates_reply_t> at(
      xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, win, geo->root, 0, 0), nullptr), &std::free);
  if (!at) return p;
  p.client = QRect(at->dst_x, at->dst_y, geo->width, geo->height);
  static const xcb_atom_t extents = Atom(c, "_NET_FRAME_EXTENTS");
  const std::vector<uint32_t> e = Cardinals(c, win, extents, XCB_ATOM_CARDINAL, 4);
  if (e.size() == 4) {
    p.framed = true;
    p.extents = QMargins(int(e[0]), int(e[2]), int(e[1]), int(e[3]));  // stored left, right, top, bottom
  }
  return p;
}

xcb_window_t ActiveOnScreen() {
  xcb_connection_t* c = Connection();
  if (!c) return XCB_WINDOW_NONE;
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
  static const xcb_atom_t active = Atom(c, "_NET_ACTIVE_WINDOW");
  const std::vector<uint32_t> v = Cardinals(c, root, active, XCB_ATOM_WINDOW, 1);
  return v.empty() ? xcb_window_t(XCB_WINDOW_NONE) : xcb_window_t(v[0]);
}

QString Describe(const QRect& r) {
  return QString("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// Waits, running events, until ready() has held for settleMs of wall time
// (at least three looks) or the timeout has passed. The time counts, not the
// looks: on a loaded machine the looks come far apart.
template <typename Ready>
bool HoldsFor(Ready ready, int settleMs, int timeoutMs) {
  QElapsedTimer clock, held;
  clock.start();
  int looks = 0;
  while (clock.elapsed() < timeoutMs) {
    if (ready()) {
      if (!held.isValid()) {
        held.start();
        looks = 0;
      }
      if (++looks >= 3 && held.elapsed() >= settleMs) return true;
    } else {
      held.invalidate();
    }
    QTest::qWait(20);
  }
  return false;
}

}  // namespace

void PlatformForDisplay() {
  const char* d = std::getenv("DISPLAY");
  if (!d || !*d) setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

bool HaveDisplay() {
  const char* d = std::getenv("DISPLAY");
  return d && *d && QGuiApplication::platformName() == "xcb";
}

bool Settled(QWidget& w, int timeoutMs) {
  // The window manager maps the window inside its frame, sets the frame
  // extents and may move it more than once; Qt learns each step from the
  // events it reads some time later. Settled means: mapped and framed on
  // the server, unchanged there for a while, and Qt showing the same place.
  Place last = ReadPlace(w);
  QRect qtClient;
  const bool ok = HoldsFor(
      [&] {
        const Place now = ReadPlace(w);
        const bool same = now == last;
        last = now;
        qtClient = w.geometry();
        return same && now.viewable && now.framed && qtClient == now.client;
      },
      300, timeoutMs);
  if (!ok)
    std::fprintf(stderr,
                 "window \"%s\" did not settle in %d ms: on the server %s, %s, client %s, frame extents %d %d %d %d;"
                 " Qt geometry %s\n",
                 qPrintable(w.windowTitle()), timeoutMs, last.viewable ? "mapped" : "not mapped",
                 last.framed ? "framed" : "no frame extents", qPrintable(Describe(last.client)), last.extents.left(),
                 last.extents.top(), last.extents.right(), last.extents.bottom(), qPrintable(Describe(qtClient)));
  return ok;
}

QRect Frame(const QWidget& w) {
  const Place p = ReadPlace(w);
  return p.framed ? p.client.marginsAdded(p.extents) : p.client;
}

void MoveTowardMiddle(QWidget& w, QPoint step) {
  const QRect frame = Frame(w);
  const QRect screen = w.screen()->availableGeometry();
  const QPoint middle = screen.center();
  QRect to = frame.translated(frame.center().x() < middle.x() ? step.x() : -step.x(),
                              frame.center().y() < middle.y() ? step.y() : -step.y());
  // The user leaves it wholly on the screen where it fits: a window almost
  // as tall as the screen, first put partly below it, is drawn inside.
  if (to.height() <= screen.height()) {
    if (to.bottom() > screen.bottom()) to.moveBottom(screen.bottom());
    if (to.top() < screen.top()) to.moveTop(screen.top());
  }
  if (to.width() <= screen.width()) {
    if (to.right() > screen.right()) to.moveRight(screen.right());
    if (to.left() < screen.left()) to.moveLeft(screen.left());
  }
  w.move(to.topLeft());
}

bool ShowSettled(QWidget& w, int timeoutMs) {
  w.show();
  if (!QTest::qWaitForWindowExposed(&w, timeoutMs)) {
    std::fprintf(stderr, "window \"%s\" was not exposed in %d ms\n", qPrintable(w.windowTitle()), timeoutMs);
    return false;
  }
  return Settled(w, timeoutMs);
}

bool IsActive(const QWidget& w) {
  const QWidget* window = w.window();
  const xcb_window_t mine = WindowOf(*window);
  return mine != XCB_WINDOW_NONE && ActiveOnScreen() == mine && QApplication::activeWindow() == window;
}

void WhenModalActive(std::function<bool(QWidget*)> isIt, std::function<void(QWidget*)> look, int timeoutMs) {
  auto* timer = new QTimer;
  QElapsedTimer clock;
  clock.start();
  timer->setInterval(20);
  QObject::connect(timer, &QTimer::timeout, [timer, clock, isIt = std::move(isIt), look = std::move(look), timeoutMs] {
    QWidget* top = QApplication::activeModalWidget();
    const bool found = top && isIt(top) && top->isVisible();
    if (found && IsActive(*top)) {
      // Stopped, not deleted, while look runs: look waits and runs events.
      timer->stop();
      look(top);
      timer->deleteLater();
      return;
    }
    if (clock.elapsed() < timeoutMs) return;
    std::fprintf(stderr, "no modal window of the kind awaited became active in %d ms%s\n", timeoutMs,
                 found ? " (one is open: it is closed)" : "");
    timer->stop();
    timer->deleteLater();
    if (found) top->close();
  });
  timer->start();
}

bool Active(QWidget& w, int timeoutMs) {
  QWidget* window = w.window();
  const bool ok = HoldsFor([&] { return IsActive(*window); }, 0, timeoutMs);
  if (!ok)
    std::fprintf(stderr, "window \"%s\" did not become active in %d ms (active on the server: 0x%x, in Qt: \"%s\")\n",
                 qPrintable(window->windowTitle()), timeoutMs, unsigned(ActiveOnScreen()),
                 QApplication::activeWindow() ? qPrintable(QApplication::activeWindow()->windowTitle()) : "none");
  return ok;
}

void Drain() {
  // A queued call posted now runs after everything posted before it; a few
  // rounds take in what those post in turn.
  for (int round = 0; round < 3; ++round) {
    auto reached = std::make_shared<bool>(false);
    QMetaObject::invokeMethod(qApp, [reached] { *reached = true; }, Qt::QueuedConnection);
    if (!QTest::qWaitFor([&] { return *reached; }, kPatience)) return;
  }
}

}  // namespace tvndesk
