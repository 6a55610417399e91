#include "platform/forms/Spelling.h"

#include <hunspell/hunspell.hxx>

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTextCharFormat>
#include <QTextEdit>
#include <QTextStream>
#include <QVBoxLayout>

#include "platform/forms/Controls.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/Prompter.h"

namespace forms {

namespace {

bool Readable(const std::string& path) { return QFileInfo(QString::fromStdString(path)).isReadable(); }

std::unique_ptr<SpellChecker>& DefaultChecker() {
  static std::unique_ptr<SpellChecker> checker;
  return checker;
}

std::vector<QPointer<SpellHighlighter>>& Highlighters() {
  static std::vector<QPointer<SpellHighlighter>> list;
  return list;
}

bool IsWordChar(QChar c) { return c.isLetter() || c.isMark(); }
bool IsApostrophe(QChar c) { return c == QLatin1Char('\'') || c == QChar(0x2019); }

}  // namespace

SpellChecker::SpellChecker(const std::string& affFile, const std::string& dicFile,
                           const std::string& userDictionary)
    : userDictionary_(userDictionary) {
  if (!Readable(affFile) || !Readable(dicFile)) return;
  hunspell_ = std::make_unique<Hunspell>(affFile.c_str(), dicFile.c_str());
  QFile f(QString::fromStdString(userDictionary_));
  if (f.open(QIODevice::ReadOnly | QIODevice::Text)) {
    QTextStream in(&f);
    while (!in.atEnd()) {
      const QString w = in.readLine().trimmed();
      if (w.isEmpty() || added_.count(w)) continue;
      added_.insert(w);
      hunspell_->add(w.toStdString());
    }
  }
}

SpellChecker::~SpellChecker() = default;

bool SpellChecker::IsKnown(const QString& word) const {
  if (!hunspell_ || word.isEmpty()) return true;
  QString w = word;
  w.replace(QChar(0x2019), QLatin1Char('\''));
  return hunspell_->spell(w.toStdString());
}

QStringList SpellChecker::Suggest(const QString& word) const {
  QStringList out;
  if (!hunspell_ || word.isEmpty()) return out;
  for (const std::string& s : hunspell_->suggest(word.toStdString())) out << QString::fromStdString(s);
  return out;
}

bool SpellChecker::AddWord(const QString& word) {
  const QString w = word.trimmed();
  if (w.isEmpty()) return true;
  if (hunspell_) hunspell_->add(w.toStdString());
  if (added_.count(w)) return true;
  added_.insert(w);
  QFile f(QString::fromStdString(userDictionary_));
  if (!f.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) return false;
  QTextStream out(&f);
  out << w << '\n';
  out.flush();
  return f.error() == QFileDevice::NoError;
}

SpellChecker& SpellChecker::Default() {
  auto& checker = DefaultChecker();
  if (!checker) {
    const std::string dict = vb::ResolvePath(vb::ProgramFolder() + "/" + kUserDictionaryName);
    checker = std::make_unique<SpellChecker>(kDefaultAffFile, kDefaultDicFile, dict);
  }
  return *checker;
}

void SpellChecker::ResetDefault() {
  auto& checker = DefaultChecker();
  for (auto& h : Highlighters()) {
    if (h) h->setDocument(nullptr);
  }
  Highlighters().clear();
  checker.reset();
}

std::vector<WordSpan> FindWords(const QString& text) {
  std::vector<WordSpan> words;
  const int n = int(text.size());
  int i = 0;
  while (i < n) {
    if (!IsWordChar(text[i]) && !text[i].isDigit()) {
      ++i;
      continue;
    }
    const int start = i;
    bool digits = false;
    while (i < n) {
      const QChar c = text[i];
      if (IsWordChar(c)) {
        ++i;
      } else if (c.isDigit()) {
        digits = true;
        ++i;
      } else if (IsApostrophe(c) && i + 1 < n && IsWordChar(text[i + 1]) && i > start) {
        ++i;
      } else {
        break;
      }
    }
    if (!digits) words.push_back({start, i - start});
  }
  return words;
}

// ---- dialog

SpellDialog::SpellDialog(const QString& word, const QStringList& suggestions, QWidget* parent)
    : QDialog(parent) {
  setObjectName(QStringLiteral("SpellDialog"));
  setWindowTitle(QStringLiteral("Spelling"));
  auto* layout = new QVBoxLayout(this);
  auto* notFound = new QLabel(QStringLiteral("Not in dictionary: <b>%1</b>").arg(word.toHtmlEscaped()), this);
  layout->addWidget(notFound);
  layout->addWidget(new QLabel(QStringLiteral("Change to:"), this));
  replacement_ = new QLineEdit(suggestions.isEmpty() ? word : suggestions.first(), this);
  replacement_->setObjectName(QStringLiteral("Replacement"));
  layout->addWidget(replacement_);
  layout->addWidget(new QLabel(QStringLiteral("Suggestions:"), this));
  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("Suggestions"));
  list_->addItems(suggestions);
  if (!suggestions.isEmpty()) list_->setCurrentRow(0);
  layout->addWidget(list_);
  connect(list_, &QListWidget::currentTextChanged, replacement_, &QLineEdit::setText);
  auto* buttons = new QHBoxLayout;
  auto add = [&](const QString& caption, const char* name, SpellAction action) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(QLatin1String(name));
    buttons->addWidget(b);
    connect(b, &QPushButton::clicked, this, [this, action] { Finish(action); });
    return b;
  };
  add(QStringLiteral("&Replace"), "Replace", SpellAction::Replace)->setDefault(true);
  add(QStringLiteral("&Ignore"), "Ignore", SpellAction::Ignore);
  add(QStringLiteral("&Add"), "Add", SpellAction::Add);
  add(QStringLiteral("Cancel"), "Cancel", SpellAction::Cancel);
  layout->addLayout(buttons);
  connect(list_, &QListWidget::itemDoubleClicked, this, [this] { Finish(SpellAction::Replace); });
}

