#include "reports/output/SaveLoadDocumentForm.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "platform/runtime/Guard.h"

namespace tvn::reports {

SaveLoadDocumentForm::SaveLoadDocumentForm(ReportContext& context, QWidget* parent)
    : QDialog(parent), context_(context) {
  setObjectName("SaveLoadDocumentForm");
  setWindowTitle("Load/Save a Report");
  setModal(true);
  const char* captions[] = {"Save current document to a read only file",
                            "Load a previuosly saved document file as new document",
                            "Load a previuosly saved document file and append to current document"};
  auto* layout = new QVBoxLayout(this);
  auto* group = new QButtonGroup(this);
  for (int i = 0; i < 3; ++i) {
    Option1[i] = new QRadioButton(captions[i], this);
    Option1[i]->setObjectName(QString("Option1_%1").arg(i));
    group->addButton(Option1[i], i);
    layout->addWidget(Option1[i]);
    connect(Option1[i], &QRadioButton::clicked, this, [this, i] { vb::Guarded([&] { Option1_Click(i); }); });
  }
  ApplyButton = new QPushButton("Apply", this);
  ApplyButton->setObjectName("ApplyButton");
  ApplyButton->setAutoDefault(false);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ApplyButton);
  layout->addLayout(buttons);
  connect(ApplyButton, &QPushButton::clicked, this, [this] { vb::Guarded([&] { ApplyButton_Click(); }); });
}

void SaveLoadDocumentForm::Option1_Click(int index) { context_.DocumentAction = static_cast<std::uint8_t>(index); }

void SaveLoadDocumentForm::ApplyButton_Click() { accept(); }

}  // namespace tvn::reports
