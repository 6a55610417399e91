#include "platform/runtime/Prompter.h"
#include "platform/runtime/Files.h"
#include "core/Tip_Form.h"

#include <QHBoxLayout>
#include <filesystem>
#include <system_error>
#include <QStyle>
#include <QVBoxLayout>

#include "core/AppState.h"
#include "core/OpenFailure.h"
#include "core/TavolinModule.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Settings.h"

namespace tvn {

Tip_Form::Tip_Form() {
  setObjectName("Tip_Form");
  setWindowTitle("Form1");
  Frame1 = new QGroupBox(this);
  Frame1->setObjectName("Frame1");
  Image1 = new QLabel(Frame1);
  Image1->setObjectName("Image1");
  Image1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
  Label1 = new QLabel("Tip of the Day", Frame1);
  Label1->setObjectName("Label1");
  QFont bold = Label1->font();
  bold.setBold(true);
  bold.setPointSize(bold.pointSize() + 2);
  Label1->setFont(bold);
  Text1 = new QPlainTextEdit(Frame1);
  Text1->setObjectName("Text1");
  Text1->setReadOnly(true);
  Text1->setFont(QFont("Arial"));
  TipCheck = new QCheckBox("Do not display  at startup", this);
  TipCheck->setObjectName("TipCheck");
  NextTip = new QPushButton("Next", this);
  NextTip->setObjectName("NextTip");
  CloseTip = new QPushButton("Close", this);
  CloseTip->setObjectName("CloseTip");

  auto* head = new QHBoxLayout;
  head->addWidget(Image1);
  head->addWidget(Label1, 1);
  auto* frameLayout = new QVBoxLayout(Frame1);
  frameLayout->addLayout(head);
  frameLayout->addWidget(Text1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(TipCheck, 1);
  buttons->addWidget(NextTip);
  buttons->addWidget(CloseTip);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Frame1);
  layout->addLayout(buttons);
  resize(420, 260);

  connect(NextTip, &QPushButton::clicked, this, [this] { NextTip_Click(); });
  connect(CloseTip, &QPushButton::clicked, this, [this] { CloseTip_Click(); });
}

void ShowTipOfTheDay() {
  AppGlobals& g = App();
  // A folder in the file's place is no damage to report whenever a tip is
  // due: the tips are skipped. Asked for from the menu, the user is told.
  std::error_code ec;
  if (std::filesystem::is_directory(vb::ResolvePath("tips.sys"), ec)) {
    const bool asked = g.TipNum >= 999;
    g.TipNum = 0;
    if (asked)
      vb::MsgBox("The tips file\n" + vb::ResolvePath("tips.sys") + "\n" + FileShapeProblem(vb::ResolvePath("tips.sys")),
                 vb::vbExclamation);
    return;
  }
  try {
    win::Tip_Form->ShowModal();
  } catch (const std::exception& e) {
    const auto* runtime = dynamic_cast<const vb::RuntimeError*>(&e);
    g.TipNum = 0;
    try {
      if (g.AdminDB && g.AdminDB->IsOpen() && vb::UCase(g.AdminDB->Name()).ends_with("TIPS.SYS")) g.AdminDB->Close();
    } catch (const std::exception&) {
    }
    g.AdminDB.reset();
    vb::MsgBox("The tips file\n" + vb::ResolvePath("tips.sys") + "\ncannot be opened:\n" +
                   (runtime ? runtime->Description() : std::string(e.what())),
               vb::vbExclamation);
  }
}

void Tip_Form::Form_Load() {
  AppGlobals& g = App();
  g.AdminDB = g.AppWorkspace ? g.AppWorkspace->OpenDatabase("tips.sys")
                             : dao::DBEngine::Workspaces(0).OpenDatabase("tips.sys");
  tips_ = g.AdminDB->OpenRecordset("tips", dao::dbOpenTable);
  tips_->SetIndex("tipnum");
  tipCount_ = 0;
  if (!(tips_->BOF() && tips_->Eof())) {
    tips_->MoveLast();
    tipCount_ = static_cast<std::int32_t>(tips_->RecordCount());
  }
  if (g.TipNum >= 999) {
    // Asked for from the menu: always from the first tip.
    ReadTipSetting();
    if (g.TipNum == 0) TipCheck->setChecked(true);
    g.TipNum = 1;
  } else {
    ReadTipSetting();
  }
  if (tipCount_ == 0) return;
  tips_->Seek("=", vb::Variant(static_cast<int>(g.TipNum)));
  if (tips_->NoMatch()) {
    // A remembered tip that is no longer there: start again at the first.
    tips_->MoveFirst();
    g.TipNum = static_cast<std::int16_t>(vb::CInt(tips_->GetField("tipnum")));
  }
  ShowCurrentTip();
}

void Tip_Form::ShowCurrentTip() { Text1->setPlainText(QString::fromStdString(vb::NzStr(tips_->GetField("Tip")))); }

void Tip_Form::NextTip_Click() {
  if (tipCount_ == 0) return;
  tips_->MoveNext();
  if (tips_->Eof()) tips_->MoveFirst();
  ShowCurrentTip();
  App().TipNum = static_cast<std::int16_t>(vb::CInt(tips_->GetField("tipnum")));
}

void Tip_Form::CloseTip_Click() { Unload(); }

void Tip_Form::Form_Unload() {
  AppGlobals& g = App();
  const int next = g.TipNum + 1;
  const std::string value = TipCheck->isChecked() ? std::string("0")
                            : next > tipCount_    ? std::string("1")
                                                  : std::to_string(next);
  vb::SaveSetting("TVN", "Startup", "TipOnOff", value);
  g.TipNum = 0;
  if (tips_) tips_->Close();
  tips_.reset();
  if (g.AdminDB) g.AdminDB->Close();
  g.AdminDB.reset();
}

}  // namespace tvn
