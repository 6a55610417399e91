#pragma once
// Closes the next modal window once it is up, after letting the test look
// at it; polls, since a window may run events before it becomes modal.
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace tvntest {

inline void WhenModal(std::function<void(QWidget*)> look, QWidget* beneath = nullptr) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QWidget* under = beneath ? beneath : QApplication::activeModalWidget();
  QObject::connect(timer, &QTimer::timeout, [timer, look, under] {
    QWidget* top = QApplication::activeModalWidget();
    if (!top || top == under || !top->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    look(top);
    top->close();
  });
  timer->start();
}

}  // namespace tvntest
