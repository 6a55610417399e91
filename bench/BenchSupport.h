#pragma once
// A data folder of a benchmark's own, so that no run touches the user's
// data or settings.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <utility>
#include <string>
#include <vector>

#include "platform/dao/Dao.h"

struct sqlite3;

namespace bench {

// The floor of a save: a copy of the collection file beside it ("floor.mdb"),
// opened by raw SQLite with the engine's own durability (a second
// connection could not write to the file a window holds open sets on).
sqlite3* OpenFloorCopy(const std::filesystem::path& file);
// Runs the statements on a raw connection in one transaction; any failure
// ends the run, so a floor never measures a statement that did nothing.
void CommitRaw(sqlite3* db, const std::vector<std::string>& statements);

// The floor of a listing: the benchmark's iterations each read every row of
// `sql` through raw SQLite, read-only, touching each of its columns.
void ReadAllRaw(benchmark::State& state, const std::filesystem::path& file, const char* sql);

// Raw SQLite on the file, read-only: every column of every row of sql read
// as text, once.
void RawRead(const std::filesystem::path& file, const std::string& sql);

// Makes a new temporary folder named after prefix and points the program
// at it: TAVOLIN_HOME, a settings file inside it, the current folder, and
// message boxes answered without a person.
std::filesystem::path MakeDataFolder(const std::string& prefix);
// Writes a new game collection at path holding `games` games spread over
// the six console sections, with publishers, developers, genres, system
// types, features and two links of each kind per game.
void MakeGameCollection(const std::string& path, int games);

// Leaves the folder and removes it with everything in it.
void RemoveDataFolder(const std::filesystem::path& dir);
// Removes every folder MakeDataFolder made that is still there; the
// program calls it before it ends, so that no folder outlives a run even
// when a fixture is never torn down.
void RemoveAllDataFolders();

// Adds `items` records to mediadata, spread over the nine sections (1 + i % 9)
// with names over the alphabet, 500 artists, 40 categories, 1,000 catalogue
// numbers and ten titles each; `more` sets further fields of record i.
// The caller holds the transaction.
void AddItems(const dao::DatabasePtr& db, int items,
              const std::function<void(dao::Recordset&, int)>& more = {});

// The longest time the event loop went without turning while an action ran,
// which is how long the window stood frozen. A 10 ms timer notes each turn;
// the action's own busy ticks turn the loop. Needs a QApplication.
class GapMeter {
 public:
  GapMeter();
  ~GapMeter();
  GapMeter(const GapMeter&) = delete;
  GapMeter& operator=(const GapMeter&) = delete;
  // Seconds of the longest gap so far, the one still open included.
  double Longest() const;

 private:
  struct Impl;
  Impl* impl_;
};

// The benchmark's collection sizes: 10,000 and 100,000 items, and
// 1,000,000 when TVN_BENCH_MILLION=1 asks for it.
bool MillionRequested();
void CollectorSizes(benchmark::internal::Benchmark* b);

// Memory of the process in kB: a field of /proc/self/status ("VmRSS",
// "VmHWM"); resident now, and its peak since the last ResetPeak.
long StatusKb(const char* key);
long ResidentKb();
long PeakKb();
// Gives freed memory back to the system (so that what stays resident is
// what is still held).
void TrimHeap();
// TrimHeap, then starts the peak over from what is resident now, so that
// the next step's peak is its own.
void ResetPeak();

// The number of rows of "<table> where <condition>", counted through the
// data layer.
long CountRows(const dao::DatabasePtr& db, const std::string& where);

// Runs work once and returns {seconds, longest event-loop gap in seconds}.
std::pair<double, double> TimedWithGap(const std::function<void()>& work);

// A window going back to waiting for the user after an action: the event
// loop runs until it would wait (where the program does what it does
// between two actions) and a millisecond more.
void BackToUser();

// How many items a benchmark of the windows makes: `usual`, or 1,000,000
// when TVN_BENCH_MILLION=1.
int ItemsOrMillion(int usual);

// The best time in seconds of each named measure, for a closing summary.
class BestTimes {
 public:
  template <class F>
  void Timed(benchmark::State& state, const std::string& name, F&& work) {
    for (auto _ : state) {
      const auto t0 = std::chrono::steady_clock::now();
      work();
      Note(name, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
  }
  // The same, with untimed work before each timed run (clearing what the
  // run before left).
  template <class P, class F>
  void Timed(benchmark::State& state, const std::string& name, P&& prepare, F&& work) {
    for (auto _ : state) {
      prepare();
      const auto t0 = std::chrono::steady_clock::now();
      work();
      Note(name, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
  }
  // The same, noting the longest event-loop gap of the run beside the time
  // under "<name> gap" (the gap of the fastest run is the one kept).
  template <class F>
  void TimedGap(benchmark::State& state, const std::string& name, F&& work) {
    for (auto _ : state) NoteWithGap(name, TimedWithGap(work));
  }
  // The same, with untimed work before each timed run (a window opened).
  template <class P, class F>
  void TimedGap(benchmark::State& state, const std::string& name, P&& prepare, F&& work) {
    for (auto _ : state) {
      state.PauseTiming();
      prepare();
      state.ResumeTiming();
      NoteWithGap(name, TimedWithGap(work));
    }
  }
  void NoteWithGap(const std::string& name, std::pair<double, double> timeAndGap) {
    auto it = best_.find(name);
    if (it == best_.end() || timeAndGap.first < it->second) best_[name + " gap"] = timeAndGap.second;
    Note(name, timeAndGap.first);
  }
  void Note(const std::string& name, double seconds) {
    auto it = best_.find(name);
    if (it == best_.end() || seconds < it->second) best_[name] = seconds;
  }
  // 0 when the measure did not run.
  double Get(const std::string& name) const {
    auto it = best_.find(name);
    return it == best_.end() ? 0.0 : it->second;
  }

 private:
  std::map<std::string, double> best_;
};

}  // namespace bench
