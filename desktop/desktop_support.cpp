#include "desktop/DesktopSupport.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTest>
#include <cstdlib>

namespace tvndesk {

void PlatformForDisplay() {
  const char* d = std::getenv("DISPLAY");
  if (!d || !*d) setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

bool HaveDisplay() {
  const char* d = std::getenv("DISPLAY");
  return d && *d && QGuiApplication::platformName() == "xcb";
}

bool Settled(QWidget& w, int timeoutMs) {
  // The frame comes from the window manager some time after the window is
  // mapped: wait until the frame is known, then until frame and client
  // place hold still over several event rounds.
  QElapsedTimer clock;
  clock.start();
  QRect frame = w.frameGeometry(), client = w.geometry();
  int still = 0;
  while (clock.elapsed() < timeoutMs) {
    QTest::qWait(20);
    const QRect f = w.frameGeometry(), c = w.geometry();
    const bool framed = f != c;
    if (f == frame && c == client && framed) {
      if (++still >= 10) return true;  // a loaded machine answers late
    } else {
      still = 0;
      frame = f;
      client = c;
    }
  }
  return false;
}

bool ShowSettled(QWidget& w, int timeoutMs) {
  w.show();
  if (!QTest::qWaitForWindowExposed(&w, timeoutMs)) return false;
  return Settled(w, timeoutMs);
}

}  // namespace tvndesk
