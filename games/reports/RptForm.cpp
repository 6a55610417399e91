#include "games/reports/RptForm.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QHBoxLayout>
#include <QScrollArea>
#include <QVBoxLayout>

#include "platform/runtime/Guard.h"

namespace pl {

RptForm::RptForm(QWidget* parent) : ReportWindowFrame(GameReports(), "Pellion - Report Window", parent) {
  setObjectName("RptForm");
  R1Frame = new QScrollArea(OptionsArea);
  R1Frame->setObjectName("R1Frame");
  R1Frame->setWidgetResizable(true);
  R1Frame->setFrameShape(QFrame::NoFrame);
  auto* panel = new QWidget;
  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(4, 4, 4, 4);

  SortFrame = new QGroupBox("Order By", panel);
  SortFrame->setObjectName("SortFrame");
  auto* sortLayout = new QVBoxLayout(SortFrame);
  const char* sorts[] = {"Name", "Publisher", "Developer", "Genre", "Section"};
  for (int i = 0; i < 5; ++i) {
    SortOption[static_cast<size_t>(i)] = new QRadioButton(sorts[i], SortFrame);
    SortOption[static_cast<size_t>(i)]->setObjectName(QString("SortOption_%1").arg(i));
    sortLayout->addWidget(SortOption[static_cast<size_t>(i)]);
    connect(SortOption[static_cast<size_t>(i)], &QRadioButton::clicked, this,
            [this, i] { vb::Guarded([&] { SortOption_Click(i); }); });
  }
  SortOption[0]->setChecked(true);

  OptionsFrame = new QGroupBox("Report Options", panel);
  OptionsFrame->setObjectName("OptionsFrame");
  auto* optionsLayout = new QVBoxLayout(OptionsFrame);
  const char* checks[] = {"Include Best/Worst features", "Include format, homepage, rating, players",
                          "Include system types",        "Include supports",
                          "Include personal fields",     "Include hints/tips",
                          "Include instructions",        "Include Notes "};
  for (int i = 0; i < 8; ++i) {
    auto* box = new QCheckBox(checks[i], OptionsFrame);
    box->setObjectName(QString("R6Check_%1").arg(i));
    box->setChecked(true);
    optionsLayout->addWidget(box);
    R6Check[static_cast<size_t>(i)] = box;
  }

  TypeFrame = new QGroupBox("Report Type", panel);
  TypeFrame->setObjectName("TypeFrame");
  auto* typeLayout = new QVBoxLayout(TypeFrame);
  const char* types[] = {"", "Complete Report", "One Line Report"};
  for (int i = 1; i <= 2; ++i) {
    TypeOption[static_cast<size_t>(i)] = new QRadioButton(types[i], TypeFrame);
    TypeOption[static_cast<size_t>(i)]->setObjectName(QString("TypeOption_%1").arg(i));
    typeLayout->addWidget(TypeOption[static_cast<size_t>(i)]);
    connect(TypeOption[static_cast<size_t>(i)], &QRadioButton::clicked, this,
            [this, i] { vb::Guarded([&] { TypeOption_Click(i); }); });
  }
  TypeOption[1]->setChecked(true);

  // The two short frames stand side by side, so the whole panel with the
  // export commands under it fits the window without scrolling.
  auto* choices = new QHBoxLayout;
  choices->addWidget(SortFrame, 0, Qt::AlignTop);
  choices->addWidget(TypeFrame, 0, Qt::AlignTop);
  layout->addLayout(choices);
  layout->addWidget(OptionsFrame);
  layout->addStretch();
  R1Frame->setWidget(panel);
  R1Frame->hide();
  OptionsArea->layout()->addWidget(R1Frame);
  Form_Load();
}

RptForm::~RptForm() = default;

RptForm* CurrentGameReportWindow() { return dynamic_cast<RptForm*>(GameReports().CurrentReportWindow); }

void RptForm::Form_Load() {
  Context().CurrentReportWindow = this;
  if (Context().ReportType == kFullGameReport) {
    PlaceExportFrame(R1Frame->widget());
    R1Frame->show();
    ShowWholePanel(R1Frame);
  }
  update();
}

void RptForm::SortOption_Click(int index) { lastSort_ = static_cast<std::uint8_t>(index); }

void RptForm::TypeOption_Click(int index) {
  (void)index;
  OptionsFrame->setVisible(TypeOption[1]->isChecked());
}

FullGameReportOptions RptForm::Options() const {
  FullGameReportOptions options;
  options.oneLine = TypeOption[2]->isChecked();
  options.sortOrder = -1;
  for (int i = 0; i < 5; ++i)
    if (SortOption[static_cast<size_t>(i)]->isChecked()) options.sortOrder = i;
  for (size_t i = 0; i < R6Check.size(); ++i) options.parts[i] = R6Check[i]->checkState() == Qt::Checked;
  return options;
}

void RptForm::RunReportWriter() {
  print::Printer& printer = Printer();
  switch (Context().ReportType) {
    case kFullGameReport: PrintFullGameReport(printer, Options()); break;
    case kDeveloperList: PrintListReport(printer, "developer", "artist_name"); break;
    case kPublisherList: PrintListReport(printer, "publisher", "labelstudio_name"); break;
    case kGenreList: PrintListReport(printer, "genre", "category"); break;
    case kSupportsList: PrintSupportsReport(printer, "supports", "name"); break;
    case kSysTypeList: PrintSupportsReport(printer, "systype", "systype"); break;
    default: break;  // no writer: no pages
  }
}

}  // namespace pl
