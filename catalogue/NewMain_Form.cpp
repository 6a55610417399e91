// Life of the catalogue window: position, first activation, tips, unload;
// the text helpers that every routine of the window uses.
#include "catalogue/NewMain_Form.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMenu>
#include <QTextEdit>
#include <QToolBar>
#include <QTreeWidget>
#include <cmath>

#include "catalogue/CatalogueHooks.h"
#include "core/AVQDForm.h"
#include "core/AppState.h"
#include "core/MainForm.h"
#include "core/TavolinModule.h"
#include "core/Windows.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/Settings.h"

namespace tvn {

namespace {

const char kApp[] = "TVN";
const char kSection[] = "Startup";

QPointer<NewMain_Form> g_window;

int ReadByte(const std::string& key, int defaultValue) { return ReadStartupByte(key, defaultValue); }

}  // namespace

void ShowCatalogueWindow(QWidget* launcher) {
  if (g_window) {
    g_window->show();
    g_window->raise();
    g_window->activateWindow();
    return;
  }
  auto* w = new NewMain_Form(launcher);
  w->setAttribute(Qt::WA_DeleteOnClose);
  g_window = w;
  w->show();
}

void CloseCatalogueWindow() {
  if (g_window) g_window->close();
}

NewMain_Form* CatalogueWindow() { return g_window.data(); }

void RegisterCatalogueWindow() {
  RegisterMediaCatalogue({
      [] { ShowCatalogueWindow(win::MainForm.Peek()); },
      [] {
        if (g_window) {
          g_window->raise();
          g_window->activateWindow();
        }
      },
      [] { CloseCatalogueWindow(); },
  });
  // The quick display shows a record through the catalogue window's two
  // public routines; it lives below this library, so it is told how here.
  auto& qd = QuickDisplayHooks::Get();
  qd.AddingRecord = [] { return g_window && g_window->AddingRecord; };
  qd.CancelAdd = [] { if (g_window) g_window->Toolbar1_ButtonClick(2); };
  qd.ItemClickProcess = [](Byte section) { if (g_window) g_window->ItemClickProcess(section); };
  qd.CS_Load_Data = [](const std::string& name) { if (g_window) g_window->CS_Load_Data(name); };
  qd.BringForward = [] {
    if (g_window) {
      g_window->raise();
      g_window->activateWindow();
    }
  };
  CatalogueHooks::Get().closeQuickDisplay = [] { CloseQuickDisplay(); };
}

NewMain_Form::NewMain_Form(QWidget* launcher) : RecordWindow(nullptr), launcher_(launcher) {
  BuildWindow();
  ConnectMenuCommands();
  Form_Initialize();
  Form_Load();
}

NewMain_Form::~NewMain_Form() {
  if (!unloaded_) Form_Unload();
}

// ---------------------------------------------------------------- life

void NewMain_Form::Form_Initialize() {
  // Stored in twips; 0 or less (or nothing readable) keeps the designed place.
  RestoreWindowPlace(*this, "TV_T", "TV_L");
}

void NewMain_Form::Form_Load() {
  SetHelpFile(this, vb::ProgramFolder());
  FirstActivate = true;
  CatalogueHooks::Get().windowLoaded(this);
}

bool NewMain_Form::event(QEvent* e) {
  const bool result = QMainWindow::event(e);
  // Showing the window activates it on every desktop that has a window
  // manager; without one (or when the desktop keeps the focus elsewhere)
  // the first showing still does the first activation's work.
  if (e->type() == QEvent::WindowActivate || (e->type() == QEvent::Show && FirstActivate)) {
    // Run after the activation has been delivered: the first activation
    // may open modal windows.
    QMetaObject::invokeMethod(this, [this] { Form_Activate(); }, Qt::QueuedConnection);
  }
  return result;
}

void NewMain_Form::Form_Activate() {
  if (FirstActivate) {
    FirstActivate = false;
    if (launcher_) {
      launcher_->setProperty("MousePointer", 0);
      launcher_->unsetCursor();
    }
    if (ReadByte("NF", 0) != 2) {
      ShowHelp(2);
      vb::SaveSetting(kApp, kSection, "NF", "2");
    }
    ReadCollectionFirst();
    QCoreApplication::processEvents();
  }
  unsetCursor();
  if (App().TipNum > 0) ShowTipsWindow();
}

void NewMain_Form::Form_Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  // Every step runs, whatever the one before did.
  auto step = [](auto&& f) {
    try {
      f();
    } catch (...) {
    }
  };
  step([&] { CatalogueHooks::Get().windowUnloading(this); });
  step([&] {
    if (AVData()->QDOpen()) CloseQuickDisplay();
  });
  step([&] {
    if (AVData()->SectionNumber() != 0)
      vb::SaveSetting(kApp, kSection, "LG", std::to_string(int(AVData()->SectionNumber())));
  });
  step([&] {
    if (CaptionRecords) CaptionRecords->Close();
    CaptionRecords.reset();
  });
  step([&] {
    if (RecordRow) RecordRow->Close();
    RecordRow.reset();
    if (SectionRecords) SectionRecords->Close();
    SectionRecords.reset();
    if (PublisherRecords) PublisherRecords->Close();
    PublisherRecords.reset();
  });
  step([&] { QuitHelpViewer(); });
  step([&] {
    if (launcher_) {
      if (auto* running = launcher_->findChild<QCheckBox*>("AVRunning")) running->setChecked(false);
    }
  });
  step([&] { SaveWindowPlace(*this, "TV_T", "TV_L"); });
  step([&] {
    if (g_window == this) g_window = nullptr;
  });
}

void NewMain_Form::EnableUi(bool on) { EnableFrame(on, {View_Menu, UtilitiesMenu, Help_Menu}); }

void NewMain_Form::ShowHelp(int topic) { CatalogueHooks::Get().showHelpTopic(topic); }

void NewMain_Form::QuitHelpViewer() { CatalogueHooks::Get().quitHelp(); }

void NewMain_Form::ShowTipsWindow() { CatalogueHooks::Get().showTips(this); }

void NewMain_Form::CloseQuickDisplay() { CatalogueHooks::Get().closeQuickDisplay(); }

}  // namespace tvn
