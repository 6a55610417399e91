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
#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

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

// Another program's connection that commits rows one at a time, each in a
// transaction of its own, from a thread of its own, until stopped; it waits
// for a lock up to ten seconds, as a patient writer would. insert is a
// statement whose ?1 takes the row's number (1, 2, ...).
class RowWriter {
 public:
  RowWriter(const std::string& file, const std::string& insert) {
    if (sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK ||
        sqlite3_prepare_v2(db_, insert.c_str(), -1, &insert_, nullptr) != SQLITE_OK) {
      error_ = sqlite3_errmsg(db_);
      return;
    }
    sqlite3_busy_timeout(db_, 10000);
    thread_ = std::thread([this] { Run(); });
  }
  ~RowWriter() {
    Stop();
    sqlite3_finalize(insert_);
    sqlite3_close(db_);
  }
  // Waits until more than `rows` rows have been committed (or 20 s passed).
  void WaitBeyond(int rows) const {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (committed_ <= rows && Error().empty() && std::chrono::steady_clock::now() < until)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  int Committed() const { return committed_; }
  void Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  // The engine's message of the first write that failed; "" when none did.
  std::string Error() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return error_;
  }

 private:
  void Run() {
    for (int n = 1; !stop_; ++n) {
      sqlite3_bind_int(insert_, 1, n);
      const int rc = sqlite3_step(insert_);
      sqlite3_reset(insert_);
      if (rc != SQLITE_DONE) {
        std::lock_guard<std::mutex> lock(mutex_);
        error_ = std::to_string(n) + ": " + sqlite3_errmsg(db_);
        return;
      }
      committed_ = n;
      // One row at a time, as a person's tool or a script adds them.
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  sqlite3* db_ = nullptr;
  sqlite3_stmt* insert_ = nullptr;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<int> committed_{0};
  mutable std::mutex mutex_;
  std::string error_;
};

// The event loop runs until it would wait for the user, as after every
// click, and a moment more.
inline void BackToUser() {
  QEventLoop loop;
  QTimer::singleShot(20, &loop, &QEventLoop::quit);
  loop.exec();
}

// The program waits for the user (its reads let go) while the writer
// commits `rows` rows more, or fails.
inline void UserWaitsWhileWriting(const RowWriter& writer, int rows) {
  const int until = writer.Committed() + rows;
  QElapsedTimer waited;
  waited.start();
  while (writer.Committed() < until && writer.Error().empty() && waited.elapsed() < 20000) BackToUser();
}

}  // namespace tvn::testing
