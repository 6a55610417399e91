// The helper module: input behaviour, toolbar states, help, tips, section
// flags, lookup and grid fillers, and record pictures.
#include <gtest/gtest.h>

#include <cstdlib>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QListView>
#include <QTest>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTextEdit>
#include <QToolBar>
#include <QUrl>

#include "core/AppState.h"
#include "core/TavolinModule.h"
#include "core/tests/FakeDao.h"
#include "platform/forms/FlexGrid.h"
#include "platform/forms/HelpViewer.h"
#include "platform/forms/ShellOpen.h"
#include "platform/forms/Spelling.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/Prompter.h"
#include "platform/runtime/Settings.h"

// Fontconfig keeps its caches until the process ends; the leak checker of
// the sanitizer build is told so, and still reports every other leak.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }

namespace {

QApplication& TestApp() {
  static int argc = 1;
  static char name[] = "tavolin_module_test";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

using fake::Row;
using vb::Variant;

class Module : public ::testing::Test {
 protected:
  void SetUp() override {
    TestApp();
    ASSERT_TRUE(home_.isValid());
    setenv("TAVOLIN_HOME", home_.path().toLocal8Bit().constData(), 1);
    vb::SetSettingsFile(home_.filePath("settings.ini").toStdString());
    vb::PromptScript::Install();
  }
  void TearDown() override {
    vb::PromptScript::Uninstall();
    vb::SetSettingsFile("");
    forms::SpellChecker::ResetDefault();
    tvn::App().CollectionDB.reset();
  }
  std::vector<std::string> Prompts() const { return vb::PromptScript::Texts(); }
  QString Home(const QString& name) const { return home_.filePath(name); }
  static void WriteImage(const QString& path) {
    QImage img(4, 3, QImage::Format_RGB32);
    img.fill(Qt::red);
    ASSERT_TRUE(img.save(path, "JPG"));
  }
  QTemporaryDir home_;
};

// ---- combo completion

struct ComboWindow {
  QMainWindow window;
  QAction* smart = nullptr;
  QComboBox* combo = nullptr;
  ComboWindow() {
    window.setObjectName("NewMain_Form");
    smart = window.menuBar()->addMenu("File")->addAction("Smart Combo");
    smart->setObjectName("SmartComboMenu");
    smart->setCheckable(true);
    smart->setChecked(true);
    combo = new QComboBox(&window);
    combo->setEditable(true);
    combo->addItems({"Rock", "Rockabilly"});
    combo->setEditText("");
    window.setCentralWidget(combo);
    tvn::AttachComboAutoComplete(combo);
    tvn::AttachComboAutoComplete(combo);  // once is enough; twice does no harm
    window.show();
  }
  void Type(char c) {
    const QString text(QChar::fromLatin1(c));
    const int key = Qt::Key_A + (QChar::fromLatin1(c).toUpper().unicode() - 'A');
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(combo->lineEdit(), &press);
    QApplication::sendEvent(combo->lineEdit(), &release);
  }
  QString Selected() const { return combo->lineEdit()->selectedText(); }
};

TEST_F(Module, ComboCompletionFollowsTheTypedLetters) {
  ComboWindow w;
  w.Type('r');
  EXPECT_EQ(w.combo->currentText(), "Rock");
  EXPECT_EQ(w.Selected(), "ock");
  w.Type('o');
  EXPECT_EQ(w.combo->currentText(), "Rock");
  EXPECT_EQ(w.Selected(), "ck");
  w.Type('x');  // no item begins with "Rox": typed as usual, over the selection
  EXPECT_EQ(w.combo->currentText(), "Rox");
  EXPECT_EQ(w.Selected(), "");
  w.Type('y');
  EXPECT_EQ(w.combo->currentText(), "Roxy");

  // With the menu entry unchecked the combo is a plain combo.
  w.smart->setChecked(false);
  w.combo->setEditText("");
  w.Type('r');
  EXPECT_EQ(w.combo->currentText(), "r");

  // A list-only combo is never completed.
  w.smart->setChecked(true);
  QComboBox list;
  list.addItems({"Rock", "Rockabilly"});
  std::int16_t key = 'r';
  tvn::ComboAutoComplete(key, &list);
  EXPECT_EQ(key, 'r');
}

// ---- double quotes

TEST_F(Module, CheckNoQuoteRemovesPastedQuotesWithOneMessage) {
  QLineEdit edit;
  edit.setText("The \"Best\" of \"Them\"");
  tvn::CheckNoQuote(&edit);
  EXPECT_EQ(edit.text(), "The Best of Them");
  ASSERT_EQ(Prompts().size(), 1u);
  EXPECT_EQ(Prompts()[0], "The \" is an an invalid character");
  EXPECT_EQ(vb::PromptScript::Records()[0].buttons, vb::vbOKOnly + vb::vbInformation);

  tvn::CheckNoQuote(&edit);  // nothing to remove: no message
  EXPECT_EQ(Prompts().size(), 1u);

  QComboBox combo;
  combo.setEditable(true);
  combo.setEditText("Rock \"n\" Roll");
  tvn::CheckNoQuote(&combo);
  EXPECT_EQ(combo.currentText(), "Rock n Roll");
  QTextEdit notes;
  notes.setPlainText("a \"b\"");
  tvn::CheckNoQuote(&notes);
  EXPECT_EQ(notes.toPlainText(), "a b");
  EXPECT_EQ(Prompts().size(), 3u);
}

// ---- toolbar states

TEST_F(Module, ToolbarStatesSetTheFirstSixButtonsOnly) {
  QMainWindow window;
  QToolBar* bar = window.addToolBar("Record");
  bar->setObjectName("Toolbar1");
  for (const char* t : {"Add", "Cancel add", "File", "Delete", "Previous", "Next"}) bar->addAction(t);
  bar->addSeparator();
  QAction* wizard = bar->addAction("Report Wizard");
  auto visible = [&] {
    std::string s;
    for (int i = 0; i < 6; ++i) s += bar->actions()[i]->isVisible() ? '1' : '0';
    return s;
  };
  tvn::ToolbarAddMode(&window);
  EXPECT_EQ(visible(), "011000");
  tvn::ToolbarBrowseMode(&window);
  EXPECT_EQ(visible(), "101111");
  tvn::ToolbarEmptyMode(&window);
  EXPECT_EQ(visible(), "100000");
  EXPECT_TRUE(wizard->isVisible());
  EXPECT_TRUE(bar->actions()[6]->isVisible());
  QWidget bare;
  EXPECT_THROW(tvn::ToolbarBrowseMode(&bare), vb::RuntimeError);
}

// ---- help, tips, sections, shell

TEST_F(Module, HelpFilePathAndEveryTopicHasAPage) {
  QWidget owner;
  tvn::SetHelpFile(&owner, "/opt/tavolin");
  EXPECT_EQ(tvn::HelpFile(), "/opt/tavolin/Reruve.HLP");
  tvn::SetHelpFile(&owner, "/opt/tavolin/");
  EXPECT_EQ(tvn::HelpFile(), "/opt/tavolin/Reruve.HLP");
  // A "\" that ends a folder's name is part of the name.
  tvn::SetHelpFile(&owner, "/data/ends here\\");
  EXPECT_EQ(tvn::HelpFile(), "/data/ends here\\/Reruve.HLP");
  EXPECT_EQ(tvn::HelpOwnerWindow(), &owner);

  // The data folder holds no help file: the shipped pages are shown.
  tvn::SetHelpFile(&owner, home_.path().toStdString());
  const auto topics = forms::ReadHelpFile(forms::ShippedHelpFolder() + "/Reruve.HLP");
  for (int topic : {tvn::HelpContents, tvn::HelpGettingStarted, tvn::HelpStartWindow, tvn::HelpLauncher,
                    tvn::HelpCatalogue, tvn::HelpCollections, tvn::HelpArtists, tvn::HelpCategories,
                    tvn::HelpLabels, tvn::HelpQuickDisplay, tvn::HelpTips, tvn::HelpSelection,
                    tvn::HelpTitleEntry, tvn::HelpAbout, tvn::HelpReports, tvn::HelpGames}) {
    ASSERT_TRUE(topics.count(topic)) << topic;
    tvn::ShowHelpTopic(topic);
    ASSERT_NE(forms::HelpBrowser(), nullptr);
    EXPECT_TRUE(forms::HelpBrowser()->source().toLocalFile().endsWith(QString::fromStdString(topics.at(topic).page)));
  }
  tvn::QuitHelp();
  EXPECT_EQ(forms::HelpBrowser(), nullptr);
}

TEST_F(Module, TipSettingGivesTheNextTipOrNone) {
  auto tipFor = [](const char* value) {
    if (value) vb::SaveSetting("TVN", "Startup", "TipOnOff", value);
    else vb::DeleteSetting("TVN", "Startup", "TipOnOff");
    tvn::App().TipNum = 77;
    tvn::ReadTipSetting();
    return int(tvn::App().TipNum);
  };
  EXPECT_EQ(tipFor(nullptr), 0);
  EXPECT_EQ(tipFor("0"), 0);
  EXPECT_EQ(tipFor("5"), 5);
  EXPECT_EQ(tipFor("2.5"), 2);
  EXPECT_EQ(tipFor("3.5"), 4);
  EXPECT_EQ(tipFor("abc"), 0);
  EXPECT_EQ(tipFor("99999"), 0);
}

TEST_F(Module, ResetSectionFlagsClearsEverySection) {
  tvn::TVNDATA* d = tvn::AVData();
  d->CSEnter(0);
  d->LoadFirstRec(0);
  d->CS_On(-1); d->CD_On(-1); d->DVD_On(-1); d->LD_On(-1); d->SCD_On(-1); d->VT_On(-1);
  d->LP_On(-1); d->MD_On(-1); d->MP_On(-1); d->MusicOn(-1); d->VideoOn(-1);
  tvn::ResetSectionFlags();
  EXPECT_EQ(d->CSEnter(), -1);
  EXPECT_EQ(d->LoadFirstRec(), -1);
  for (auto flag : {d->CS_On(), d->CD_On(), d->DVD_On(), d->LD_On(), d->SCD_On(), d->VT_On(), d->LP_On(),
                    d->MD_On(), d->MP_On(), d->MusicOn(), d->VideoOn()})
    EXPECT_EQ(flag, 0);
}

TEST_F(Module, ShellFailureIsReportedAndKeysDoNothingWithoutCause) {
  std::vector<QUrl> opened;
  forms::SetShellOpenHandler([&](const QUrl& u) { opened.push_back(u); return u.scheme() == "mailto"; });
  tvn::OpenWithShell("mailto:support@example.org");
  EXPECT_TRUE(Prompts().empty());
  tvn::OpenWithShell("https://example.org");
  tvn::OpenWithShell("pics\\nothing-here.jpg");
  forms::SetShellOpenHandler({});
  EXPECT_EQ(opened.size(), 2u);
  EXPECT_EQ(Prompts(), std::vector<std::string>({"error executing command!", "error executing command!"}));

  // F8 without a selection and other keys do nothing; F7 on a field of
  // known words ends with the completion message only.
  vb::PromptScript::Clear();
  QLineEdit edit("good music");
  tvn::SpellAndThesaurusKeys(&edit, Qt::Key_F8);
  tvn::SpellAndThesaurusKeys(&edit, 119);
  tvn::SpellAndThesaurusKeys(&edit, Qt::Key_A);
  EXPECT_TRUE(Prompts().empty());
  tvn::SpellAndThesaurusKeys(&edit, 118);
  EXPECT_EQ(Prompts(), std::vector<std::string>({"The spelling check is complete."}));
}

// ---- lookup choosers and flags

std::vector<Row> Artists() {
  auto row = [](const char* name, bool cas, bool cd, bool dvd, Variant lp) {
    return Row{{"artist_name", Variant(name)}, {"cas", Variant(cas)}, {"cd", Variant(cd)},
               {"DVD", Variant(dvd)},         {"lp", lp},            {"VT", Variant(false)},
               {"scd", Variant::Long(1)}};
  };
  return {row("Abba", true, false, false, Variant::Null()), row("Blondie", false, true, true, Variant(true)),
          row("Cher", false, false, false, Variant(false))};
}

QWidget* UseWithWindow(int first) {
  auto* window = new QWidget;
  auto* combo = new QComboBox(window);
  combo->setObjectName("Select_Item_Combo");
  combo->setEditable(true);
  for (int i = 0; i < 6; ++i) (new QCheckBox(window))->setObjectName(QString("Artist_UseWith_%1").arg(first + i));
  return window;
}

QCheckBox* Box(QWidget* w, int i) { return w->findChild<QCheckBox*>(QString("Artist_UseWith_%1").arg(i)); }

TEST_F(Module, LookupChooserAndSectionFlagBoxes) {
  std::unique_ptr<QWidget> window(UseWithWindow(6));
  fake::Recordset rs(Artists());
  rs.pos_ = 1;
  tvn::FillSelectItemCombo("artist_name", window.get(), rs);
  auto* combo = window->findChild<QComboBox*>("Select_Item_Combo");
  EXPECT_EQ(combo->count(), 3);
  EXPECT_EQ(combo->currentText(), "Abba");
  EXPECT_EQ(rs.pos_, 1);  // the recordset keeps its row

  // Ticks the true flags of Blondie (cd, DVD, lp, scd = 1); never unticks.
  Box(window.get(), 6)->setChecked(true);
  tvn::LoadUseWithBoxes(6, window.get(), rs);
  std::string ticks;
  for (int i = 6; i < 12; ++i) ticks += Box(window.get(), i)->isChecked() ? '1' : '0';
  EXPECT_EQ(ticks, "111101");
  EXPECT_THROW(tvn::LoadUseWithBoxes(0, window.get(), rs), vb::RuntimeError);  // no such boxes

  // A greyed box is stored as false; the row is left pending.
  Box(window.get(), 7)->setTristate(true);
  Box(window.get(), 7)->setCheckState(Qt::PartiallyChecked);
  tvn::SaveUseWithBoxes(6, window.get(), rs, false);
  EXPECT_EQ(rs.EditMode(), dao::dbEditInProgress);
  rs.SetField("artist_name", Variant("Blondie 2"));
  rs.Update();
  EXPECT_EQ(rs.GetField("cas"), Variant(true));
  EXPECT_EQ(rs.GetField("cd"), Variant(false));
  EXPECT_EQ(rs.GetField("DVD"), Variant(true));
  tvn::SaveUseWithBoxes(6, window.get(), rs, true);
  EXPECT_EQ(rs.EditMode(), dao::dbEditAdd);
}

TEST_F(Module, DistinctComboOfTheCurrentSection) {
  auto db = std::make_shared<fake::Database>();
  db->rowsFor = [](const std::string&) {
    return std::vector<Row>{{{"format_type2", Variant("Dolby")}}, {{"format_type2", Variant("Stereo")}}};
  };
  tvn::App().CollectionDB = db;
  tvn::AVData()->SectionNumber(3);
  QComboBox combo;
  combo.addItem("old");
  std::string filter;
  tvn::FillDistinctCombo(&combo, "format_type2", filter);
  EXPECT_EQ(filter, " where sectionnumber = 3 and format_type2 <> '' ");
  EXPECT_EQ(db->opened.back(),
            "select distinct format_type2 from mediadata  where sectionnumber = 3 and format_type2 <> '' order by "
            "format_type2");
  EXPECT_EQ(combo.count(), 2);
  EXPECT_EQ(combo.itemText(1), "Stereo");
  EXPECT_FALSE(db->last->IsOpen());

  std::string given = " where artist1 = 'X'";
  db->rowsFor = nullptr;  // nothing found: the combo stays empty
  tvn::FillDistinctCombo(&combo, "format_type2", given);
  EXPECT_EQ(given, " where artist1 = 'X' and (sectionnumber = 3 and format_type2 <> '') ");
  EXPECT_EQ(combo.count(), 0);
}

// ---- quick display

// ---- pictures

TEST_F(Module, PicturesAreFoundInAnyLetterCaseAndMissingOnesShowNothing) {
  ASSERT_TRUE(QDir(home_.path()).mkdir("Pics"));
  WriteImage(Home("Pics/Cover.JPG"));
  EXPECT_EQ(tvn::PictureFolder(), Home("Pics").toStdString());
  EXPECT_EQ(tvn::PictureReference("Cover.JPG"), "pics\\Cover.JPG");
  EXPECT_EQ(tvn::PicturePath("pics\\cover.jpg"), Home("Pics/Cover.JPG").toStdString());
  EXPECT_EQ(tvn::PicturePath("PICS\\COVER.JPG"), Home("Pics/Cover.JPG").toStdString());
  EXPECT_EQ(tvn::PicturePath("pics\\gone.jpg"), "");
  EXPECT_EQ(tvn::PicturePath("  "), "");
  EXPECT_TRUE(tvn::IsInPictureFolder(Home("Pics/Cover.JPG").toStdString()));
  EXPECT_FALSE(tvn::IsInPictureFolder(Home("Cover.JPG").toStdString()));

  QLabel box;
  EXPECT_TRUE(tvn::ShowPicture(&box, "pics\\cover.jpg"));
  EXPECT_FALSE(box.pixmap().isNull());
  EXPECT_FALSE(tvn::ShowPicture(&box, "pics\\gone.jpg"));
  EXPECT_TRUE(box.pixmap().isNull());
  QFile junk(Home("Pics/junk.jpg"));
  ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
  junk.write("this is no picture");
  junk.close();
  EXPECT_FALSE(tvn::ShowPicture(&box, "pics\\junk.jpg"));
  EXPECT_TRUE(Prompts().empty());  // never a message
}

TEST_F(Module, CopyingAPictureNeverReplacesAnother) {
  ASSERT_TRUE(QDir(home_.path()).mkdir("PICS"));
  WriteImage(Home("PICS/cover.jpg"));
  QFile(Home("PICS/cover (2).JPG")).open(QIODevice::WriteOnly);
  ASSERT_TRUE(QDir(home_.path()).mkdir("elsewhere"));
  WriteImage(Home("elsewhere/Cover.jpg"));
  const QByteArray before = [&] { QFile f(Home("PICS/cover.jpg")); f.open(QIODevice::ReadOnly); return f.readAll(); }();

  EXPECT_EQ(tvn::FreePictureName(Home("PICS").toStdString(), "new.jpg"), "new.jpg");
  EXPECT_EQ(tvn::FreePictureName(Home("PICS").toStdString(), "Cover.jpg"), "Cover (3).jpg");
  EXPECT_EQ(tvn::CopyPictureIntoFolder(Home("elsewhere/Cover.jpg").toStdString()), "Cover (3).jpg");
  EXPECT_TRUE(QFile::exists(Home("PICS/Cover (3).jpg")));
  QFile f(Home("PICS/cover.jpg"));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), before);
  EXPECT_THROW(tvn::CopyPictureIntoFolder(Home("elsewhere/none.jpg").toStdString()), vb::RuntimeError);
}

