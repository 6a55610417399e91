#include "reports/EditTitleForm.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/runtime/Guard.h"
#include "reports/ReportModule.h"

namespace tvn::reports {
namespace {

// Key releases in the title box run the quote check, as in every text
// field of the program.
class KeyUpFilter : public QObject {
 public:
  KeyUpFilter(EditTitleForm* form) : QObject(form), form_(form) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyRelease) vb::Guarded([&] { form_->TitleText_KeyUp(); });
    return QObject::eventFilter(watched, event);
  }

 private:
  EditTitleForm* form_;
};

class LineEditText : public vb::TextControl {
 public:
  explicit LineEditText(QLineEdit* edit) : edit_(edit) {}
  std::string Text() const override { return edit_->text().toStdString(); }
  void SetText(const std::string& text) override { edit_->setText(QString::fromStdString(text)); }

 private:
  QLineEdit* edit_;
};

}  // namespace

EditTitleForm::EditTitleForm(QWidget* parent) : QDialog(parent) {
  setObjectName("EditTitleForm");
  setModal(true);
  setWindowFlag(Qt::FramelessWindowHint, false);
  setWindowTitle(QString());
  Label1 = new QLabel("Modify selection title", this);
  Label1->setObjectName("Label1");
  TitleText = new QLineEdit(this);
  TitleText->setObjectName("TitleText");
  TitleText->setMaxLength(60);
  ApplyButton = new QPushButton("Apply", this);
  ApplyButton->setObjectName("ApplyButton");
  ApplyButton->setDefault(true);
  CancelButton = new QPushButton("Cancel", this);
  CancelButton->setObjectName("CancelButton");

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ApplyButton);
  buttons->addWidget(CancelButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Label1);
  layout->addWidget(TitleText);
  layout->addLayout(buttons);
  resize(420, sizeHint().height());

  TitleText->installEventFilter(new KeyUpFilter(this));
  connect(ApplyButton, &QPushButton::clicked, this, [this] { vb::Guarded([this] { ApplyButton_Click(); }); });
  connect(CancelButton, &QPushButton::clicked, this, [this] { vb::Guarded([this] { CancelButton_Click(); }); });
  Form_Load();
}

void EditTitleForm::Form_Load() {
  if (Module().TitleControl) TitleText->setText(QString::fromStdString(Module().TitleControl->Text()));
}

void EditTitleForm::TitleText_KeyUp() {
  LineEditText text(TitleText);
  QuoteCheck(text);
}

void EditTitleForm::ApplyButton_Click() {
  if (TitleText->text().isEmpty()) return;  // an empty title is not taken; the dialog stays
  if (Module().TitleControl) Module().TitleControl->SetText(TitleText->text().toStdString());
  accept();
}

void EditTitleForm::CancelButton_Click() { reject(); }

}  // namespace tvn::reports
