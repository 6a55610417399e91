#!/usr/bin/env bash
# Runs the desktop suite again and again on a loaded machine, to show that
# it does not fail at random: builds once, starts busy loops (by default two
# for each core, each one ended after at most two hours), runs
# `scripts/test.sh --desktop-only --no-build` N times, and prints each
# failed run with the cases that failed. The busy loops are stopped at exit.
#   scripts/desktop-soak.sh [N] [busy loops per core]     defaults 20 and 2
# The log of every failed run is kept in build/desktop-soak/.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-20}
per_core=${2:-2}
logs=$here/build/desktop-soak
"$here/scripts/setup.sh" "$here/build"
rm -rf "$logs"
mkdir -p "$logs"

busy=()
suite=
stop_busy() {
  local p
  for p in "${busy[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${busy[@]}"; do wait "$p" 2>/dev/null || true; done
  busy=()
}
# Interrupted: the run under way is ended too (it stops its own screen).
stop_all() {
  [ -n "$suite" ] && kill "$suite" 2>/dev/null && wait "$suite" 2>/dev/null
  stop_busy
}
trap stop_all EXIT
trap 'exit 130' INT TERM
loops=$(( $(nproc) * per_core ))
for _ in $(seq "$loops"); do
  timeout 7200 sh -c 'while :; do :; done' &
  busy+=($!)
done
echo "$loops busy loops on $(nproc) cores; $runs runs of the desktop suite"

failed_runs=0
start=$(date +%s)
for i in $(seq "$runs"); do
  t0=$(date +%s)
  set +e
  "$here/scripts/test.sh" --desktop-only --no-build > "$logs/run-$i.log" 2>&1 &
  suite=$!
  wait "$suite"
  rc=$?
  suite=
  set -e
  took=$(( $(date +%s) - t0 ))
  summary=$(grep -E '^total: ' "$logs/run-$i.log" | tail -n 1 || true)
  if [ "$rc" -ne 0 ]; then
    failed_runs=$((failed_runs + 1))
    echo "run $i: FAILED after ${took}s (${summary:-no summary})"
    # The names of the failed cases, as ctest lists them at the end.
    sed -n '/^The following tests FAILED:/,$p' "$logs/run-$i.log" | grep -E '^\s+[0-9]+ - ' | sed 's/^/    /' || true
    grep -E 'Failure|never|did not|Expected|Which is|Value of|^desktop tests:' "$logs/run-$i.log" | head -n 12 |
      sed 's/^/      /' || true
  else
    echo "run $i: passed in ${took}s (${summary})"
    rm -f "$logs/run-$i.log"
  fi
done
stop_busy
echo "desktop soak: $failed_runs of $runs runs failed with $loops busy loops, $(( $(date +%s) - start ))s in all"
[ "$failed_runs" -eq 0 ]
