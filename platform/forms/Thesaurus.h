#pragma once
// The thesaurus: meanings and synonyms of a word from the system's
// thesaurus files (mythes), the thesaurus dialog, and the lookup of the
// selected text of a control with replacement of the selection.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QDialog>
#include <QString>
#include <QStringList>

class MyThes;
class QLineEdit;
class QListWidget;

namespace forms {

constexpr const char* kDefaultThesaurusIndex = "/usr/share/mythes/th_en_US_v2.idx";
constexpr const char* kDefaultThesaurusData = "/usr/share/mythes/th_en_US_v2.dat";

struct Meaning {
  QString definition;   // "(adj) glad (related term)"
  QStringList synonyms;  // as listed, with their notes ("glad (related term)")
};

// A listed synonym without its note: "glad (related term)" gives "glad".
QString SynonymWord(const QString& listed);

class Thesaurus {
 public:
  Thesaurus(const std::string& indexFile, const std::string& dataFile);
  ~Thesaurus();
  Thesaurus(const Thesaurus&) = delete;
  Thesaurus& operator=(const Thesaurus&) = delete;

  bool IsReady() const { return bool(thes_); }
  // The meanings of the word; tried as written, then in lower case.
  std::vector<Meaning> Lookup(const QString& word) const;

  static Thesaurus& Default();

 private:
  std::unique_ptr<MyThes> thes_;
};

// The thesaurus dialog: the meanings, the synonyms of the chosen meaning,
// the replacement, and Replace and Cancel.
class ThesaurusDialog : public QDialog {
  Q_OBJECT
 public:
  ThesaurusDialog(const QString& word, const std::vector<Meaning>& meanings, QWidget* parent = nullptr);
  QString Replacement() const;
  QListWidget* MeaningList() const { return meanings_; }
  QListWidget* SynonymList() const { return synonyms_; }
  QLineEdit* ReplacementEdit() const { return replacement_; }

 private:
  void ShowMeaning(int row);
  std::vector<Meaning> data_;
  QListWidget* meanings_;
  QListWidget* synonyms_;
  QLineEdit* replacement_;
};

// Chooses a replacement for word among its meanings; "" keeps the word.
using ThesaurusChooser = std::function<QString(const QString& word, const std::vector<Meaning>& meanings)>;

// Looks the control's selected text up (nothing happens without a
// selection) and replaces the selection with the chosen word. A word with
// no entry is reported with a message. Returns true when the selection was
// replaced.
bool LookUpSelection(QWidget* control, Thesaurus& thesaurus, ThesaurusChooser choose = {});

}  // namespace forms
