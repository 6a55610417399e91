#pragma once
// What the user waits for in a quick display just opened and shown (the
// first sort of a column, a Quick Jump), timed up to the rows painted,
// with the longest time the event loop went without turning; both windows'
// benchmarks time it the same way.
#include <benchmark/benchmark.h>

#include <QApplication>
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

// A new window of kind Form before each run, loaded, shown and set up by
// `before` (untimed); then `action`, timed with the paint that follows.
// The counters best_s and gap_s give the fastest run and its longest gap.
template <class Form>
void TimeOnFreshWindow(benchmark::State& state, const std::string& name, const std::function<void(Form&)>& before,
                       const std::function<void(Form&)>& action) {
  std::unique_ptr<Form> form;
  QuickDisplayTimes().TimedGap(
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
  state.counters["best_s"] = QuickDisplayTimes().Get(name);
  state.counters["gap_s"] = QuickDisplayTimes().Get(name + " gap");
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace bench
