#pragma once
// What the user waits for in a quick display (opening it with its first
// screen of rows, the first sort of a column, a Quick Jump), timed up to
// the rows painted, with the longest time the event loop went without
// turning; both windows' benchmarks time it the same way. Each run is
// reported: the fastest (best_s, with its gap gap_s) and the slowest
// (worst_s), and the longest gap of any run (worst_gap_s), since the user
// waits in every run, not in the best one.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <algorithm>
#include <functional>
#include <memory>
#include <string>

#include "bench/BenchSupport.h"
#include "platform/forms/FlexGrid.h"

namespace bench {

inline BestTimes& QuickDisplayTimes() {
  static BestTimes times;
  return times;
}

// Runs prepare (untimed) and then action (timed with the paint that
// follows) once per iteration, and sets the counters above.
inline void TimeEachRun(benchmark::State& state, const std::string& name, const std::function<void()>& prepare,
                        const std::function<void()>& action) {
  double worst = 0, worstGap = 0;
  for (auto _ : state) {
    state.PauseTiming();
    prepare();
    state.ResumeTiming();
    const std::pair<double, double> run = TimedWithGap(action);
    QuickDisplayTimes().NoteWithGap(name, run);
    worst = std::max(worst, run.first);
    worstGap = std::max(worstGap, run.second);
  }
  state.counters["best_s"] = QuickDisplayTimes().Get(name);
  state.counters["gap_s"] = QuickDisplayTimes().Get(name + " gap");
  state.counters["worst_s"] = worst;
  state.counters["worst_gap_s"] = worstGap;
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// A window of kind Form opened, loaded and shown, timed up to its first
// screen of rows painted.
template <class Form>
void TimeOpening(benchmark::State& state, const std::string& name) {
  std::unique_ptr<Form> form;
  TimeEachRun(
      state, name, [&] { form.reset(); },
      [&] {
        form = std::make_unique<Form>();
        form->Form_Load();
        form->show();
        form->QDGrid->viewport()->repaint();
      });
  form.reset();
}

// A new window of kind Form before each run, loaded, shown and set up by
// `before` (untimed); then `action`, timed with the paint that follows.
template <class Form>
void TimeOnFreshWindow(benchmark::State& state, const std::string& name, const std::function<void(Form&)>& before,
                       const std::function<void(Form&)>& action) {
  std::unique_ptr<Form> form;
  TimeEachRun(
      state, name,
      [&] {
        form.reset();
        form = std::make_unique<Form>();
        form->Form_Load();
        form->show();
        QApplication::processEvents();
        before(*form);
      },
      [&] {
        action(*form);
        form->QDGrid->viewport()->repaint();
      });
  form.reset();
}

}  // namespace bench
