// Spelling and thesaurus over the system's English word list and thesaurus.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>

#include "platform/forms/Spelling.h"
#include "platform/forms/Thesaurus.h"
#include "platform/forms/tests/TestApp.h"
#include "platform/runtime/Prompter.h"

namespace {

class Language : public ::testing::Test {
 protected:
  void SetUp() override {
    TestApp();
    ASSERT_TRUE(dir_.isValid());
    userDict_ = dir_.filePath("MyDictionary.dct").toStdString();
    vb::PromptScript::Install();
  }
  void TearDown() override { vb::PromptScript::Uninstall(); }
  std::unique_ptr<forms::SpellChecker> Checker() {
    return std::make_unique<forms::SpellChecker>(forms::kDefaultAffFile, forms::kDefaultDicFile, userDict_);
  }
  QTemporaryDir dir_;
  std::string userDict_;
};

TEST_F(Language, WordsOfATextSkipDigitsAndKeepApostrophes) {
  const QString text = "Don't stop 4ever -- rock'n'roll, 'quoted' R2D2";
  QStringList words;
  for (const auto& w : forms::FindWords(text)) words << text.mid(w.start, w.length);
  EXPECT_EQ(words, QStringList({"Don't", "stop", "rock'n'roll", "quoted"}));
}

TEST_F(Language, SuggestionsAndTheUserDictionarySurviveAReload) {
  auto checker = Checker();
  ASSERT_TRUE(checker->IsReady());
  EXPECT_TRUE(checker->IsKnown("record"));
  EXPECT_FALSE(checker->IsKnown("recrod"));
  EXPECT_TRUE(checker->Suggest("recrod").contains("record"));
  EXPECT_FALSE(checker->IsKnown("Tavolin"));
  EXPECT_TRUE(checker->AddWord("Tavolin"));
  EXPECT_TRUE(checker->AddWord("Tavolin"));  // a second time is not written twice
  EXPECT_TRUE(checker->IsKnown("Tavolin"));
  // A new checker (the next start) reads the added word from the file.
  checker = Checker();
  EXPECT_TRUE(checker->IsKnown("Tavolin"));
  QFile f(QString::fromStdString(userDict_));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), QByteArray("Tavolin\n"));
}

TEST_F(Language, MissingWordListKnowsEveryWordAndTellsTheUser) {
  forms::SpellChecker checker("/nonexistent.aff", "/nonexistent.dic", userDict_);
  EXPECT_FALSE(checker.IsReady());
  EXPECT_TRUE(checker.IsKnown("recrod"));
  QLineEdit edit("recrod");
  EXPECT_EQ(forms::CheckWindowSpelling(&edit, checker, [](const QString&, const QStringList&) {
              ADD_FAILURE() << "no dialog without a word list";
              return forms::SpellDecision{};
            }),
            0);
  ASSERT_EQ(vb::PromptScript::Records().size(), 1u);
  EXPECT_EQ(edit.text(), "recrod");
}

TEST_F(Language, CheckingAFieldReplacesIgnoresAndAdds) {
  auto checker = Checker();
  QLineEdit edit("Teh recrod of Zorblax and teh recrod");
  QStringList asked;
  auto decide = [&](const QString& word, const QStringList& suggestions) {
    asked << word;
    if (word == "Teh") return forms::SpellDecision{forms::SpellAction::Replace, "The"};
    if (word == "recrod") {
      EXPECT_TRUE(suggestions.contains("record"));
      return forms::SpellDecision{forms::SpellAction::Ignore, {}};
    }
    if (word == "Zorblax") return forms::SpellDecision{forms::SpellAction::Add, {}};
    return forms::SpellDecision{forms::SpellAction::Replace, "the"};
  };
  EXPECT_EQ(forms::CheckWindowSpelling(&edit, *checker, decide), 4);
  // An ignored word is not asked again in the same check; an added word is known.
  EXPECT_EQ(asked, QStringList({"Teh", "recrod", "Zorblax", "teh"}));
  EXPECT_EQ(edit.text(), "The recrod of Zorblax and the recrod");
  EXPECT_TRUE(checker->IsKnown("Zorblax"));
  ASSERT_FALSE(vb::PromptScript::Records().empty());
  EXPECT_EQ(vb::PromptScript::Records().back().text, "The spelling check is complete.");

  // Cancel stops at once, without the closing message.
  vb::PromptScript::Clear();
  edit.setText("Teh end");
  forms::CheckWindowSpelling(&edit, *checker, [](const QString&, const QStringList&) {
    return forms::SpellDecision{forms::SpellAction::Cancel, {}};
  });
  EXPECT_EQ(edit.text(), "Teh end");
  EXPECT_TRUE(vb::PromptScript::Records().empty());
}

