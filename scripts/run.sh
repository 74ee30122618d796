#!/usr/bin/env bash
# The main job: set up, build, and collect all six data types from the
# embedded default machine. Extra arguments go to `storcoll collect`.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
STORCOLL_WINDOWS=0 "$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build" -DSTORCOLL_TESTS=OFF -DSTORCOLL_BENCH=OFF
"$root/build/bin/storcoll" collect "$@"
