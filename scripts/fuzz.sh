#!/usr/bin/env bash
# fuzz.sh [SECONDS] [TARGET...]: builds the libFuzzer targets with clang (in
# build-fuzz) and runs each for SECONDS (default 60), two at a time at most, at
# the lowest priority. What a target learns goes to build-fuzz/corpus/<target>;
# a finding is written to build-fuzz/findings/<target>/ and ends the run with
# failure: keep it in fuzz/regressions/<target>/ once fixed. The last lines of
# each log give the run's length and executions.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
shift || true
all=(description_fuzz smart_sector_fuzz drive_layout_fuzz identify_controller_fuzz health_log_fuzz wql_fuzz
  live_machine_fuzz)
targets=("${@:-${all[@]}}")
dir="$root/build-fuzz"

if [[ ! -f "$dir/build.ninja" ]]; then
  CC=clang CXX=clang++ cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSTORCOLL_FUZZ=ON \
    -DSTORCOLL_TESTS=OFF -DSTORCOLL_BENCH=OFF -DBUILD_SHARED_LIBS=OFF
fi
cmake --build "$dir" --target "${targets[@]}" fuzz_seeds

run() {
  local target=$1
  mkdir -p "$dir/corpus/$target" "$dir/findings/$target"
  nice -n 19 "$dir/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 -rss_limit_mb=1024 \
    -artifact_prefix="$dir/findings/$target/" "$dir/corpus/$target" "$root/fuzz/corpus/$target" \
    >"$dir/$target.log" 2>&1
}

status=0
for ((i = 0; i < ${#targets[@]}; i += 2)); do
  pids=()
  for target in "${targets[@]:i:2}"; do
    run "$target" &
    pids+=("$!:$target")
  done
  for entry in "${pids[@]}"; do
    if wait "${entry%%:*}"; then result=clean; else result=FINDING; status=1; fi
    target=${entry#*:}
    echo "$target: $result, $(grep -E 'stat::number_of_executed_units' "$dir/$target.log" | awk '{print $2}') runs in ${seconds}s"
  done
done
exit $status