void SpellDialog::Finish(SpellAction action) {
  decision_.action = action;
  decision_.replacement = replacement_->text();
  if (action == SpellAction::Cancel) reject();
  else accept();
}

SpellDecider SpellDialog::Asker(QWidget* parent) {
  QPointer<QWidget> owner(parent);
  return [owner](const QString& word, const QStringList& suggestions) {
    SpellDialog dialog(word, suggestions, owner ? owner->window() : nullptr);
    dialog.exec();
    return dialog.Decision();
  };
}

int CheckWindowSpelling(QWidget* control, SpellChecker& checker, SpellDecider decide) {
  if (!control || !IsTextControl(control) || !control->isEnabled()) return 0;
  if (auto* e = qobject_cast<QLineEdit*>(control); e && e->isReadOnly()) return 0;
  if (auto* c = qobject_cast<QComboBox*>(control); c && !c->isEditable()) return 0;
  if (auto* t = qobject_cast<QTextEdit*>(control); t && t->isReadOnly()) return 0;
  if (auto* p = qobject_cast<QPlainTextEdit*>(control); p && p->isReadOnly()) return 0;
  if (!checker.IsReady()) {
    vb::MsgBox("The spelling dictionary could not be read.", vb::vbOKOnly + vb::vbExclamation);
    return 0;
  }
  if (!decide) decide = SpellDialog::Asker(control);
  QPointer<QWidget> guard(control);
  std::set<QString> ignored;
  int unknown = 0;
  int pos = 0;
  bool cancelled = false;
  while (!cancelled && guard) {
    const QString text = ControlText(control);
    const auto words = FindWords(text.mid(pos));
    bool found = false;
    for (const WordSpan& w : words) {
      const int start = pos + w.start;
      const QString word = text.mid(start, w.length);
      if (ignored.count(word) || checker.IsKnown(word)) continue;
      found = true;
      ++unknown;
      SetSelection(control, start, w.length);
      const SpellDecision d = decide(word, checker.Suggest(word));
      if (!guard) return unknown;
      switch (d.action) {
        case SpellAction::Replace:
          SetSelection(control, start, w.length);
          ReplaceSelection(control, d.replacement);
          pos = start + int(d.replacement.size());
          break;
        case SpellAction::Ignore:
          ignored.insert(word);
          pos = start + w.length;
          break;
        case SpellAction::Add:
          if (!checker.AddWord(word)) {
            vb::MsgBox("The word could not be written to the user dictionary \"" + checker.UserDictionary() + "\".",
                       vb::vbOKOnly + vb::vbExclamation);
          }
          SpellHighlighter::RehighlightAll();
          pos = start + w.length;
          break;
        case SpellAction::Cancel:
          cancelled = true;
          break;
      }
      break;  // the text may have changed: look again from pos
    }
    if (!found) break;
  }
  if (!cancelled && guard) vb::MsgBox("The spelling check is complete.", vb::vbOKOnly + vb::vbInformation);
  return unknown;
}

// ---- as-you-type

SpellHighlighter::SpellHighlighter(QTextDocument* document, SpellChecker* checker)
    : QSyntaxHighlighter(document), checker_(checker) {
  setObjectName(QStringLiteral("SpellHighlighter"));
  auto& list = Highlighters();
  std::erase_if(list, [](const QPointer<SpellHighlighter>& h) { return h.isNull(); });
  list.emplace_back(this);
}

void SpellHighlighter::RehighlightAll() {
  for (auto& h : Highlighters()) {
    if (h) h->rehighlight();
  }
}

void SpellHighlighter::highlightBlock(const QString& text) {
  if (!checker_ || !checker_->IsReady()) return;
  QTextCharFormat bad;
  bad.setUnderlineStyle(QTextCharFormat::SpellCheckUnderline);
  bad.setUnderlineColor(Qt::red);
  for (const WordSpan& w : FindWords(text)) {
    if (!checker_->IsKnown(text.mid(w.start, w.length))) setFormat(w.start, w.length, bad);
  }
}

void CheckTyping(QWidget* control, SpellChecker& checker) {
  QTextDocument* doc = nullptr;
  if (auto* t = qobject_cast<QTextEdit*>(control)) doc = t->document();
  else if (auto* p = qobject_cast<QPlainTextEdit*>(control)) doc = p->document();
  if (!doc || doc->findChild<SpellHighlighter*>(QString(), Qt::FindDirectChildrenOnly)) return;
  new SpellHighlighter(doc, &checker);
}

void StopCheckingTyping(QWidget* window) {
  auto stop = [](QTextDocument* document) {
    for (auto* h : document->findChildren<SpellHighlighter*>(Qt::FindDirectChildrenOnly)) {
      h->setDocument(nullptr);
      h->deleteLater();
    }
  };
  for (QTextEdit* t : window->findChildren<QTextEdit*>()) stop(t->document());
  for (QPlainTextEdit* t : window->findChildren<QPlainTextEdit*>()) stop(t->document());
}

}  // namespace forms
