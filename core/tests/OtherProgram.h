#pragma once
// The standard sqlite3 command-line tool working on a collection the
// program has open, for the tests that check another program can write to
// it, and the program's event loop going back to waiting for the user.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QThread>
#include <QTimer>
#include <filesystem>
#include <memory>
#include <string>

namespace tvn::testing {

// What the tool printed and how it ended.
struct ToolRun {
  int exitCode = -1;
  std::string out, err;
};

// Starts the tool on file with a script on its input; it waits up to five
// seconds for a lock, as a user's tool would, and stops at the first error.
inline std::unique_ptr<QProcess> StartTool(const std::string& file, const std::string& script) {
  auto tool = std::make_unique<QProcess>();
  tool->start("sqlite3", {"-bail", QString::fromStdString(file)});
  tool->waitForStarted();
  tool->write((".timeout 5000\n" + script).c_str());
  tool->waitForBytesWritten(10000);  // the tool has its script without the event loop
  tool->closeWriteChannel();
  return tool;
}

inline ToolRun Finish(QProcess& tool) {
  tool.waitForFinished(30000);
  return {tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1, tool.readAllStandardOutput().toStdString(),
          tool.readAllStandardError().toStdString()};
}

inline ToolRun RunTool(const std::string& file, const std::string& script) {
  return Finish(*StartTool(file, script));
}

// The tool takes a write lock, makes its change, and holds the lock for
// two seconds before it commits; returns once it holds the lock (it
// leaves a marker file then), or after the tool ended.
inline std::unique_ptr<QProcess> HoldWrite(const std::string& file, const std::string& change) {
  const std::string marker = file + ".held";
  std::filesystem::remove(marker);
  auto tool = StartTool(file, "begin immediate;\n" + change + "\n.shell touch '" + marker + "'\n.shell sleep 2\ncommit;\n");
  QElapsedTimer waited;
  waited.start();
  while (!std::filesystem::exists(marker) && tool->state() != QProcess::NotRunning && waited.elapsed() < 20000)
    QThread::msleep(5);
  std::filesystem::remove(marker);
  return tool;
}

// The event loop runs until it would wait for the user, as after every
// click, and a moment more.
inline void BackToUser() {
  QEventLoop loop;
  QTimer::singleShot(20, &loop, &QEventLoop::quit);
  loop.exec();
}

}  // namespace tvn::testing
