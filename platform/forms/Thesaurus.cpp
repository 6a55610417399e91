#include "platform/forms/Thesaurus.h"

#include <cstdio>  // mythes.hxx uses FILE without including it
#include <mythes.hxx>

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

#include "platform/forms/Controls.h"
#include "platform/runtime/Prompter.h"

namespace forms {

QString SynonymWord(const QString& listed) {
  static const QRegularExpression note(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
  QString w = listed;
  w.remove(note);
  return w.trimmed();
}

Thesaurus::Thesaurus(const std::string& indexFile, const std::string& dataFile) {
  if (!QFileInfo(QString::fromStdString(indexFile)).isReadable() ||
      !QFileInfo(QString::fromStdString(dataFile)).isReadable())
    return;
  thes_ = std::make_unique<MyThes>(indexFile.c_str(), dataFile.c_str());
}

Thesaurus::~Thesaurus() = default;

std::vector<Meaning> Thesaurus::Lookup(const QString& word) const {
  std::vector<Meaning> out;
  if (!thes_) return out;
  const QString trimmed = word.trimmed();
  if (trimmed.isEmpty()) return out;
  for (const QString& w : {trimmed, trimmed.toLower()}) {
    const QByteArray key = w.toUtf8();
    mentry* entries = nullptr;
    const int n = thes_->Lookup(key.constData(), int(key.size()), &entries);
    for (int i = 0; i < n; ++i) {
      Meaning m;
      m.definition = QString::fromUtf8(entries[i].defn ? entries[i].defn : "");
      for (int j = 0; j < entries[i].count; ++j) m.synonyms << QString::fromUtf8(entries[i].psyns[j]);
      out.push_back(std::move(m));
    }
    if (n > 0) thes_->CleanUpAfterLookup(&entries, n);
    if (!out.empty() || w == trimmed.toLower()) break;
  }
  return out;
}

Thesaurus& Thesaurus::Default() {
  static Thesaurus thesaurus(kDefaultThesaurusIndex, kDefaultThesaurusData);
  return thesaurus;
}

ThesaurusDialog::ThesaurusDialog(const QString& word, const std::vector<Meaning>& meanings, QWidget* parent)
    : QDialog(parent), data_(meanings) {
  setObjectName(QStringLiteral("ThesaurusDialog"));
  setWindowTitle(QStringLiteral("Thesaurus"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("Looked up: <b>%1</b>").arg(word.toHtmlEscaped()), this));
  auto* lists = new QHBoxLayout;
  auto* left = new QVBoxLayout;
  left->addWidget(new QLabel(QStringLiteral("Meanings:"), this));
  meanings_ = new QListWidget(this);
  meanings_->setObjectName(QStringLiteral("Meanings"));
  for (const Meaning& m : data_) meanings_->addItem(m.definition);
  left->addWidget(meanings_);
  auto* right = new QVBoxLayout;
  right->addWidget(new QLabel(QStringLiteral("Synonyms:"), this));
  synonyms_ = new QListWidget(this);
  synonyms_->setObjectName(QStringLiteral("Synonyms"));
  right->addWidget(synonyms_);
  lists->addLayout(left);
  lists->addLayout(right);
  layout->addLayout(lists);
  layout->addWidget(new QLabel(QStringLiteral("Replace with:"), this));
  replacement_ = new QLineEdit(word, this);
  replacement_->setObjectName(QStringLiteral("Replacement"));
  layout->addWidget(replacement_);
  auto* buttons = new QHBoxLayout;
  auto* replace = new QPushButton(QStringLiteral("&Replace"), this);
  replace->setObjectName(QStringLiteral("Replace"));
  replace->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  cancel->setObjectName(QStringLiteral("Cancel"));
  buttons->addStretch(1);
  buttons->addWidget(replace);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);
  connect(replace, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(meanings_, &QListWidget::currentRowChanged, this, &ThesaurusDialog::ShowMeaning);
  connect(synonyms_, &QListWidget::currentTextChanged, this,
          [this](const QString& s) { if (!s.isEmpty()) replacement_->setText(SynonymWord(s)); });
  connect(synonyms_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
  if (!data_.empty()) meanings_->setCurrentRow(0);
}

void ThesaurusDialog::ShowMeaning(int row) {
  synonyms_->clear();
  if (row < 0 || row >= int(data_.size())) return;
  synonyms_->addItems(data_[size_t(row)].synonyms);
}

QString ThesaurusDialog::Replacement() const { return replacement_->text(); }

bool LookUpSelection(QWidget* control, Thesaurus& thesaurus, ThesaurusChooser choose) {
  if (!control) return false;
  const QString selected = SelectedText(control);
  if (selected.isEmpty()) return false;
  const QString word = selected.trimmed();
  if (!thesaurus.IsReady()) {
    vb::MsgBox("The thesaurus could not be read.", vb::vbOKOnly + vb::vbExclamation);
    return false;
  }
  const std::vector<Meaning> meanings = thesaurus.Lookup(word);
  if (meanings.empty()) {
    vb::MsgBox("No synonyms were found for \"" + word.toStdString() + "\".", vb::vbOKOnly + vb::vbInformation);
    return false;
  }
  QPointer<QWidget> guard(control);
  QString replacement;
  if (choose) {
    replacement = choose(word, meanings);
  } else {
    ThesaurusDialog dialog(word, meanings, control->window());
    if (dialog.exec() == QDialog::Accepted) replacement = dialog.Replacement();
  }
  replacement = replacement.trimmed();
  if (!guard || replacement.isEmpty() || replacement == word) return false;
  // Blanks selected around the word stay where they were.
  const qsizetype lead = selected.size() - selected.trimmed().size() == 0 ? 0 : selected.indexOf(word);
  const QString before = selected.left(lead);
  const QString after = selected.mid(lead + word.size());
  ReplaceSelection(control, before + replacement + after);
  return true;
}

}  // namespace forms