TEST_F(Module, ThePictureDialogShowsPicturesWhateverTheLetterCaseOfTheirExtension) {
  ASSERT_TRUE(QDir(home_.path()).mkdir("shots"));
  for (const char* name : {"a.JPG", "b.jpeg", "c.Jpg", "d.jpg", "e.JPEG", "f.gif", "g.txt"})
    QFile(Home(QString("shots/") + name)).open(QIODevice::WriteOnly);
  QWidget window;
  window.setObjectName("window");
  auto* box = new QLabel(&window);
  box->setObjectName("Picture_Box");
  fake::Recordset rs({Row{{"Picture", Variant::Null()}}});
  tvn::LoadPictureForRecord(&window, rs);
  ASSERT_EQ(vb::PromptScript::Records().size(), 1u);
  const QString filter = QString::fromStdString(vb::PromptScript::Records()[0].text);

  // The dialog the user gets with that filter, on its first (JPG) entry.
  QFileDialog dialog(nullptr, "Open", Home("shots"), filter);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.show();
  auto* view = dialog.findChild<QListView*>("listView");
  ASSERT_TRUE(view);
  auto shown = [&] {
    QStringList names;
    for (int r = 0; r < view->model()->rowCount(view->rootIndex()); ++r)
      names << view->model()->index(r, 0, view->rootIndex()).data().toString();
    names.sort();
    return names;
  };
  (void)QTest::qWaitFor([&] { return shown().size() >= 5; }, 5000);
  EXPECT_EQ(shown(), (QStringList{"a.JPG", "b.jpeg", "c.Jpg", "d.jpg", "e.JPEG"}));
  dialog.selectNameFilter(dialog.nameFilters().at(2));
  (void)QTest::qWaitFor([&] { return shown() == QStringList{"f.gif"}; }, 5000);
  EXPECT_EQ(shown(), QStringList{"f.gif"});
}

