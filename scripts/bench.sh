#!/usr/bin/env bash
# bench.sh [benchmark options...]: builds the benchmarks (in build-bench,
# optimised) and runs them: each collection method and all six over described
# machines of 1, 8, 64 and 256 disks with 0 and 24 volumes. Pass e.g.
# --benchmark_filter='method:6/disks:256' to run a part. docs/performance.md
# explains the columns.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
STORCOLL_WINDOWS=0 "$root/scripts/setup.sh"
if [[ ! -f "$root/build-bench/build.ninja" ]]; then
  cmake -S "$root" -B "$root/build-bench" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSTORCOLL_TESTS=OFF -DSTORCOLL_BENCH=ON
fi
cmake --build "$root/build-bench" --target collect_bench
"$root/build-bench/bench/collect_bench" --benchmark_counters_tabular=true "$@"
