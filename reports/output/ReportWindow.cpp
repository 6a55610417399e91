#include "reports/output/ReportWindow.h"

#include <QApplication>
#include <algorithm>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <functional>

#include "platform/print/Printer.h"
#include "platform/print/PreviewWidget.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/Guard.h"
#include "platform/runtime/Prompter.h"
#include "reports/output/FileFilter.h"
#include "reports/output/PrintPageForm.h"
#include "reports/output/RForm.h"
#include "reports/output/SaveLoadDocumentForm.h"
#include "platform/runtime/Busy.h"
#include "reports/output/WindowBusy.h"

namespace tvn::reports {
namespace {

QPushButton* Button(QWidget* parent, const QString& name, const QString& caption) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  button->setAutoDefault(false);
  return button;
}

void Warn(const std::string& text) { vb::MsgBox(text, vb::vbExclamation | vb::vbOKOnly, vb::AppTitle()); }

// A document saved without ".vsr" would be hidden by the load dialog's
// filter, so the name gets it; the dialog asked about overwriting the
// typed name only, so replacing a document under the longer name is asked
// here, and the longer name is judged like any name written. False when
// the user keeps that document or the name is refused.
bool SaveUnderDocumentName(std::string& file, const std::string& dataFolder) {
  const std::string typed = file;
  file = WithDocumentExtension(file);
  if (file == typed) return true;
  if (const std::string refusal = ExportRefusal(file, dataFolder); !refusal.empty()) {
    Warn(refusal);
    return false;
  }
  if (!vb::FileExists(file)) return true;
  return vb::MsgBox("The file\n" + file + "\nalready exists.\nDo you want to replace it?",
                    vb::vbExclamation | vb::vbYesNo | vb::vbDefaultButton2, vb::AppTitle()) == vb::vbYes;
}

const char* const kProcessing = "Processing Report ........";

// While a command of the window works: the hourglass, every window kept
// painted, and every click, key and close dropped until it ends. The
// surface's progress reaches the scope for as long as the command runs;
// show, when given, receives how far the work is (done of total).
class ReportBusy {
 public:
  ReportBusy(QWidget* window, print::Printer& printer, std::function<void(long long, long long)> show = {})
      : printer_(printer), busy_(window, std::move(show)) {
    printer_.SetProgress([this](long long done, long long total) {
      // The pages of a layout come with no total: they keep the window
      // painted without changing the figure a writer or an output shows.
      if (total > 0)
        busy_.Progress(done, total);
      else
        busy_.Tick();
    });
  }
  ~ReportBusy() { printer_.SetProgress({}); }
  ReportBusy(const ReportBusy&) = delete;
  ReportBusy& operator=(const ReportBusy&) = delete;

 private:
  print::Printer& printer_;
  vb::BusyScope busy_;
};

}  // namespace

std::string DataFolderFile(const ReportContext& context, const std::string& name) {
  std::string folder = context.ReportAppFolder.empty() ? vb::ProgramFolder() : context.ReportAppFolder;
  return QDir(QString::fromStdString(folder)).filePath(QString::fromStdString(name)).toStdString();
}

