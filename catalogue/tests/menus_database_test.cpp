// The two commands that close and reopen the collection: compaction and
// the switch to another collection (with the conversion of an
// earlier-layout file). Whatever happens, the user's file keeps its name
// and contents and a collection is open afterwards.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QLineEdit>
#include <QProgressDialog>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "catalogue/tests/MenuTestSupport.h"
#include "core/Compaction.h"
#include "core/Schema.h"
#include "core/tests/OtherProgram.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Prompter.h"

using cattest::MenuTest;
using Strings = std::vector<std::string>;
using V = vb::Variant;

namespace {

std::string CompactQuestion(const std::filesystem::path& file) {
  return "Please make a copy of the file " + file.string() + " before compacting database\nCompact database now??";
}

Strings Names(const std::string& where = "") {
  Strings out;
  auto rs = tvn::App().CollectionDB->OpenRecordset("select name from mediadata" + where + " order by name");
  while (!rs->Eof()) {
    out.push_back(vb::NzStr(rs->GetField("name")));
    rs->MoveNext();
  }
  rs->Close();
  return out;
}

ino_t Inode(const std::filesystem::path& p) {
  struct stat st {};
  return ::stat(p.c_str(), &st) == 0 ? st.st_ino : 0;
}

bool BusyNow(QWidget* window) {
  const QCursor* c = QApplication::overrideCursor();
  return c && c->shape() == Qt::WaitCursor && !window->isEnabled();
}

}  // namespace

class CompactTest : public MenuTest {
 protected:
  void SetUp() override {
    MenuTest::SetUp();
    const std::string notes(2000, 'n');
    for (int i = 0; i < 300; ++i)
      AddItem(i % 2 ? 2 : 6, "Item " + std::to_string(1000 + i), {{"notes", V(notes)}});
    file = Dir() / "av30.mdb";
  }
  void TearDown() override {
    tvn::CompactionStep() = engine;
    MenuTest::TearDown();
  }
  bool NoWorkFileLeft() {
    for (const auto& e : std::filesystem::directory_iterator(Dir()))
      if (e.path().filename().string().rfind(".tvn-", 0) == 0) return false;
    return true;
  }
  std::filesystem::path file;
  const tvn::FileStep engine = tvn::CompactionStep();
};

TEST_F(CompactTest, AnsweredNoTouchesNothing) {
  auto& w = Shown(2);
  const auto db = tvn::App().CollectionDB;
  const auto records = w.SectionRecords;
  const auto size = std::filesystem::file_size(file);
  const auto inode = Inode(file);
  vb::PromptScript::Answer(vb::vbNo);
  w.Compact_Menu->trigger();

  ASSERT_EQ(vb::PromptScript::Records().size(), 1u);
  EXPECT_EQ(vb::PromptScript::Records()[0].text, CompactQuestion(file));
  EXPECT_EQ(vb::PromptScript::Records()[0].title, "Compact Warning");
  EXPECT_EQ(vb::PromptScript::Records()[0].buttons, vb::vbYesNo);
  EXPECT_EQ(tvn::App().CollectionDB, db);
  EXPECT_TRUE(db->IsOpen());
  EXPECT_EQ(w.SectionRecords, records);
  EXPECT_TRUE(records->IsOpen());
  EXPECT_EQ(std::filesystem::file_size(file), size);
  EXPECT_EQ(Inode(file), inode);
  EXPECT_TRUE(w.isEnabled());
}

TEST_F(CompactTest, AnsweredYesKeepsTheRecordsInASmallerFile) {
  auto& w = Shown(2);
  tvn::App().CollectionDB->Execute("delete * from mediadata where name > 'Item 1040'");
  const Strings before = Names();
  ASSERT_EQ(before.size(), 41u);
  const auto size = std::filesystem::file_size(file);

  bool busy = false;
  const auto inode = Inode(file);
  tvn::CompactionStep() = [&](const std::string& compacted) {
    busy = BusyNow(&w);
    engine(compacted);
  };
  SetSetting("LG", "6");
  vb::PromptScript::Answer(vb::vbYes);
  w.Compact_Menu->trigger();

  EXPECT_EQ(vb::PromptScript::Texts(), Strings{CompactQuestion(file)});
  EXPECT_TRUE(busy);
  EXPECT_FALSE(BusyNow(&w));
  ASSERT_TRUE(tvn::App().CollectionDB && tvn::App().CollectionDB->IsOpen());
  EXPECT_EQ(Names(), before);
  EXPECT_LT(std::filesystem::file_size(file), size / 2);
  EXPECT_EQ(Inode(file), inode) << "the file itself is rewritten, never replaced";
  EXPECT_TRUE(NoWorkFileLeft());
  // The window starts afresh on the section it was on.
  EXPECT_EQ(tvn::AVData()->SectionNumber(), 2);
  EXPECT_EQ(w.CS_Name_Text->text().toStdString(), "Item 1001");
  EXPECT_TRUE(w.SectionRecords->IsOpen());
}

