#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's prefix and returns its
# exit code. The cross toolchain names this script as the emulator, so ctest
# and gtest_discover_tests run the .exe files through it.
#   wine-run.sh PROGRAM.exe [ARGS...]
set -euo pipefail
# shellcheck source=wine-env.sh
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
exec wine "$@"
