#include "core/AddTitleForm.h"

#include <QHBoxLayout>
#include <QShowEvent>
#include <QVBoxLayout>
#include <QWindow>

#include "core/Schema.h"
#include "core/TavolinModule.h"
#include "platform/forms/FlexGrid.h"

namespace tvn {

namespace {
constexpr int TitleRows = 40;
}  // namespace

AddTitleForm::AddTitleForm() {
  setObjectName("AddTitleForm");
  Label1 = new QLabel("Enter new selection title", this);
  Label1->setObjectName("Label1");
  TitleText = new QLineEdit(this);
  TitleText->setObjectName("TitleText");
  // A title takes no more than its column holds: what the box shows is
  // what the record files.
  TitleText->setMaxLength(schema::CollectionTextWidth("mediadata", "title1"));
  ApplyButton = new QPushButton("Apply", this);
  ApplyButton->setObjectName("ApplyButton");
  CancelButton = new QPushButton("Cancel", this);
  CancelButton->setObjectName("CancelButton");
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ApplyButton);
  buttons->addWidget(CancelButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Label1);
  layout->addWidget(TitleText);
  layout->addLayout(buttons);
  resize(360, 110);
  connect(ApplyButton, &QPushButton::clicked, this, [this] { ApplyButton_Click(); });
  // Enter applies the title, as Apply does: typing a title and pressing
  // Enter must never run two titles together in one box.
  connect(TitleText, &QLineEdit::returnPressed, this, [this] { ApplyButton_Click(); });
  connect(CancelButton, &QPushButton::clicked, this, [this] { CancelButton_Click(); });
  // Typing and pasting alike: a title never keeps a double quote.
  connect(TitleText, &QLineEdit::textEdited, this, [this] { TitleText_Change(); });
}

void AddTitleForm::ApplyButton_Click() {
  const std::string title = TitleText->text().toStdString();
  if (title.empty()) return;
  if (TGrid) {
    for (int row = 1; row <= TitleRows; ++row) {
      TGrid->SetRow(row);
      if (TGrid->Text().isEmpty()) {
        TGrid->SetText(QString::fromStdString(title));
        break;
      }
    }
  }
  Unload();
}

void AddTitleForm::CancelButton_Click() { Unload(); }

void AddTitleForm::showEvent(QShowEvent* event) {
  // The dialog belongs to the window whose titles it fills: it opens over
  // that window, and the window manager keeps it there.
  QWidget* owner = TGrid ? TGrid->window() : nullptr;
  if (owner && owner != this && owner->isVisible() && !event->spontaneous()) {
    if (QWindow* handle = windowHandle(); handle && owner->windowHandle())
      handle->setTransientParent(owner->windowHandle());
    const QRect area = owner->frameGeometry();
    move(area.center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
  }
  Form::showEvent(event);
}

void AddTitleForm::TitleText_Change() { CheckNoQuote(TitleText); }

}  // namespace tvn