TEST_F(CompactTest, AFailureKeepsTheOriginalFileAndOpensItAgain) {
  auto& w = Shown(2);
  const Strings before = Names();
  const auto inode = Inode(file);
  const std::string bytes = tvntest::ReadBytes(file.string());
  tvn::CompactionStep() = [](const std::string&) { throw vb::RuntimeError(3026, "Not enough space on disk."); };
  vb::PromptScript::Answer(vb::vbYes);
  w.Compact_Menu->trigger();

  ASSERT_EQ(vb::PromptScript::Records().size(), 2u);
  EXPECT_EQ(vb::PromptScript::Records()[1].text, "There was an error compacting Database");
  EXPECT_EQ(vb::PromptScript::Records()[1].buttons, vb::vbInformation | vb::vbOKOnly);
  EXPECT_EQ(vb::PromptScript::Records()[1].title, vb::AppTitle());
  EXPECT_EQ(Inode(file), inode);
  EXPECT_TRUE(tvntest::ReadBytes(file.string()) == bytes);
  EXPECT_TRUE(NoWorkFileLeft());
  ASSERT_TRUE(tvn::App().CollectionDB && tvn::App().CollectionDB->IsOpen());
  EXPECT_EQ(Names(), before);
  EXPECT_TRUE(w.isEnabled());
  EXPECT_FALSE(BusyNow(&w));
  EXPECT_FALSE(w.Video_Name_Text->text().isEmpty() && w.CS_Name_Text->text().isEmpty());
}

// Another program commits rows one by one all through the compaction:
// every row it committed is in the file afterwards, the file is sound, and
// its writes never fail.
TEST_F(CompactTest, EveryRowAnotherProgramCommitsMeanwhileIsKept) {
  auto& w = Shown(2);
  tvn::App().CollectionDB->Execute("delete * from mediadata where name > 'Item 1100'");
  tvn::testing::RowWriter writer(file.string(),
                                 "insert into mediadata (name, SectionNumber) values ('Other ' || ?1, 2)");
  int beforeCompaction = 0;
  tvn::CompactionStep() = [&](const std::string& compacted) {
    writer.WaitBeyond(5);
    beforeCompaction = writer.Committed();
    engine(compacted);
  };
  vb::PromptScript::Answer(vb::vbYes);
  w.Compact_Menu->trigger();
  // The writer goes on past the compaction, on the same file.
  tvn::testing::UserWaitsWhileWriting(writer, 20);
  writer.Stop();

  EXPECT_EQ(writer.Error(), "");
  EXPECT_EQ(vb::PromptScript::Texts(), Strings{CompactQuestion(file)});
  EXPECT_GT(beforeCompaction, 0);
  const int committed = writer.Committed();
  ASSERT_TRUE(tvn::App().CollectionDB && tvn::App().CollectionDB->IsOpen());
  const tvn::testing::ToolRun run = tvn::testing::RunTool(
      file.string(), "select count(distinct name) from mediadata where name like 'Other %';\npragma integrity_check;\n");
  EXPECT_EQ(run.out, std::to_string(committed) + "\nok\n") << run.err;
  EXPECT_TRUE(NoWorkFileLeft());
}