ReportWindowFrame::ReportWindowFrame(ReportContext& context, const QString& caption, QWidget* parent)
    : QDialog(parent), context_(context), printer_(std::make_unique<print::Printer>()) {
  setWindowTitle(caption);
  setModal(true);
  setSizeGripEnabled(true);

  VSPrinter1 = new print::PreviewWidget(this);
  VSPrinter1->setObjectName("VSPrinter1");
  VSPrinter1->SetPrinter(printer_.get());
  MaxButton = Button(this, "MaxButton", "Maximize Report Window");
  CreateButton = Button(this, "CreateButton", "Create Report");
  SaveButton = Button(this, "SaveButton", "Save/Load Document");
  CloseButton = Button(this, "CloseButton", "Close");

  // The notice stands over the preview while a report is built.
  MsgFrame = new QFrame(VSPrinter1);
  MsgFrame->setObjectName("MsgFrame");
  MsgFrame->setFrameShape(QFrame::NoFrame);
  MsgFrame->setAutoFillBackground(true);
  MsgLabel = new QLabel(kProcessing, MsgFrame);
  MsgLabel->setObjectName("MsgLabel");
  QFont notice("MS Sans Serif", 12);
  notice.setBold(true);
  MsgLabel->setFont(notice);
  MsgLabel->setAlignment(Qt::AlignCenter);  // the count stands centred under the notice
  auto* msgLayout = new QVBoxLayout(MsgFrame);
  msgLayout->addWidget(MsgLabel, 0, Qt::AlignCenter);
  MsgFrame->resize(MsgFrame->sizeHint().expandedTo(QSize(148, 77)));
  MsgFrame->hide();

  ExportFrame = new QFrame(this);
  ExportFrame->setObjectName("ExportFrame");
  ExportFrame->setFrameShape(QFrame::NoFrame);
  Check1 = new QCheckBox("Create ASCII Delimited File", ExportFrame);
  Check1->setObjectName("Check1");
  Check1->hide();  // no writer exports delimited text
  HTMLCheck = new QCheckBox("Create HTML/RTF document", ExportFrame);
  HTMLCheck->setObjectName("HTMLCheck");
  btnPDF = Button(ExportFrame, "btnPDF", "Save report in PDF format");
  btnPDF->setEnabled(false);
  auto* exportLayout = new QVBoxLayout(ExportFrame);
  exportLayout->setContentsMargins(4, 4, 4, 4);
  exportLayout->addWidget(Check1);
  exportLayout->addWidget(HTMLCheck);
  exportLayout->addWidget(btnPDF);

  OptionsArea = new QWidget(this);
  OptionsArea->setObjectName("OptionsArea");
  optionsLayout_ = new QVBoxLayout(OptionsArea);
  optionsLayout_->setContentsMargins(0, 0, 0, 0);

  auto* left = new QVBoxLayout;
  left->addWidget(OptionsArea, 1);
  left->addWidget(ExportFrame);
  auto* right = new QVBoxLayout;
  right->setSpacing(0);
  right->addWidget(VSPrinter1, 1);
  right->addWidget(MaxButton);
  right->addWidget(CreateButton);
  right->addWidget(SaveButton);
  right->addWidget(CloseButton);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left, 0);
  layout->addLayout(right, 1);
  // The left column is about 4200 of the window's 8850 twips.
  OptionsArea->setMinimumWidth(270);
  resize(760, 560);

  auto guarded = [this](void (ReportWindowFrame::*handler)()) {
    return [this, handler] { vb::Guarded([&] { (this->*handler)(); }); };
  };
  connect(CreateButton, &QPushButton::clicked, this, guarded(&ReportWindowFrame::CreateButton_Click));
  connect(btnPDF, &QPushButton::clicked, this, guarded(&ReportWindowFrame::btnPDF_Click));
  connect(SaveButton, &QPushButton::clicked, this, guarded(&ReportWindowFrame::SaveButton_Click));
  connect(MaxButton, &QPushButton::clicked, this, guarded(&ReportWindowFrame::MaxButton_Click));
  connect(CloseButton, &QPushButton::clicked, this, guarded(&ReportWindowFrame::CloseButton_Click));
}

ReportWindowFrame::~ReportWindowFrame() {
  if (context_.CurrentReportWindow == this) context_.CurrentReportWindow = nullptr;
  if (context_.ReportPrinter == printer_.get()) context_.ReportPrinter = nullptr;
  // The preview lets go of the surface before the surface goes.
  VSPrinter1->SetPrinter(nullptr);
}

print::Printer& ReportWindowFrame::Printer() const { return *printer_; }

void ReportWindowFrame::PlaceExportFrame(QWidget* panel) {
  if (!panel || !panel->layout()) return;
  QLayout* layout = panel->layout();
  // Directly below the panel's last frame, with the free room under it.
  while (layout->count() > 0 && layout->itemAt(layout->count() - 1)->spacerItem())
    delete layout->takeAt(layout->count() - 1);
  ExportFrame->setParent(panel);
  layout->addWidget(ExportFrame);
  if (auto* box = qobject_cast<QBoxLayout*>(layout)) box->addStretch();
  ExportFrame->show();
}

void ReportWindowFrame::ShowWholePanel(QScrollArea* panel) {
  QWidget* content = panel->widget();
  if (!content) return;
  // Sizes with the panel's options as the report type has just shown or
  // hidden them: the cached sizes of the items go first.
  ensurePolished();
  for (QWidget* child : content->findChildren<QWidget*>()) child->updateGeometry();
  for (QLayout* layout : content->findChildren<QLayout*>()) layout->invalidate();
  const QSize need = content->sizeHint();
  int height = need.height();
  // Room for the window's title bar and margins stays on the screen.
  if (const QScreen* screen = this->screen()) height = std::min(height, screen->availableGeometry().height() - 60);
  panel->setMinimumSize(need.width() + panel->verticalScrollBar()->sizeHint().width(), height);
}

std::string ReportWindowFrame::AskFileName(const std::string& defaultName, const std::string& filter,
                                           bool forSaving) {
  const std::string qtFilter = DialogFilter(filter);
  std::string start = defaultName.empty() ? DataFolderFile(context_, "") : defaultName;
  if (!forSaving) return vb::GetOpenFileName("", qtFilter, start);
  // The dialog's overwrite question does not know the program's own
  // files: a report written over one (or through a link onto one) would
  // destroy a collection or the collection list, so such a name is refused
  // and asked for again.
  for (;;) {
    std::string file = vb::GetSaveFileName("", qtFilter, start);
    if (file.empty()) return file;
    const std::string refusal = ExportRefusal(file, DataFolderFile(context_, ""));
    if (refusal.empty()) return file;
    Warn(refusal + "\nChoose another name.");
  }
}