TEST_F(Module, ChoosingAPictureForARecord) {
  ASSERT_TRUE(QDir(home_.path()).mkdir("pics"));
  WriteImage(Home("pics/Cover.jpg"));
  ASSERT_TRUE(QDir(home_.path()).mkdir("elsewhere"));
  WriteImage(Home("elsewhere/Cover.jpg"));
  QWidget window;
  auto* box = new QLabel(&window);
  box->setObjectName("Picture_Box");
  fake::Recordset rs({Row{{"artist_name", Variant("Abba")}, {"Picture", Variant::Null()}}});

  // Cancel: nothing written; the dialog opened on "MyPic.gif" in the program folder.
  tvn::LoadPictureForRecord(&window, rs);
  ASSERT_EQ(vb::PromptScript::Records().size(), 1u);
  EXPECT_EQ(vb::PromptScript::Records()[0].defaultText, Home("MyPic.gif").toStdString());
  EXPECT_TRUE(rs.GetField("Picture").isNull());

  // A file from elsewhere, copy refused: nothing changes.
  vb::PromptScript::Clear();
  vb::PromptScript::AnswerText(Home("elsewhere/Cover.jpg").toStdString());
  vb::PromptScript::Answer(vb::vbNo);
  tvn::LoadPictureForRecord(&window, rs);
  ASSERT_EQ(Prompts().size(), 2u);
  EXPECT_EQ(Prompts()[1], "File must be located in the " + home_.path().toStdString() +
                              "/pics directory. Copy file to the required directory??");
  EXPECT_TRUE(rs.GetField("Picture").isNull());
  EXPECT_EQ(QDir(Home("pics")).entryList(QDir::Files).size(), 1);

  // Copy accepted: stored under a free name, shown.
  vb::PromptScript::AnswerText(Home("elsewhere/Cover.jpg").toStdString());
  vb::PromptScript::Answer(vb::vbYes);
  tvn::LoadPictureForRecord(&window, rs);
  EXPECT_EQ(rs.GetField("Picture"), Variant("pics\\Cover (2).jpg"));
  EXPECT_FALSE(box->pixmap().isNull());

  // A file already in the picture folder (named in other letter case) is
  // taken as it is, without a question; an empty stored name opens on "MyPic.jpg".
  rs.Edit();
  rs.SetField("Picture", Variant(" "));
  rs.Update();
  vb::PromptScript::Clear();
  vb::PromptScript::AnswerText(Home("PICS/Cover.jpg").toStdString());
  tvn::LoadPictureForRecord(&window, rs);
  ASSERT_EQ(vb::PromptScript::Records().size(), 1u);
  EXPECT_EQ(vb::PromptScript::Records()[0].defaultText, Home("MyPic.jpg").toStdString());
  EXPECT_EQ(rs.GetField("Picture"), Variant("pics\\Cover.jpg"));
}

