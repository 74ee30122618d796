#!/usr/bin/env bash
# check-format.sh: checks every tracked C++ file against .clang-format; prints
# the files that differ and exits non-zero when there is any.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
formatter=${CLANG_FORMAT:-clang-format}
if ! command -v "$formatter" >/dev/null; then
  echo "check-format: $formatter not found (scripts/setup.sh installs it)" >&2
  exit 2
fi
bad=0
while IFS= read -r -d '' file; do
  if ! "$formatter" --dry-run --Werror "$file" >/dev/null 2>&1; then
    echo "$file"
    bad=1
  fi
done < <(git ls-files -z -- '*.cpp' '*.cc' '*.cxx' '*.h' '*.hh' '*.hpp')
if [[ $bad -ne 0 ]]; then
  echo "check-format: the files above do not follow .clang-format (clang-format -i FILE fixes one)" >&2
fi
exit $bad
