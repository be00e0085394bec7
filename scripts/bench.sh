#!/usr/bin/env bash
# Sets up, builds and runs the benchmarks, printing one row per scenario:
# its median, the baseline measured in the same run where there is one, the
# ratio and the goal. Arguments go to the benchmark (--tiny for a quick run,
# --scenario click|database|csv|project|startup|memory|graph|extract|pdf|picture for one scenario).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup.sh"
PLOTMASON_BUILD_TYPE=Release "$root/scripts/build.sh" >/dev/null
build="${PLOTMASON_BUILD_DIR:-build}"
case "$build" in /*) ;; *) build="$root/$build" ;; esac
QT_QPA_PLATFORM=offscreen "$build/bench/plotmason_bench" "$@" 2>/dev/null