// "pics\" and the name must fit the field (50 characters here): a longer
// one is refused with a message before the copy question and before
// anything is copied; the name a copy would get counts.
TEST_F(Module, APictureNameTooLongForTheFieldIsRefusedBeforeAnyCopy) {
  ASSERT_TRUE(QDir(home_.path()).mkdir("pics"));
  ASSERT_TRUE(QDir(home_.path()).mkdir("elsewhere"));
  const QString longName = QString(42, QLatin1Char('x')) + ".jpg";  // 46: too long
  const QString fits = QString(41, QLatin1Char('y')) + ".jpg";      // 45: fits, but not as "... (2).jpg"
  WriteImage(Home("elsewhere/" + longName));
  WriteImage(Home("pics/" + longName));
  WriteImage(Home("elsewhere/" + fits));
  WriteImage(Home("pics/" + fits));
  QWidget window;
  auto* box = new QLabel(&window);
  box->setObjectName("Picture_Box");
  fake::Recordset rs({Row{{"name", Variant("Abba")}, {"Picture", Variant("pics\\old.jpg")}}});
  const int before = int(QDir(Home("pics")).entryList(QDir::Files).size());

  for (const QString& chosen : {"elsewhere/" + longName, "pics/" + longName, "elsewhere/" + fits}) {
    vb::PromptScript::Clear();
    vb::PromptScript::AnswerText(Home(chosen).toStdString());
    vb::PromptScript::Answer(vb::vbYes);  // would consent to a copy, were one asked for
    tvn::LoadPictureForRecord(&window, rs);
    ASSERT_EQ(Prompts().size(), 2u) << chosen.toStdString();
    EXPECT_NE(Prompts()[1].find("is too long"), std::string::npos) << Prompts()[1];
    EXPECT_NE(Prompts()[1].find("at most 45 characters"), std::string::npos) << Prompts()[1];
    EXPECT_EQ(rs.GetField("Picture"), Variant("pics\\old.jpg"));
    EXPECT_EQ(QDir(Home("pics")).entryList(QDir::Files).size(), before);
    EXPECT_TRUE(box->pixmap().isNull());
  }
  // The one that fits as it is, in the folder, is stored.
  vb::PromptScript::Clear();
  vb::PromptScript::AnswerText(Home("pics/" + fits).toStdString());
  tvn::LoadPictureForRecord(&window, rs);
  EXPECT_EQ(rs.GetField("Picture"), Variant("pics\\" + fits.toStdString()));
}

}  // namespace
