// The shipped help and the shell open.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QUrl>

#include "platform/forms/HelpViewer.h"
#include "platform/forms/ShellOpen.h"
#include "platform/forms/tests/TestApp.h"
#include "platform/runtime/Files.h"

namespace {

const std::string kSourceHelp = std::string(TVN_HELP_SOURCE_DIR) + "/Reruve.HLP";

TEST(Help, EveryTopicHasAPageAndEveryLinkLeadsToOne) {
  TestApp();
  const auto topics = forms::ReadHelpFile(kSourceHelp);
  ASSERT_TRUE(topics.count(1));
  ASSERT_TRUE(topics.count(2));
  const QDir folder(TVN_HELP_SOURCE_DIR);
  for (const auto& [topic, t] : topics) {
    const QString page = folder.filePath(QString::fromStdString(t.page));
    QFile f(page);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << "topic " << topic << ": " << t.page;
    const QString html = QString::fromUtf8(f.readAll());
    EXPECT_TRUE(html.contains("<h1>")) << t.page;
    static const QRegularExpression href(QStringLiteral("href=\"([^\"]+)\""));
    for (auto it = href.globalMatch(html); it.hasNext();) {
      const QString target = it.next().captured(1);
      EXPECT_TRUE(QFile::exists(folder.filePath(target))) << t.page << " links to " << target.toStdString();
    }
  }
  // The contents page lists every other topic.
  QFile contents(folder.filePath(QString::fromStdString(topics.at(1).page)));
  ASSERT_TRUE(contents.open(QIODevice::ReadOnly));
  const QString html = QString::fromUtf8(contents.readAll());
  for (const auto& [topic, t] : topics) {
    if (topic != 1) {
      EXPECT_TRUE(html.contains(QString::fromStdString(t.page))) << t.page;
    }
  }
}

TEST(Help, ShowsTopicsFromTheNamedFileOrTheShippedCopy) {
  TestApp();
  QTemporaryDir dir;
  // A help file of the program's folder is used when it exists ...
  QFile map(dir.filePath("reruve.hlp"));
  ASSERT_TRUE(map.open(QIODevice::WriteOnly));
  map.write("# test\n1 one.html One\n5 five.html Five\nbad line\n");
  map.close();
  for (const char* page : {"one.html", "five.html"}) {
    QFile f(dir.filePath(page));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("<h1>") + page + "</h1>");
  }
  const std::string named = dir.filePath("Reruve.HLP").toStdString();  // other letter case
  EXPECT_EQ(forms::ReadHelpFile(forms::EffectiveHelpFile(named)).size(), 2u);
  ASSERT_TRUE(forms::ShowHelpPage(named, 5));
  ASSERT_NE(forms::HelpBrowser(), nullptr);
  EXPECT_TRUE(forms::HelpBrowser()->source().toLocalFile().endsWith("five.html"));
  // ... an unknown topic shows the contents.
  ASSERT_TRUE(forms::ShowHelpPage(named, 77));
  EXPECT_TRUE(forms::HelpBrowser()->source().toLocalFile().endsWith("one.html"));
  forms::CloseHelp();
  EXPECT_EQ(forms::HelpBrowser(), nullptr);
  forms::CloseHelp();  // closing twice is harmless

  // A missing help file falls back to the copy beside the program.
  const std::string missing = dir.filePath("none/Reruve.HLP").toStdString();
  EXPECT_EQ(forms::EffectiveHelpFile(missing), forms::ShippedHelpFolder() + "/Reruve.HLP");
  ASSERT_TRUE(forms::ShowHelpPage(missing, 2));
  EXPECT_TRUE(forms::HelpBrowser()->source().toLocalFile().endsWith("getting-started.html"));
  forms::CloseHelp();
}

TEST(Shell, TargetsBecomeAddressesAndMissingFilesFail) {
  TestApp();
  QTemporaryDir dir;
  QDir(dir.path()).mkdir("Docs");
  QFile f(dir.filePath("Docs/Track.MP3"));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.close();
  QUrl url;
  ASSERT_TRUE(forms::ShellTargetUrl("mailto:someone@example.org", &url));
  EXPECT_EQ(url.scheme(), "mailto");
  ASSERT_TRUE(forms::ShellTargetUrl("https://example.org/a?b=c", &url));
  EXPECT_EQ(url.host(), "example.org");
  ASSERT_TRUE(forms::ShellTargetUrl("www.example.org", &url));
  EXPECT_EQ(url.scheme(), "http");
  // A file named in other letter case and with "\" separators is found.
  ASSERT_TRUE(forms::ShellTargetUrl((dir.path() + "\\docs\\track.mp3").toStdString(), &url));
  EXPECT_EQ(url.toLocalFile(), dir.filePath("Docs/Track.MP3"));
  EXPECT_FALSE(forms::ShellTargetUrl((dir.path() + "/missing.mp3").toStdString(), &url));
  EXPECT_FALSE(forms::ShellTargetUrl("   ", &url));

  // Programs, launchers, folders and links to them are never handed on.
  auto make = [&](const QString& name, QFileDevice::Permissions extra) {
    QFile g(dir.filePath(name));
    EXPECT_TRUE(g.open(QIODevice::WriteOnly));
    g.write("#!/bin/sh\n");
    g.close();
    g.setPermissions(g.permissions() | extra);
    return dir.filePath(name).toStdString();
  };
  const std::string script = make("run.sh", QFileDevice::ExeOwner | QFileDevice::ExeUser);
  const std::string launcher = make("Player.DESKTOP", {});
  const std::string notes = make("notes.txt", {});
  QFile::link(QString::fromStdString(script), dir.filePath("song.mp3"));
  QFile::link(QString::fromStdString(launcher), dir.filePath("cover.jpg"));
  for (const std::string& bad :
       {script, launcher, dir.path().toStdString(), dir.filePath("Docs").toStdString(),
        dir.filePath("song.mp3").toStdString(), dir.filePath("cover.jpg").toStdString(),
        "file://" + script, "file://" + launcher, "FILE://" + dir.path().toStdString(),
        std::string("file:relative.txt"), std::string("/dev/null")}) {
    EXPECT_FALSE(forms::ShellTargetUrl(bad, &url)) << bad;
  }
  ASSERT_TRUE(forms::ShellTargetUrl("file://" + notes, &url));
  EXPECT_EQ(url.toLocalFile().toStdString(), notes);
  ASSERT_TRUE(forms::ShellTargetUrl(notes, &url));

  std::vector<QUrl> opened;
  forms::SetShellOpenHandler([&](const QUrl& u) { opened.push_back(u); return true; });
  EXPECT_TRUE(forms::ShellOpen("mailto:someone@example.org"));
  EXPECT_FALSE(forms::ShellOpen((dir.path() + "/missing.mp3").toStdString()));
  EXPECT_FALSE(forms::ShellOpen(script));
  EXPECT_FALSE(forms::ShellOpen("file://" + launcher));
  EXPECT_EQ(opened.size(), 1u);
  forms::SetShellOpenHandler([](const QUrl&) { return false; });
  EXPECT_FALSE(forms::ShellOpen("https://example.org"));
  forms::SetShellOpenHandler({});
  // "help:" opens a page of the program's own help.
  EXPECT_TRUE(forms::ShellOpen("help:index.html"));
  ASSERT_NE(forms::HelpBrowser(), nullptr);
  EXPECT_FALSE(forms::ShellOpen("help:no-such-page.html"));
  forms::CloseHelp();
}

}  // namespace
