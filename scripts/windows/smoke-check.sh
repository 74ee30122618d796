#!/usr/bin/env bash
# Builds the toolchain smoke project (scripts/windows/smoke) with the MinGW
# toolchain and runs its program and tests under Wine through ctest.
#   smoke-check.sh [BUILD_DIR]   (default: a fresh temporary folder, removed after)
# Needs scripts/windows/setup-deps.sh to have run.
set -euo pipefail

SCRIPT_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
REPO_ROOT="$(cd "$SCRIPT_DIR/../.." && pwd)"
if [[ $# -ge 1 ]]; then
  BUILD="$1"
else
  BUILD="$(mktemp -d "${TMPDIR:-/tmp}/storcoll-win-smoke.XXXXXX")"
  trap 'rm -rf "$BUILD"' EXIT
fi

cmake -S "$SCRIPT_DIR/smoke" -B "$BUILD" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$REPO_ROOT/cmake/toolchain-mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$BUILD" -j "${STORCOLL_WIN_JOBS:-$(nproc)}"
ctest --test-dir "$BUILD" --output-on-failure
