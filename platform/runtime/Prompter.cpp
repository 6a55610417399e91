#include "platform/runtime/Prompter.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <algorithm>

#include "platform/runtime/Busy.h"
#include <QPushButton>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fstream>

#include "platform/runtime/Files.h"

namespace vb {
namespace {

struct Script {
  bool installed = false;
  std::deque<int> buttons;
  std::deque<std::string> texts;
  std::vector<PromptRecord> records;
};

Script& TheScript() {
  static Script s;
  return s;
}

std::string& Title() {
  static std::string t = "Tavolin";
  return t;
}

std::string TitleOr(const std::string& title) { return title.empty() ? Title() : title; }

struct Button {
  const char* name;
  int result;
  QMessageBox::StandardButton qt;
};

std::vector<Button> ButtonsOf(int style) {
  switch (style & 7) {
    case vbOKCancel: return {{"OK", vbOK, QMessageBox::Ok}, {"Cancel", vbCancel, QMessageBox::Cancel}};
    case vbAbortRetryIgnore:
      return {{"Abort", vbAbort, QMessageBox::Abort},
              {"Retry", vbRetry, QMessageBox::Retry},
              {"Ignore", vbIgnore, QMessageBox::Ignore}};
    case vbYesNoCancel:
      return {{"Yes", vbYes, QMessageBox::Yes}, {"No", vbNo, QMessageBox::No}, {"Cancel", vbCancel, QMessageBox::Cancel}};
    case vbYesNo: return {{"Yes", vbYes, QMessageBox::Yes}, {"No", vbNo, QMessageBox::No}};
    case vbRetryCancel: return {{"Retry", vbRetry, QMessageBox::Retry}, {"Cancel", vbCancel, QMessageBox::Cancel}};
    default: return {{"OK", vbOK, QMessageBox::Ok}};
  }
}

size_t DefaultIndex(int style, size_t count) {
  size_t i = static_cast<size_t>((style >> 8) & 3);
  return i < count ? i : 0;
}

std::string ButtonNames(const std::vector<Button>& buttons) {
  std::string s;
  for (const Button& b : buttons) {
    if (!s.empty()) s += '/';
    s += b.name;
  }
  return s;
}

// One field of a log line: line feeds, tabs and backslashes escaped so
// that every box stays on one line.
std::string Escape(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else if (c == '\t') out += "\\t";
    else if (c == '\\') out += "\\\\";
    else out += c;
  }
  return out;
}

// The automation log named by TAVOLIN_PROMPT_LOG, "" when boxes are shown.
std::string LogPath() {
  const char* p = std::getenv("TAVOLIN_PROMPT_LOG");
  return p ? p : "";
}

void LogLine(const std::string& path, const std::string& title, const std::string& text,
             const std::string& buttons, const std::string& answer) {
  std::ofstream out(path, std::ios::app);
  std::string line = Escape(title) + "\t" + Escape(text) + "\t" + buttons + "\t" + Escape(answer) + "\n";
  if (out) out << line;
  if (!out) std::fprintf(stderr, "Tavolin: cannot write the prompt log %s: %s", path.c_str(), line.c_str());
}

// Whether boxes can be shown at all: without a running application there
// is no window to show, so the default answer is given (and said on stderr).
bool CanShow() { return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr; }

QWidget* Parent() { return QApplication::activeWindow(); }

QString Q(const std::string& s) { return QString::fromStdString(s); }

// An input box wide enough for its title beside the frame's icon and
// buttons, and for the text it takes (up to 60 characters) without
// scrolling; never wider than the screen. The dialog's layout sets its
// size from its controls, so the text box carries the width.
void FitInputBox(QInputDialog& dlg, int maxLength) {
  auto* box = dlg.findChild<QLineEdit*>();
  if (!box) return;
  dlg.ensurePolished();
  QFont titleFont = QApplication::font();
  titleFont.setBold(true);  // as window managers draw titles
  const int margins = dlg.contentsMargins().left() + dlg.contentsMargins().right() + 24;
  const int forTitle = QFontMetrics(titleFont).horizontalAdvance(dlg.windowTitle()) + 180 - margins;
  const int chars = maxLength > 0 ? std::min(maxLength, 60) : 40;
  const QFontMetrics fm = box->fontMetrics();
  const QMargins m = box->textMargins() + box->contentsMargins();
  const int forText =
      std::max(fm.horizontalAdvance(QString(chars, QLatin1Char('x'))), fm.horizontalAdvance(dlg.textValue())) +
      m.left() + m.right() + 16;
  int wanted = std::max(forTitle, forText);
  if (const QScreen* screen = dlg.screen()) wanted = std::min(wanted, screen->availableGeometry().width() - 40 - margins);
  box->setMinimumWidth(std::max(box->minimumSizeHint().width(), wanted));
}

// A file dialog answered by the script, the log, or the user.
std::string FileDialog(const char* kind, const std::string& title, const std::string& filter,
                       const std::string& folder) {
  Script& s = TheScript();
  if (s.installed) {
    s.records.push_back(PromptRecord{kind, title, filter, 0, folder, 0});
    if (s.texts.empty()) return "";
    std::string answer = s.texts.front();
    s.texts.pop_front();
    return answer;
  }
  bool open = std::string(kind) == "open";
  if (std::string log = LogPath(); !log.empty()) {
    LogLine(log, title, filter, open ? "Open/Cancel" : "Save/Cancel", "");
    return "";
  }
  if (!CanShow()) return "";
  BusyScope::Pause answerable;
  QString start = folder.empty() ? QString() : Q(ResolvePath(folder));
  QString chosen = open ? QFileDialog::getOpenFileName(Parent(), Q(title), start, Q(filter))
                        : QFileDialog::getSaveFileName(Parent(), Q(title), start, Q(filter));
  return chosen.toStdString();
}

}  // namespace

