#pragma once
// One QApplication for a test process, made on first use.
#include <QApplication>

inline QApplication& TestApp() {
  static int argc = 1;
  static char name[] = "forms_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}
