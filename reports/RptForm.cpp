#include "reports/RptForm.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "platform/runtime/Functions.h"
#include "platform/runtime/Guard.h"
#include "reports/ChangerReport.h"
#include "reports/LookupReports.h"
#include "reports/ReportModule.h"
#include "reports/StandardReport.h"
#include "reports/TapeLabelReport.h"

namespace tvn::reports {
namespace {

QRadioButton* Option(QWidget* parent, QLayout* layout, const QString& array, int index, const QString& caption) {
  auto* button = new QRadioButton(caption, parent);
  button->setObjectName(QString("%1_%2").arg(array).arg(index));
  layout->addWidget(button);
  return button;
}

QCheckBox* Check(QWidget* parent, QLayout* layout, const QString& array, int index, const QString& caption) {
  auto* box = new QCheckBox(caption, parent);
  box->setObjectName(QString("%1_%2").arg(array).arg(index));
  box->setChecked(true);
  layout->addWidget(box);
  return box;
}

QFrame* Panel(QWidget* parent, const QString& name) {
  auto* frame = new QFrame(parent);
  frame->setObjectName(name);
  frame->setFrameShape(QFrame::NoFrame);
  auto* layout = new QVBoxLayout(frame);
  layout->setContentsMargins(4, 4, 4, 4);
  frame->hide();
  return frame;
}

}  // namespace

RptForm::RptForm(QWidget* parent) : ReportWindowFrame(Module(), "Tavolin - Report Window", parent) {
  setObjectName("RptForm");
  auto* area = OptionsArea->layout();

  // Report type 6, in a scrollable panel: its options are taller than the window.
  R6Frame = new QScrollArea(OptionsArea);
  R6Frame->setObjectName("R6Frame");
  R6Frame->setWidgetResizable(true);
  R6Frame->setFrameShape(QFrame::NoFrame);
  auto* r6 = new QWidget;
  auto* r6Layout = new QVBoxLayout(r6);
  r6Layout->setContentsMargins(4, 4, 4, 4);
  TypeFrame = new QGroupBox("Report Type", r6);
  TypeFrame->setObjectName("TypeFrame");
  auto* typeLayout = new QVBoxLayout(TypeFrame);
  TypeOption[1] = Option(TypeFrame, typeLayout, "TypeOption", 1, "Complete Report");
  TypeOption[2] = Option(TypeFrame, typeLayout, "TypeOption", 2, "One Line Report");
  TypeOption[1]->setChecked(true);
  SortFrame = new QGroupBox("Sort By:  ", r6);
  SortFrame->setObjectName("SortFrame");
  auto* sortLayout = new QVBoxLayout(SortFrame);
  const char* sorts[] = {"Artist", "Name", "Video Tape #/Tape # Index", "Media Type", "Category Number"};
  for (int i = 0; i < 5; ++i) R6SortOption[i] = Option(SortFrame, sortLayout, "R6SortOption", i, sorts[i]);
  R6SortOption[1]->setChecked(true);
  R6SortOption[2]->hide();
  Frame14 = new QGroupBox("Report Options", r6);
  Frame14->setObjectName("Frame14");
  auto* optionsLayout = new QVBoxLayout(Frame14);
  const char* checks[] = {"Include Picture on report", "Include User Defined Fields on report",
                          "Include Titles on report", "Include data section 1 on report",
                          "Include data section 2 on report", "Include data section 3 on report",
                          "Include Notes on report"};
  const char* notes[] = {"(category, label/studio,date acquired)", "(format, sound format, time)",
                         "(speed, ratios, index #s)"};
  for (int i = 0; i < 7; ++i) {
    R6Check[i] = Check(Frame14, optionsLayout, "R6Check", i, checks[i]);
    if (i >= 3 && i <= 5) {
      auto* note = new QLabel(notes[i - 3], Frame14);
      note->setObjectName(QString("R6CheckNote_%1").arg(i - 3));
      note->setIndent(20);
      optionsLayout->addWidget(note);
    }
  }
  // Type and sort order side by side: the whole panel with the export
  // commands under it then fits the window without scrolling.
  auto* choices = new QHBoxLayout;
  choices->addWidget(TypeFrame, 0, Qt::AlignTop);
  choices->addWidget(SortFrame, 0, Qt::AlignTop);
  r6Layout->addLayout(choices);
  r6Layout->addWidget(Frame14);
  r6Layout->addStretch();
  R6Frame->setWidget(r6);
  R6Frame->hide();
  area->addWidget(R6Frame);

  // Report type 7.
  R7Frame = Panel(OptionsArea, "R7Frame");
  Frame3 = new QGroupBox("Sort By:  ", R7Frame);
  Frame3->setObjectName("Frame3");
  auto* r7Layout = new QVBoxLayout(Frame3);
  const char* groupings[] = {"Artist", "Changer/Slot #", "Group/Slot #"};
  for (int i = 0; i < 3; ++i) R7SortOption[i] = Option(Frame3, r7Layout, "R7SortOption", i, groupings[i]);
  R7SortOption[0]->setChecked(true);
  R7Frame->layout()->addWidget(Frame3);
  area->addWidget(R7Frame);

  // Report types 8 and 10.
  R8Frame = Panel(OptionsArea, "R8Frame");
  Frame5 = new QGroupBox("Report Options", R8Frame);
  Frame5->setObjectName("Frame5");
  auto* r8Layout = new QVBoxLayout(Frame5);
  const char* sections[] = {"Include Cassette Section",   "Include CD/Mini Disk Section",
                            "Include DVD/Laser Disc Section", "Include Video Tape Section",
                            "Include LP Section",          "Include Software Section"};
  for (int i = 0; i < 6; ++i) R8Check[i] = Check(Frame5, r8Layout, "R8Check", i, sections[i]);
  R8Frame->layout()->addWidget(Frame5);
  area->addWidget(R8Frame);

  for (int i = 1; i <= 2; ++i)
    connect(TypeOption[i], &QRadioButton::clicked, this, [this, i] { vb::Guarded([&] { TypeOption_Click(i); }); });
  Form_Load();
}

RptForm::~RptForm() = default;

RptForm* CurrentRptForm() { return dynamic_cast<RptForm*>(Module().CurrentReportWindow); }

bool RptForm::Ticked(const QCheckBox* box) { return box && box->checkState() == Qt::Checked; }

void RptForm::Form_Load() {
  Context().CurrentReportWindow = this;
  switch (Context().ReportType) {
    case 6: {
      PlaceExportFrame(R6Frame->widget());
      R6Frame->show();
      // Only a report of the video tapes alone can sort by tape number; the
      // list must be exactly that one section, not merely start with it.
      const std::string sections = vb::Trim(Context().SectionList);
      R6SortOption[2]->setVisible(sections == "6");
      ShowWholePanel(R6Frame);
      break;
    }
    case 7:
      PlaceExportFrame(R7Frame);
      R7Frame->show();
      break;
    case 8:
    case 10:
      PlaceExportFrame(R8Frame);
      R8Frame->show();
      break;
    default:
      break;  // no options: the export frame keeps its place
  }
  update();
}

void RptForm::TypeOption_Click(int index) {
  (void)index;
  Frame14->setVisible(TypeOption[1]->isChecked());
}

void RptForm::RunReportWriter() {
  print::Printer& printer = Printer();
  switch (Context().ReportType) {
    case 6:
      PrintMediaReport(printer);
      break;
    case 7:
      if (R7SortOption[1]->isChecked())
        PrintChangerReportByPlayer(printer);
      else if (R7SortOption[2]->isChecked())
        PrintChangerReportByGroup(printer);
      else
        PrintChangerReportByArtist(printer);
      break;
    case 8:
      PrintArtistReport(printer);
      break;
    case 9:
      PrintCategoryReport(printer);
      break;
    case 10:
      PrintLabelStudioReport(printer);
      break;
    case 16:
    case 17:
      PrintCatalogTitleReport(printer);
      break;
    default:
      break;  // the remaining types have no writer of this window
  }
}

}  // namespace tvn::reports
