#pragma once
// The game catalogue window. For now it is an empty window that keeps the
// launcher informed: its first activation gives the launcher its default
// pointer back, its unload clears the launcher's PLRunning flag.
#include <QMainWindow>

namespace pl {

class PLMain_Form : public QMainWindow {
  Q_OBJECT

 public:
  PLMain_Form();

  void Unload();

 protected:
  void Form_Activate();
  void Form_Unload();
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  bool firstActivate_ = true;
  bool unloaded_ = false;
};

}  // namespace pl
