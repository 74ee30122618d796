#!/usr/bin/env bash
# Every test: set up, check the source format, build and run the suite plainly, then again under
# AddressSanitizer and UndefinedBehaviorSanitizer, the concurrency test under
# ThreadSanitizer, a short run of each fuzz target, then the Windows build's
# portable tests under Wine. Fails when any test fails.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
"$root/scripts/setup.sh"

echo "== source format (.clang-format)"
"$root/scripts/check-format.sh"

echo "== plain build"
"$root/scripts/build.sh" "$root/build-test" -DSTORCOLL_TESTS=ON -DSTORCOLL_BENCH=ON
ctest --test-dir "$root/build-test" --output-on-failure --parallel "$jobs"

echo "== hw lab: storcoll --live collect against smartctl, nvme-cli, blkid and diskstats"
"$root/tests/live/lab_check.sh" "$root/build-test"

echo "== AddressSanitizer + UndefinedBehaviorSanitizer build"
"$root/scripts/build.sh" "$root/build-asan" -DSTORCOLL_TESTS=ON -DSTORCOLL_BENCH=OFF -DSTORCOLL_SANITIZE=ON \
  -DCMAKE_BUILD_TYPE=Debug
ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$root/build-asan" --output-on-failure --parallel "$jobs"

echo "== ThreadSanitizer: the collection methods from several threads at once"
# Only what the concurrency test needs is built here.
cmake -S "$root" -B "$root/build-tsan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSTORCOLL_TESTS=ON -DSTORCOLL_BENCH=OFF -DSTORCOLL_TSAN=ON \
  -DSTORCOLL_TEST_AREAS=robustness >/dev/null
cmake --build "$root/build-tsan" --parallel "$jobs" --target robustness_tests
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
  ctest --test-dir "$root/build-tsan" --output-on-failure -R Concurrency

echo "== Fuzz targets: a short run of each from its seeds, and every kept finding"
"$root/scripts/build.sh" "$root/build-fuzz-ci" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DSTORCOLL_FUZZ=ON -DSTORCOLL_TESTS=OFF -DSTORCOLL_BENCH=OFF -DBUILD_SHARED_LIBS=OFF
ctest --test-dir "$root/build-fuzz-ci" --output-on-failure --parallel "$jobs"

echo "== Windows build (MinGW-w64), tests under Wine"
"$root/scripts/build.sh" "$root/build-win" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-w64.cmake" \
  -DSTORCOLL_BENCH=OFF
# shellcheck source=windows/wine-env.sh
source "$root/scripts/windows/wine-env.sh"
ctest --test-dir "$root/build-win" --output-on-failure --parallel "$jobs"