void ReportWindowFrame::CreateButton_Click() {
  print::Printer& printer = *printer_;
  // The export name goes first: the empty document that clears the
  // preview must never be written over the last report's export.
  printer.SetExportFile("");
  context_.AsciiExportFile.clear();
  {
    // The last report, however long, goes with the window kept painted.
    ReportBusy busy(this, printer);
    printer.KillDoc();
  }
  printer.SetHeader("");
  printer.StartDoc();
  printer.EndDoc();
  printer.Refresh();

  MsgFrame->move((VSPrinter1->width() - MsgFrame->width()) / 2, (VSPrinter1->height() - MsgFrame->height()) / 2);
  MsgFrame->show();
  MsgFrame->raise();
  QApplication::processEvents();

  printer.SetExportFormat(print::kExportHtml);
  printer.SetExportFile("");
  if (HTMLCheck->isChecked()) {
    vb::MsgBox("When prompted enter the file name for the HTML version of report",
               vb::vbInformation | vb::vbOKOnly, vb::AppTitle());
    std::string file = AskFileName(DataFolderFile(context_, "rpt.htm"), "(*.htm; *html)) | *.htm;*.html");
    if (file.empty()) {
      // The name nobody chose is judged too: a link standing there may
      // lead onto a file of the program. Refused, the report goes without
      // its HTML version.
      file = DataFolderFile(context_, "rpt.htm");
      if (const std::string refusal = ExportRefusal(file, DataFolderFile(context_, "")); !refusal.empty()) {
        Warn(refusal);
        file.clear();
      }
    }
    printer.SetExportFile(file);
  }

  {
    // Whatever way the writer ends, the notice goes and PDF export opens.
    struct Finish {
      ReportWindowFrame* w;
      ~Finish() {
        w->MsgFrame->hide();
        w->MsgLabel->setText(kProcessing);
        w->btnPDF->setEnabled(true);
      }
    } finish{this};
    ReportBusy busy(this, printer, [this](long long done, long long total) {
      MsgLabel->setText(QString("%1\n%2 of %3").arg(kProcessing).arg(done).arg(total));
      MsgFrame->resize(MsgFrame->sizeHint().expandedTo(MsgFrame->size()));
    });
    context_.ReportPrinter = &printer;
    RunReportWriter();
  }
  printer.Refresh();
  // The report stands whole however its pages are kept; a temporary file
  // that could not take them is still worth telling (a full disk).
  if (const std::string& error = printer.document().pages.Error(); !error.empty()) Warn(error);
}

void ReportWindowFrame::btnPDF_Click() {
  std::string file = AskFileName(DataFolderFile(context_, "rpt.pdf"), "*.pdf | *.pdf");
  if (file.empty()) return;
  bool written;
  {
    ReportBusy busy(this, *printer_);
    written = printer_->WritePdf(file);
  }
  // The output's own message names the file, says why and that the file
  // there before is left as it was.
  if (!written) Warn(printer_->LastError());
}

void ReportWindowFrame::SaveButton_Click() {
  context_.DocumentAction = 0;
  {
    SaveLoadDocumentForm choice(context_, this);
    choice.exec();
  }
  const std::uint8_t action = context_.DocumentAction;
  std::string file = AskFileName("", "(*.vsr;)) | *.vsr;", action == 0);
  if (file.empty()) return;
  if (action == 0 && !SaveUnderDocumentName(file, DataFolderFile(context_, ""))) return;
  // The pointer shows the hourglass from here on; input is dropped only
  // while the file is written or read, so the page range stays answerable.
  WindowBusy pointer(this);
  switch (action) {
    case 0: {
      {
        PrintPageForm pages(context_, this);
        pages.exec();
      }
      if (context_.PageFrom == -1) return;  // the range was cancelled
      bool saved;
      {
        ReportBusy busy(this, *printer_);
        saved = context_.PageFrom + context_.PageTo != 0 ? printer_->SaveDoc(file, context_.PageFrom, context_.PageTo)
                                                         : printer_->SaveDoc(file);
      }
      if (!saved) Warn(printer_->LastError());
      break;
    }
    case 1:
    case 2: {
      bool loaded;
      {
        ReportBusy busy(this, *printer_);
        loaded = printer_->LoadDoc(file, action == 2);
      }
      if (!loaded) {
        Warn(printer_->LastError());
      } else {
        printer_->Refresh();
      }
      break;
    }
    default:
      break;
  }
}

void ReportWindowFrame::MaxButton_Click() {
  // The preview shows this window's pages themselves: it opens at once.
  RForm preview(context_, this);
  preview.exec();
}

void ReportWindowFrame::CloseButton_Click() { close(); }

void ReportWindowFrame::closeEvent(QCloseEvent* event) {
  if (context_.CurrentReportWindow == this) context_.CurrentReportWindow = nullptr;
  // The report's pages, and the temporary file holding those not on show,
  // go with the window.
  printer_->KillDoc();
  QDialog::closeEvent(event);
}

}  // namespace tvn::reports