TEST_F(Language, SpellDialogOffersSuggestionsAndReportsTheChoice) {
  forms::SpellDialog dialog("recrod", {"record", "recorded"});
  EXPECT_EQ(dialog.SuggestionList()->count(), 2);
  EXPECT_EQ(dialog.ReplacementEdit()->text(), "record");
  dialog.SuggestionList()->setCurrentRow(1);
  dialog.findChild<QPushButton*>("Replace")->click();
  EXPECT_EQ(dialog.Decision().action, forms::SpellAction::Replace);
  EXPECT_EQ(dialog.Decision().replacement, "recorded");
  forms::SpellDialog other("Zorblax", {});
  other.findChild<QPushButton*>("Add")->click();
  EXPECT_EQ(other.Decision().action, forms::SpellAction::Add);
}

TEST_F(Language, TypingCheckUnderlinesOnlyUnknownWords) {
  auto checker = Checker();
  QTextEdit notes;
  forms::CheckTyping(&notes, *checker);
  forms::CheckTyping(&notes, *checker);  // once per document
  EXPECT_EQ(notes.document()->findChildren<forms::SpellHighlighter*>().size(), 1);
  notes.setPlainText("good recrod here");
  const QList<QTextLayout::FormatRange> formats = notes.document()->firstBlock().layout()->formats();
  ASSERT_EQ(formats.size(), 1);
  EXPECT_EQ(formats[0].start, 5);
  EXPECT_EQ(formats[0].length, 6);
  EXPECT_EQ(formats[0].format.underlineStyle(), QTextCharFormat::SpellCheckUnderline);
}

TEST_F(Language, ThesaurusFindsMeaningsOfACommonWord) {
  forms::Thesaurus thesaurus(forms::kDefaultThesaurusIndex, forms::kDefaultThesaurusData);
  ASSERT_TRUE(thesaurus.IsReady());
  const auto meanings = thesaurus.Lookup("Happy");  // found in lower case
  ASSERT_FALSE(meanings.empty());
  QStringList words;
  for (const auto& m : meanings)
    for (const auto& s : m.synonyms) words << forms::SynonymWord(s);
  EXPECT_TRUE(words.contains("glad"));
  EXPECT_TRUE(thesaurus.Lookup("qwxzv").empty());
  EXPECT_EQ(forms::SynonymWord("glad (related term)"), "glad");
  EXPECT_TRUE(forms::Thesaurus("/missing.idx", "/missing.dat").Lookup("happy").empty());
}

TEST_F(Language, ThesaurusReplacesTheSelectionOnly) {
  forms::Thesaurus thesaurus(forms::kDefaultThesaurusIndex, forms::kDefaultThesaurusData);
  QLineEdit edit("a happy day");
  auto chooseGlad = [](const QString& word, const std::vector<forms::Meaning>& meanings) {
    EXPECT_EQ(word, "happy");
    EXPECT_FALSE(meanings.empty());
    return QString("glad");
  };
  // Nothing selected: nothing happens.
  EXPECT_FALSE(forms::LookUpSelection(&edit, thesaurus, chooseGlad));
  EXPECT_TRUE(vb::PromptScript::Records().empty());
  edit.setSelection(2, 6);  // "happy " with its blank
  EXPECT_TRUE(forms::LookUpSelection(&edit, thesaurus, chooseGlad));
  EXPECT_EQ(edit.text(), "a glad day");
  // A word the thesaurus does not know is reported and left.
  edit.setText("qwxzv");
  edit.selectAll();
  EXPECT_FALSE(forms::LookUpSelection(&edit, thesaurus, chooseGlad));
  EXPECT_EQ(edit.text(), "qwxzv");
  ASSERT_EQ(vb::PromptScript::Records().size(), 1u);
}

TEST_F(Language, ThesaurusDialogListsSynonymsOfTheChosenMeaning) {
  std::vector<forms::Meaning> meanings = {{"(adj) glad", {"glad (related term)", "joyful"}},
                                          {"(adj) felicitous", {"felicitous", "well-chosen"}}};
  forms::ThesaurusDialog dialog("happy", meanings);
  EXPECT_EQ(dialog.MeaningList()->count(), 2);
  EXPECT_EQ(dialog.SynonymList()->count(), 2);
  dialog.MeaningList()->setCurrentRow(1);
  dialog.SynonymList()->setCurrentRow(1);
  EXPECT_EQ(dialog.Replacement(), "well-chosen");
  dialog.MeaningList()->setCurrentRow(0);
  dialog.SynonymList()->setCurrentRow(0);
  EXPECT_EQ(dialog.Replacement(), "glad");
}

}  // namespace
