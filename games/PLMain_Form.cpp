#include "games/PLMain_Form.h"

#include <QCloseEvent>
#include <QEvent>

#include "games/PLModule.h"
#include "platform/runtime/Errors.h"
#include "platform/runtime/Prompter.h"

namespace pl {

PLMain_Form::PLMain_Form() {
  FirstActivate = true;
  setObjectName("PLMain_Form");
  setWindowTitle("The Pellion");
  resize(640, 480);
}

PLMain_Form::~PLMain_Form() = default;

void PLMain_Form::Form_Activate() {
  if (!FirstActivate) return;
  FirstActivate = false;
  try {
    SetLateBound(PL().Launcher, "MousePointer", 0);
  } catch (const vb::RuntimeError& e) {
    vb::ShowError(e.Number(), e.Description());
  }
}

void PLMain_Form::Form_Unload() {
  // Every failure of the unload is ignored: the window closes regardless.
  try {
    SetLateBound(LateBoundChild(PL().Launcher, "plrunning"), "Value", 0);
  } catch (...) {
  }
}

void PLMain_Form::Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  Form_Unload();
  hide();
  if (PL().MainWindow == this) PL().MainWindow = nullptr;
  deleteLater();
}

bool PLMain_Form::event(QEvent* event) {
  const bool handled = QMainWindow::event(event);
  // The first showing counts as the first activation even where no window
  // manager activates the window.
  if (event->type() == QEvent::WindowActivate && !unloaded_) Form_Activate();
  if (event->type() == QEvent::Show && FirstActivate)
    QMetaObject::invokeMethod(this, [this] { if (!unloaded_) Form_Activate(); }, Qt::QueuedConnection);
  return handled;
}

void PLMain_Form::closeEvent(QCloseEvent* event) {
  event->ignore();
  Unload();
}

}  // namespace pl
