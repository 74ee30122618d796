#!/usr/bin/env bash
# Share of test code: non-blank, non-comment lines of tracked .cpp/.h/.hpp/.proto
# files under tests/ against all other tracked ones. Prints test lines, code lines
# and the percentage of test lines to code lines.
set -euo pipefail
cd "$(dirname "$0")/.."

count()
{
    # A line counts unless it is blank, a // comment, or wholly inside a /* */ comment.
    xargs -0 -r cat -- | awk '
        {
            line = $0
            gsub(/^[ \t\r]+|[ \t\r]+$/, "", line)
            if (inBlock)
            {
                end = index(line, "*/")
                if (end == 0) next
                inBlock = 0
                line = substr(line, end + 2)
                gsub(/^[ \t]+/, "", line)
            }
            if (line == "" || line ~ /^\/\//) next
            if (line ~ /^\/\*/)
            {
                end = index(substr(line, 3), "*/")
                if (end == 0) { inBlock = 1; next }
                rest = substr(line, end + 4)
                gsub(/^[ \t]+/, "", rest)
                if (rest == "" || rest ~ /^\/\//) next
            }
            n++
        }
        END { print n + 0 }'
}

files()
{
    git ls-files -z -- '*.cpp' '*.h' '*.hpp' '*.proto'
}

# Test support counts as test code wherever it lives: the fuzz harnesses and the
# machine that fails platform calls on purpose for the fault sweep.
support='^(tests/|fuzz/|src/platform/sim/(include/sim|src)/FaultingMachine\.)'
tests=$(files | grep -zE "$support" | count)
code=$(files | grep -zvE "$support" | count)
echo "test lines: $tests"
echo "code lines: $code"
awk -v t="$tests" -v c="$code" 'BEGIN { printf "test share: %.1f%%\n", c ? 100 * t / c : 0 }'