// Another program holding a write longer than the program waits: the user
// is told that the file is in use, naming it, and the file stays as it was.
TEST_F(CompactTest, AWriteHeldByAnotherProgramIsToldAndChangesNothing) {
  auto& w = Shown(2);
  const Strings before = Names();
  const std::string bytes = tvntest::ReadBytes(file.string());
  auto tool = tvn::testing::StartTool(file.string(), "begin immediate;\n.shell touch '" + file.string() +
                                                         ".held'\n.shell sleep 8\nrollback;\n");
  while (!std::filesystem::exists(file.string() + ".held") && tool->state() != QProcess::NotRunning)
    QThread::msleep(5);
  std::filesystem::remove(file.string() + ".held");
  vb::PromptScript::Answer(vb::vbYes);
  w.Compact_Menu->trigger();

  ASSERT_EQ(vb::PromptScript::Records().size(), 2u);
  EXPECT_EQ(vb::PromptScript::Records()[1].text,
            "The collection file\n" + file.string() +
                "\nis in use by another program. It was not compacted and is as it was. Compact it once that "
                "program has let it go.");
  EXPECT_TRUE(tvntest::ReadBytes(file.string()) == bytes);
  ASSERT_TRUE(tvn::App().CollectionDB && tvn::App().CollectionDB->IsOpen());
  EXPECT_TRUE(w.isEnabled());
  tool->kill();
  tool->waitForFinished();
  EXPECT_EQ(Names(), before);
}

// A collection whose name in the data folder is a symbolic link: the file
// the link names is compacted where it is, and the link stays.
TEST_F(CompactTest, ALinkedCollectionIsCompactedWhereItIs) {
  tvn::App().CollectionDB->Close();
  const std::filesystem::path elsewhere = Dir() / "elsewhere";
  std::filesystem::create_directory(elsewhere);
  const std::filesystem::path target = elsewhere / "av30.mdb";
  std::filesystem::rename(file, target);
  std::filesystem::create_symlink(target, file);
  tvn::App().CollectionDB = dao::DBEngine::Workspaces(0).OpenDatabase(file.string());
  auto& w = Shown(2);
  tvn::App().CollectionDB->Execute("delete * from mediadata where name > 'Item 1040'");
  const Strings before = Names();
  const auto inode = Inode(target);
  const auto size = std::filesystem::file_size(target);

  vb::PromptScript::Answer(vb::vbYes);
  w.Compact_Menu->trigger();

  EXPECT_EQ(vb::PromptScript::Texts(), Strings{CompactQuestion(file)});
  EXPECT_TRUE(std::filesystem::is_symlink(file));
  EXPECT_EQ(Inode(target), inode);
  EXPECT_LT(std::filesystem::file_size(target), size / 2);
  EXPECT_TRUE(NoWorkFileLeft());
  ASSERT_TRUE(tvn::App().CollectionDB && tvn::App().CollectionDB->IsOpen());
  EXPECT_EQ(Names(), before);
  EXPECT_TRUE(w.isEnabled());
}

