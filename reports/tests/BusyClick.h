#pragma once
// A person's click made while busy work runs: the first time the work lets
// the event loop turn, a press and a release go to the target through the
// application, as a real click does. Whether that moment came is kept, so
// a test can tell a dropped click from one never made.
#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include "platform/runtime/Busy.h"

namespace tvntest {

class ClickWhileBusy {
 public:
  explicit ClickWhileBusy(QWidget* target) {
    { vb::BusyScope start; }  // the busy clock runs from here
    QTest::qSleep(120);       // so that the work's first tick turns the loop
    timer_.setInterval(0);
    QObject::connect(&timer_, &QTimer::timeout, [this, target] {
      if (made_ || !vb::BusyScope::Active()) return;
      made_ = true;
      timer_.stop();
      const QPointF centre = QRectF(target->rect()).center();
      for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent click(type, centre, target->mapToGlobal(centre), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(target, &click);
      }
    });
    timer_.start();
  }
  // True once the click was made during the work.
  bool Made() const { return made_; }

 private:
  QTimer timer_;
  bool made_ = false;
};

}  // namespace tvntest