void SetAppTitle(const std::string& title) { Title() = title; }
std::string AppTitle() { return Title(); }

int MsgBox(const std::string& prompt, int buttons, const std::string& title) {
  std::vector<Button> list = ButtonsOf(buttons);
  const Button& def = list[DefaultIndex(buttons, list.size())];
  std::string shownTitle = TitleOr(title);

  Script& s = TheScript();
  if (s.installed) {
    s.records.push_back(PromptRecord{"msgbox", shownTitle, prompt, buttons, "", 0});
    if (s.buttons.empty()) return def.result;
    int answer = s.buttons.front();
    s.buttons.pop_front();
    return answer;
  }
  if (std::string log = LogPath(); !log.empty()) {
    LogLine(log, shownTitle, prompt, ButtonNames(list), def.name);
    return def.result;
  }
  if (!CanShow()) {
    std::fprintf(stderr, "%s: %s\n", shownTitle.c_str(), prompt.c_str());
    return def.result;
  }

  BusyScope::Pause answerable;
  QMessageBox box(Parent());
  box.setWindowTitle(Q(shownTitle));
  box.setText(Q(prompt));
  switch (buttons & 0x70) {
    case vbCritical: box.setIcon(QMessageBox::Critical); break;
    case vbQuestion: box.setIcon(QMessageBox::Question); break;
    case vbExclamation: box.setIcon(QMessageBox::Warning); break;
    case vbInformation: box.setIcon(QMessageBox::Information); break;
    default: box.setIcon(QMessageBox::NoIcon); break;
  }
  for (const Button& b : list) box.addButton(b.qt);
  box.setDefaultButton(def.qt);
  // Escape cancels where there is a Cancel; a lone OK is also closed by it.
  for (const Button& b : list)
    if (b.result == vbCancel || list.size() == 1) box.setEscapeButton(box.button(b.qt));
  box.exec();
  QAbstractButton* clicked = box.clickedButton();
  for (const Button& b : list)
    if (clicked && clicked == box.button(b.qt)) return b.result;
  for (const Button& b : list)
    if (b.result == vbCancel) return vbCancel;
  return def.result;
}

