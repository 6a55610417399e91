// The input, window, help and shell side of the helper module.
#include <cmath>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QToolBar>

#include "core/AppState.h"
#include "core/TavolinModule.h"
#include "platform/forms/ComboFind.h"
#include "platform/forms/Controls.h"
#include "platform/forms/DateBox.h"
#include "platform/forms/HelpViewer.h"
#include "platform/forms/ShellOpen.h"
#include "platform/forms/Spelling.h"
#include "platform/forms/Thesaurus.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Prompter.h"
#include "platform/runtime/Settings.h"

namespace tvn {

namespace {

struct HelpState {
  QPointer<QWidget> owner;
  std::string file;
};
HelpState& Help() {
  static HelpState state;
  return state;
}

constexpr const char* kHelpFileName = "Reruve.HLP";
constexpr int kKeyF7 = 118;
constexpr int kKeyF8 = 119;

void SetToolbarState(QToolBar* toolbar, const bool (&visible)[6]) {
  if (!toolbar) throw vb::RuntimeError(438, "Object doesn't support this property or method (no control Toolbar1)");
  const QList<QAction*> actions = toolbar->actions();
  for (int i = 0; i < 6 && i < actions.size(); ++i) actions[i]->setVisible(visible[i]);
}

// Hands the typed characters of a combo's line edit to ComboAutoComplete
// and drops the key when it was used.
class AutoCompleteFilter : public QObject {
 public:
  static constexpr const char* kName = "ComboAutoCompleteFilter";
  explicit AutoCompleteFilter(QComboBox* combo) : QObject(combo), combo_(combo) { setObjectName(kName); }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    const QString text = static_cast<QKeyEvent*>(event)->text();
    if (text.size() != 1) return false;
    std::int16_t key = std::int16_t(text[0].unicode());
    ComboAutoComplete(key, combo_);
    return key == 0;
  }

 private:
  QComboBox* combo_;
};

QToolBar* Toolbar1(QWidget* window) {
  return forms::FindControl<QToolBar>(window, QStringLiteral("Toolbar1"));
}

}  // namespace

// ---- dates

bool CheckFileableDate(forms::DateBox* box) {
  if (!box || box->Fileable()) return true;
  vb::MsgBox("\"" + vb::Trim(box->text().toStdString()) +
                 "\" is not a whole date. Enter the date as month/day/year with a four-digit year, "
                 "for example 12/31/1999, or leave the box empty.",
             vb::vbOKOnly);
  box->setFocus();
  return false;
}

bool ReadNumberToFile(const std::string& text, double lowest, double highest, bool whole, double& value) {
  // Digits as the runtime reads them: ASCII only, so full-width digits and
  // other scripts' digits are no number here.
  const vb::Variant typed(vb::Trim(text));
  if (!vb::IsNumeric(typed)) return false;
  const double number = vb::CDbl(typed);
  if (!(number >= lowest && number <= highest) || (whole && number != std::floor(number))) return false;
  value = number;
  return true;
}

bool CheckFileableNumber(QWidget* box, const std::string& caption, double lowest, double highest, bool whole) {
  if (!box) return true;
  const std::string text = vb::Trim(forms::ControlText(box).toStdString());
  double value = 0;
  if (text.empty() || ReadNumberToFile(text, lowest, highest, whole, value)) return true;
  auto show = [](double d) {
    return d == std::floor(d) && std::fabs(d) < 1e15 ? std::to_string(static_cast<long long>(d))
                                                      : vb::CStr(vb::Variant(d));
  };
  const std::string takes = std::string(whole ? "a whole number" : "a number") + " from " + show(lowest) +
                            (std::isfinite(highest) ? " to " + show(highest) : std::string(" up"));
  vb::MsgBox("The " + caption + " box takes " + takes + ": \"" + text +
                 "\" cannot be filed. Correct it, or empty the box.",
             vb::vbOKOnly + vb::vbExclamation);
  box->setFocus();
  return false;
}

// ---- shell

void OpenWithShell(const std::string& target) {
  if (!forms::ShellOpen(target)) vb::MsgBox("error executing command!", vb::vbOKOnly);
}

// ---- toolbar states

void ToolbarAddMode(QToolBar* toolbar) {
  static const bool v[6] = {false, true, true, false, false, false};
  SetToolbarState(toolbar, v);
}
void ToolbarBrowseMode(QToolBar* toolbar) {
  static const bool v[6] = {true, false, true, true, true, true};
  SetToolbarState(toolbar, v);
}
void ToolbarEmptyMode(QToolBar* toolbar) {
  static const bool v[6] = {true, false, false, false, false, false};
  SetToolbarState(toolbar, v);
}
void ToolbarAddMode(QWidget* window) { ToolbarAddMode(Toolbar1(window)); }
void ToolbarBrowseMode(QWidget* window) { ToolbarBrowseMode(Toolbar1(window)); }
void ToolbarEmptyMode(QWidget* window) { ToolbarEmptyMode(Toolbar1(window)); }

// ---- input

