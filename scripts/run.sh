#!/usr/bin/env bash
# The main job: set up, build, and collect all six data types from the
# embedded default machine. Extra arguments go to `storcoll collect`.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# Set-up and build talk on stderr, so that stdout holds only the items.
STORCOLL_WINDOWS=0 "$root/scripts/setup.sh" >&2
"$root/scripts/build.sh" "$root/build" -DSTORCOLL_TESTS=OFF -DSTORCOLL_BENCH=OFF >&2
"$root/build/bin/storcoll" collect "$@"
