#include "core/Splash_Form.h"

#include <QVBoxLayout>

#include "core/AppState.h"
#include "core/MainForm.h"
#include "core/Schema.h"

namespace tvn {

std::string VersionText() {
  return "Version: " + std::to_string(schema::VersionMajor()) + "." + std::to_string(schema::VersionMinor()) + "." +
         std::to_string(schema::VersionRevision());
}

Splash_Form::Splash_Form() {
  setObjectName("Splash_Form");
  setWindowTitle("Tavolin");
  TitleLabel = new QLabel("Tavolin", this);
  TitleLabel->setObjectName("TitleLabel");
  TitleLabel->setAlignment(Qt::AlignCenter);
  QFont f = TitleLabel->font();
  f.setPointSize(f.pointSize() * 3);
  f.setBold(true);
  TitleLabel->setFont(f);
  VersionL = new QLabel(this);
  VersionL->setObjectName("VersionL");
  VersionL->setAlignment(Qt::AlignCenter);
  CloseButton = new QPushButton("Close", this);
  CloseButton->setObjectName("CloseButton");
  CloseButton->setVisible(false);
  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setInterval(3500);
  Timer1->setSingleShot(false);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(TitleLabel);
  layout->addWidget(VersionL);
  layout->addWidget(CloseButton, 0, Qt::AlignHCenter);
  resize(360, 200);
  connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
  connect(CloseButton, &QPushButton::clicked, this, [this] { CloseButton_Click(); });
}

void Splash_Form::Form_Load() {
  VersionL->setText(QString::fromStdString(VersionText()));
  if (App().AboutMode) {
    setWindowFlags(Qt::Dialog);
    CloseButton->setVisible(true);
  } else {
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
    Timer1->start();
  }
}

void Splash_Form::Timer1_Timer() {
  Timer1->stop();
  win::MainForm->Show();
}

void Splash_Form::CloseButton_Click() { Unload(); }

}  // namespace tvn
