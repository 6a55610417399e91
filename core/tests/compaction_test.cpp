// Compaction of a collection file: the windows keep painting while the
// engine rewrites the file, and what the user does meanwhile is dropped.
#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <chrono>
#include <thread>

#include "core/Compaction.h"
#include "core/Schema.h"
#include "core/tests/LaunchFixture.h"
#include "platform/dao/Dao.h"
#include "platform/runtime/Busy.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Prompter.h"

namespace tvn::testing {
namespace {

class CompactionTest : public LaunchTest {};

TEST_F(CompactionTest, WindowsKeepPaintingAndInputIsDroppedWhileTheCopyRuns) {
  const std::string file = InHome("c.mdb");
  Home();
  schema::CreateCollectionFile(file);
  {
    auto db = dao::DBEngine::Workspaces(0).OpenDatabase(file);
    db->Execute("insert into mediadata (name, SectionNumber) values ('Kept', 2)");
    db->Close();
  }
  QPushButton button("Other command");
  int clicks = 0;
  QObject::connect(&button, &QPushButton::clicked, [&] { ++clicks; });
  button.show();

  std::atomic<bool> loopRan{false};
  std::atomic<bool> busyDuringCopy{false};
  const FileStep engine = CompactionStep();
  CompactionStep() = [&](const std::string& compacted) {
    // A click made now must not run once the copy ends.
    QMetaObject::invokeMethod(&button, [&] {
      const QPointF at(5, 5);
      QMouseEvent press(QEvent::MouseButtonPress, at, button.mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                        Qt::NoModifier);
      QMouseEvent release(QEvent::MouseButtonRelease, at, button.mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                          Qt::NoModifier);
      QApplication::sendEvent(&button, &press);
      QApplication::sendEvent(&button, &release);
    });
    QTimer::singleShot(0, qApp, [&] { loopRan = true; });
    busyDuringCopy = vb::BusyScope::Active();
    // The window thread must answer while this thread is still copying.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!loopRan && std::chrono::steady_clock::now() < until)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    engine(compacted);
  };
  const bool compacted = CompactInPlace(file) == CompactionResult::Compacted;
  CompactionStep() = engine;

  EXPECT_TRUE(compacted);
  EXPECT_TRUE(loopRan);
  EXPECT_TRUE(busyDuringCopy);
  EXPECT_FALSE(vb::BusyScope::Active());
  Pump();
  EXPECT_EQ(clicks, 0);
  auto db = dao::DBEngine::Workspaces(0).OpenDatabase(file);
  auto rs = db->OpenRecordset("select name from mediadata");
  EXPECT_EQ(vb::NzStr(rs->GetField("name")), "Kept");
  rs->Close();
  db->Close();
}

TEST_F(CompactionTest, LeftoversOfAnEndedCompactionGoFirstAndListedCollectionsStay) {
  Home();
  schema::CreateCollectionFile(InHome("c.mdb"));
  schema::CreateMasterListFile(InHome("admin.sys"));
  schema::CreateGameCollectionFile(InHome("Temp1.mdb"));
  {
    auto admin = dao::DBEngine::Workspaces(0).OpenDatabase(InHome("admin.sys"));
    admin->Execute("insert into plcollections (dbname, plCollection) values ('Temp1.mdb', 'Temp1')");
    admin->Close();
  }
  const std::string leftover = InHome(".tvn-999999999-compact1.tmp");
  std::ofstream(leftover) << "half a copy";
  std::ofstream(leftover + "-journal") << "x";
  EXPECT_EQ(CompactInPlace(InHome("c.mdb")), CompactionResult::Compacted);
  EXPECT_FALSE(std::filesystem::exists(leftover));
  EXPECT_FALSE(std::filesystem::exists(leftover + "-journal"));
  EXPECT_TRUE(std::filesystem::exists(InHome("Temp1.mdb")));
  for (const auto& e : std::filesystem::directory_iterator(Home()))
    EXPECT_NE(e.path().filename().string().rfind(".tvn-", 0), 0u) << e.path();
}

// Through a symbolic link the file it names is compacted where it is; the
// link stays a link and the question is asked as for any file.
TEST_F(CompactionTest, ALinkedFileIsCompactedWhereItIs) {
  Home();
  const std::filesystem::path elsewhere = std::filesystem::path(InHome("elsewhere"));
  std::filesystem::create_directory(elsewhere);
  const std::string target = (elsewhere / "c.mdb").string();
  schema::CreateCollectionFile(target);
  {
    auto db = dao::DBEngine::Workspaces(0).OpenDatabase(target);
    db->Execute("insert into mediadata (name, SectionNumber, notes) values ('Kept', 2, '')");
    for (int i = 0; i < 200; ++i)
      db->Execute("insert into mediadata (name, SectionNumber, notes) values ('Gone " + std::to_string(i) + "', 2, '" +
                  std::string(2000, 'n') + "')");
    db->Execute("delete * from mediadata where name <> 'Kept'");
    db->Close();
  }
  std::filesystem::create_symlink(target, InHome("c.mdb"));
  const auto size = std::filesystem::file_size(target);

  EXPECT_EQ(CompactInPlace(InHome("c.mdb")), CompactionResult::Compacted);
  EXPECT_TRUE(std::filesystem::is_symlink(InHome("c.mdb")));
  EXPECT_LT(std::filesystem::file_size(target), size / 2);
  EXPECT_FALSE(std::filesystem::exists(target + "-journal"));
  EXPECT_FALSE(std::filesystem::exists(InHome("c.mdb-journal")));
  auto db = dao::DBEngine::Workspaces(0).OpenDatabase(target);
  auto rs = db->OpenRecordset("select name from mediadata");
  EXPECT_EQ(vb::NzStr(rs->GetField("name")), "Kept");
  rs->Close();
  db->Close();

  vb::PromptScript::Answer(vb::vbNo);
  EXPECT_FALSE(AskCompaction(InHome("c.mdb")));
  EXPECT_EQ(vb::PromptScript::Texts(),
            std::vector<std::string>{"Please make a copy of the file " + InHome("c.mdb") +
                                     " before compacting database\nCompact database now??"});
}

}  // namespace
}  // namespace tvn::testing