std::string InputBox(const std::string& prompt, const std::string& title, const std::string& defaultText,
                     int maxLength) {
  std::string shownTitle = TitleOr(title);
  Script& s = TheScript();
  // A scripted answer is what the box would have taken of it.
  auto fitted = [maxLength](const std::string& text) {
    if (maxLength <= 0) return text;
    QString kept = QString::fromStdString(text).left(maxLength);
    if (!kept.isEmpty() && kept.back().isHighSurrogate()) kept.chop(1);  // never half a character
    return kept.toStdString();
  };
  if (s.installed) {
    s.records.push_back(PromptRecord{"inputbox", shownTitle, prompt, 0, defaultText, maxLength});
    if (s.texts.empty()) return fitted(defaultText);
    std::string answer = s.texts.front();
    s.texts.pop_front();
    return fitted(answer);
  }
  if (std::string log = LogPath(); !log.empty()) {
    LogLine(log, shownTitle, prompt, "OK/Cancel", defaultText);
    return fitted(defaultText);
  }
  if (!CanShow()) return defaultText;
  BusyScope::Pause answerable;
  QInputDialog dlg(Parent());
  dlg.setWindowTitle(Q(shownTitle));
  dlg.setLabelText(Q(prompt));
  dlg.setTextValue(Q(defaultText));
  if (maxLength > 0)
    if (auto* box = dlg.findChild<QLineEdit*>()) box->setMaxLength(maxLength);
  FitInputBox(dlg, maxLength);
  if (dlg.exec() != QDialog::Accepted) return "";
  return dlg.textValue().toStdString();
}

std::string GetOpenFileName(const std::string& title, const std::string& filter, const std::string& folder) {
  return FileDialog("open", title, filter, folder);
}

std::string GetSaveFileName(const std::string& title, const std::string& filter, const std::string& folder) {
  return FileDialog("save", title, filter, folder);
}

bool IsEngineErrorNumber(int number) { return number >= 3000 && number <= 3999; }

std::string EngineErrorText(int number, const std::string& description) {
  // A row gone under the window is another program's doing, and is said
  // so: the data layer's own words for it mean nothing to the user.
  constexpr int kRowRemoved = 3167;      // the row was deleted since it was read
  constexpr int kNoCurrentRow = 3021;    // the set no longer stands on a row
  if (number == kRowRemoved)
    return "The record is no longer in the collection: another program removed it.\n\nNothing more was done.";
  if (number == kNoCurrentRow)
    return "The record asked for is no longer in the collection: another program may have removed it.\n\n"
           "Nothing more was done.";
  return "The collection could not be read or written as asked:\n" + description + "\n\nNothing more was done.";
}

void ShowError(int number, const std::string& description, const std::string& title) {
  // The data layer's numbers say nothing to the user: its errors are told
  // in its words alone, whichever window caught them.
  if (IsEngineErrorNumber(number)) {
    MsgBox(EngineErrorText(number, description), vbOKOnly | vbExclamation, title);
    return;
  }
  MsgBox("Error " + std::to_string(number) + ": " + description, vbOKOnly | vbCritical, title);
}

// ---- scripting
void PromptScript::Install() {
  Clear();
  TheScript().installed = true;
}

void PromptScript::Uninstall() {
  Script& s = TheScript();
  s.installed = false;
  s.buttons.clear();
  s.texts.clear();
}

void PromptScript::Answer(int button) { TheScript().buttons.push_back(button); }
void PromptScript::AnswerText(const std::string& text) { TheScript().texts.push_back(text); }

void PromptScript::Clear() {
  Script& s = TheScript();
  s.buttons.clear();
  s.texts.clear();
  s.records.clear();
}

const std::vector<PromptRecord>& PromptScript::Records() { return TheScript().records; }

std::vector<std::string> PromptScript::Texts() {
  std::vector<std::string> out;
  for (const PromptRecord& r : TheScript().records) out.push_back(r.text);
  return out;
}

}  // namespace vb