TEST_F(MenuTest, CollectionCommandSwitchesToAnotherCollectionAndBack) {
  AddItem(2, "Mine");
  const std::string other = (Dir() / "Other.mdb").string();
  tvn::schema::CreateCollectionFile(other);
  {
    auto db = dao::DBEngine::Workspaces(0).OpenDatabase(other);
    auto rs = db->OpenRecordset("mediadata");
    rs->AddNew();
    rs->SetField("name", V("Theirs"));
    rs->SetField("SectionNumber", V::Byte(2));
    rs->SetField("section", V("Compact Disc"));
    rs->Update();
    rs->Close();
    db->Close();
  }
  auto& w = Shown(2);
  bool closedWhileChoosing = false;
  auto choose = [&](const std::string& file, const std::string& name) {
    whileOpen = [&, file, name] {
      closedWhileChoosing = !tvn::App().CollectionDB->IsOpen();
      tvn::AVData()->LastDB(file);
      tvn::AVData()->CurCollection(name);
    };
  };
  choose("Other.mdb", "Other");
  w.CollectionMenu->trigger();
  EXPECT_TRUE(closedWhileChoosing);
  EXPECT_EQ(opened, Strings{"collections"});
  ASSERT_TRUE(tvn::App().CollectionDB->IsOpen());
  EXPECT_EQ(Names(), Strings{"Theirs"});
  EXPECT_EQ(tvn::AVData()->SectionNumber(), 2);
  EXPECT_EQ(w.CS_Name_Text->text().toStdString(), "Theirs");
  EXPECT_TRUE(w.windowTitle().contains("Other"));
  EXPECT_TRUE(w.isEnabled());

  choose("av30.mdb", "My Collection");
  w.CollectionMenu->trigger();
  EXPECT_EQ(Names(), Strings{"Mine"});
  EXPECT_EQ(w.CS_Name_Text->text().toStdString(), "Mine");
  EXPECT_TRUE(vb::PromptScript::Texts().empty());

  // A file that is no collection: the error is told and the collection
  // that was open comes back.
  {
    std::ofstream junk(Dir() / "Junk.mdb");
    junk << "not a database";
  }
  choose("Junk.mdb", "Junk");
  w.CollectionMenu->trigger();
  ASSERT_EQ(vb::PromptScript::Texts().size(), 1u);
  EXPECT_EQ(vb::PromptScript::Texts()[0].rfind("The collection file\n" + (Dir() / "Junk.mdb").string() + "\nis not a database", 0),
            0u)
      << vb::PromptScript::Texts()[0];
  ASSERT_TRUE(tvn::App().CollectionDB->IsOpen());
  EXPECT_EQ(tvn::AVData()->LastDB(), "av30.mdb");
  EXPECT_EQ(Names(), Strings{"Mine"});
  EXPECT_EQ(w.CS_Name_Text->text().toStdString(), "Mine");

  // The open collection itself fails on reopening: told, and the window
  // goes on without a collection, reading nothing, the manager reachable.
  vb::PromptScript::Clear();
  whileOpen = [&] { std::ofstream(Dir() / "av30.mdb", std::ios::trunc) << std::string(4096, 'z'); };
  w.CollectionMenu->trigger();
  ASSERT_EQ(vb::PromptScript::Texts().size(), 1u);
  EXPECT_EQ(vb::PromptScript::Texts()[0].rfind("The collection file\n" + (Dir() / "av30.mdb").string() + "\n", 0), 0u);
  EXPECT_TRUE(!tvn::App().CollectionDB || !tvn::App().CollectionDB->IsOpen());
  EXPECT_FALSE(w.List_Combo->isEnabled());
  EXPECT_FALSE(w.Compact_Menu->isEnabled());
  EXPECT_FALSE(w.menuQD->isEnabled());
  EXPECT_TRUE(w.CollectionMenu->isEnabled());
}

TEST_F(MenuTest, CollectionOfTheEarlierLayoutIsConvertedWithProgress) {
  tvn::schema::EnsureTemplates(Dir().string());
  const std::string old = (Dir() / "Old.mdb").string();
  tvn::schema::CreateEarlierCollectionFile(old);
  {
    auto db = dao::DBEngine::Workspaces(0).OpenDatabase(old);
    auto rs = db->OpenRecordset("compact_disk");
    for (int i = 0; i < 120; ++i) {
      rs->AddNew();
      rs->SetField("name", V("Old " + std::to_string(100 + i)));
      rs->Update();
    }
    rs->Close();
    db->Close();
  }
  auto& w = Shown(2);
  whileOpen = [] {
    tvn::AVData()->LastDB("Old.mdb");
    tvn::AVData()->CurCollection("Old");
  };
  long lastCount = 0;
  std::string label;
  bool busy = false;
  tvn::MenuHooks::Get().conversionProgress = [&](QWidget* owner, long rows) {
    lastCount = rows;
    auto* dialog = owner->findChild<QProgressDialog*>("ConversionProgress");
    if (dialog && dialog->isVisible()) label = dialog->labelText().toStdString();
    busy = BusyNow(&w);
  };
  w.CollectionMenu->trigger();

  EXPECT_GE(lastCount, 120);
  EXPECT_NE(label.find(std::to_string(lastCount)), std::string::npos) << label;
  EXPECT_TRUE(busy);
  EXPECT_EQ(w.findChild<QProgressDialog*>("ConversionProgress"), nullptr) << "gone when done";
  EXPECT_EQ(Names().size(), 120u);
  EXPECT_EQ(w.CS_Name_Text->text().toStdString(), "Old 100");
  EXPECT_TRUE(std::filesystem::exists(Dir() / "Old.30"));
}