void CheckNoQuote(QWidget* control) {
  // A list-only combo shows list items, which the user cannot type into.
  if (auto* combo = qobject_cast<QComboBox*>(control); combo && !combo->isEditable()) return;
  const QString text = forms::ControlText(control);
  if (!text.contains(QLatin1Char('"'))) return;
  vb::MsgBox("The \" is an an invalid character", vb::vbOKOnly + vb::vbInformation);
  // The box may have changed meanwhile; take what it holds now.
  QString clean = forms::ControlText(control);
  const int caret = forms::SelStart(control);
  const int removedBefore = int(clean.left(caret).count(QLatin1Char('"')));
  clean.remove(QLatin1Char('"'));
  forms::SetControlText(control, clean);
  forms::SetSelection(control, caret - removedBefore, 0);
}

bool SmartComboEnabled() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (auto* a = w->findChild<QAction*>(QStringLiteral("SmartComboMenu"))) {
      if (a->isCheckable() && a->isChecked()) return true;
    }
  }
  return false;
}

void ComboAutoComplete(std::int16_t& keyAscii, QWidget* activeControl) {
  QWidget* active = activeControl ? activeControl : QApplication::focusWidget();
  auto* combo = qobject_cast<QComboBox*>(active);
  if (!combo && active) combo = qobject_cast<QComboBox*>(active->parentWidget());  // its line edit
  if (!combo || !combo->isEditable() || !combo->lineEdit()) return;
  // The switch of the combo's own window, where it has one: each catalogue
  // window has its own "Use Smart Combo boxes".
  const auto* own = combo->window()->findChild<QAction*>(QStringLiteral("SmartComboMenu"));
  if (own ? !(own->isCheckable() && own->isChecked()) : !SmartComboEnabled()) return;
  if (keyAscii < 32 && keyAscii >= 0) return;  // control keys are the combo's own
  QLineEdit* edit = combo->lineEdit();
  const QString typed = edit->text().left(forms::SelStart(combo)) + QChar(char16_t(keyAscii));
  const int found = forms::FindStringPrefix(combo, typed);
  if (found < 0) return;  // not in the list: the key is typed as usual
  combo->setCurrentIndex(found);
  const QString text = combo->itemText(found);
  combo->setEditText(text);
  forms::SetSelection(combo, int(typed.size()), int(text.size()));
  keyAscii = 0;
}

void AttachComboAutoComplete(QComboBox* combo) {
  if (!combo || !combo->isEditable() || !combo->lineEdit()) return;
  forms::MakePlainCombo(combo);
  if (combo->findChild<QObject*>(AutoCompleteFilter::kName, Qt::FindDirectChildrenOnly)) return;
  combo->lineEdit()->installEventFilter(new AutoCompleteFilter(combo));
}

// ---- spelling and thesaurus

void SpellAndThesaurusKeys(QWidget* control, int keyCode) {
  if (keyCode == kKeyF7 || keyCode == Qt::Key_F7) {
    CheckSpellingOfWindow(control);
  } else if (keyCode == kKeyF8 || keyCode == Qt::Key_F8) {
    if (forms::SelLength(control) > 0) forms::LookUpSelection(control, forms::Thesaurus::Default());
  }
}

void CheckSpellingOfWindow(QWidget* control) {
  forms::CheckWindowSpelling(control, forms::SpellChecker::Default());
  CheckTyping(control);
}

void CheckTyping(QWidget* control) { forms::CheckTyping(control, forms::SpellChecker::Default()); }

// ---- help

void SetHelpFile(QWidget* owner, const std::string& folder) {
  Help().owner = owner;
  // Only "/" ends a folder's name here: "\" is a character of the name.
  if (!folder.empty() && folder.back() == '/') Help().file = folder + kHelpFileName;
  else Help().file = folder + "/" + kHelpFileName;
}

std::string HelpFile() { return Help().file; }
QWidget* HelpOwnerWindow() { return Help().owner; }

void ShowHelpTopic(std::int32_t topic) {
  std::string file = Help().file;
  if (file.empty()) file = forms::ShippedHelpFolder() + "/" + kHelpFileName;
  forms::ShowHelpPage(file, topic);  // the result is not looked at
}

void QuitHelp() { forms::CloseHelp(); }

// ---- tips and sections

void ReadTipSetting() {
  const std::string value = vb::GetSetting("TVN", "Startup", "TipOnOff");
  std::int16_t tip = 0;
  if (value != "0" && vb::IsNumeric(vb::Variant(value))) {
    const double v = std::nearbyint(vb::Val(value));  // ties to even, as CInt
    if (v >= -32768 && v <= 32767) tip = std::int16_t(v);
  }
  App().TipNum = tip;
}

void ResetSectionFlags() {
  TVNDATA* d = AVData();
  d->CSEnter(vb::True);
  d->LoadFirstRec(vb::True);
  d->CS_On(vb::False);
  d->CD_On(vb::False);
  d->DVD_On(vb::False);
  d->LD_On(vb::False);
  d->SCD_On(vb::False);
  d->VT_On(vb::False);
  d->LP_On(vb::False);
  d->MD_On(vb::False);
  d->MP_On(vb::False);
  d->MusicOn(vb::False);
  d->VideoOn(vb::False);
}

}  // namespace tvn
