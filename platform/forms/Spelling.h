#pragma once
// Spelling: a checker over hunspell with the user's own dictionary, the
// spelling dialog, the check of one text control word by word, and the
// as-you-type underlining of unknown words.
#include <functional>
#include <memory>
#include <set>
#include <string>

#include <QDialog>
#include <QString>
#include <QStringList>
#include <QSyntaxHighlighter>

class Hunspell;
class QLabel;
class QLineEdit;
class QListWidget;

namespace forms {

// The system's English word list and the user dictionary file.
constexpr const char* kDefaultAffFile = "/usr/share/hunspell/en_US.aff";
constexpr const char* kDefaultDicFile = "/usr/share/hunspell/en_US.dic";
constexpr const char* kUserDictionaryName = "MyDictionary.dct";

class SpellChecker {
 public:
  // userDictionary: a text file of added words, one per line (UTF-8); it
  // need not exist yet.
  SpellChecker(const std::string& affFile, const std::string& dicFile, const std::string& userDictionary);
  ~SpellChecker();
  SpellChecker(const SpellChecker&) = delete;
  SpellChecker& operator=(const SpellChecker&) = delete;

  // False when the word list could not be read; then every word counts as
  // known and there are no suggestions.
  bool IsReady() const { return bool(hunspell_); }
  bool IsKnown(const QString& word) const;
  QStringList Suggest(const QString& word) const;
  // Adds the word to the user dictionary file and to the words known now.
  // False when the file could not be written (the word is still known
  // until the program ends).
  bool AddWord(const QString& word);
  const std::string& UserDictionary() const { return userDictionary_; }

  // The program's checker: the system word list and "MyDictionary.dct" in
  // the program folder, made on first use.
  static SpellChecker& Default();
  // Forgets the program's checker, so the next use reads the files again.
  static void ResetDefault();

 private:
  std::unique_ptr<Hunspell> hunspell_;
  std::string userDictionary_;
  std::set<QString> added_;
};

// The words of a text: runs of letters, with apostrophes inside a word
// kept ("don't"). Words holding digits are not words here.
struct WordSpan {
  int start;
  int length;
};
std::vector<WordSpan> FindWords(const QString& text);

enum class SpellAction { Replace, Ignore, Add, Cancel };
struct SpellDecision {
  SpellAction action = SpellAction::Cancel;
  QString replacement;
};
using SpellDecider = std::function<SpellDecision(const QString& word, const QStringList& suggestions)>;

// The spelling dialog: the unknown word, the suggestions, the replacement,
// and Replace, Ignore, Add and Cancel.
class SpellDialog : public QDialog {
  Q_OBJECT
 public:
  SpellDialog(const QString& word, const QStringList& suggestions, QWidget* parent = nullptr);
  SpellDecision Decision() const { return decision_; }
  QLineEdit* ReplacementEdit() const { return replacement_; }
  QListWidget* SuggestionList() const { return list_; }
  // The dialog as a decider (modal, over parent).
  static SpellDecider Asker(QWidget* parent);

 private:
  void Finish(SpellAction action);
  QLineEdit* replacement_;
  QListWidget* list_;
  SpellDecision decision_;
};

// Checks the text of a text control word by word: each unknown word is
// selected and handed to decide (the dialog when empty). Ends with the
// message that the check is complete. Returns the number of unknown words
// met. A control without text, a read-only or disabled one is left alone.
int CheckWindowSpelling(QWidget* control, SpellChecker& checker, SpellDecider decide = {});

// Underlines the unknown words of a document while it is typed.
class SpellHighlighter : public QSyntaxHighlighter {
  Q_OBJECT
 public:
  SpellHighlighter(QTextDocument* document, SpellChecker* checker);
  // Rechecks every open document (after a word was added).
  static void RehighlightAll();

 protected:
  void highlightBlock(const QString& text) override;

 private:
  SpellChecker* checker_;
};

// Turns the as-you-type check on for a rich or plain text box (once; a
// second call does nothing). Single-line fields are not underlined.
void CheckTyping(QWidget* control, SpellChecker& checker);
// Ends the as-you-type check of every rich and plain text box of a window.
void StopCheckingTyping(QWidget* window);

}  // namespace forms
