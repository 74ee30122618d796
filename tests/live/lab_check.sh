#!/usr/bin/env bash
# storcoll --live collect in the hw lab VM, compared field by field with what
# smartctl, nvme-cli, blkid and /proc/diskstats report for the same devices.
#   tests/live/lab_check.sh BUILD_DIR
# Skips, saying so, when the lab is not there or cannot start.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?usage: lab_check.sh BUILD_DIR}" && pwd)
vmrun=${HWLAB_VMRUN:-$here/../../../shared/hwlab/vmrun}
if [[ ! -x $vmrun ]]; then
  echo "hw lab check skipped: no hw lab here (vmrun not found)"
  exit 0
fi
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
# Libraries the program loads at run time are not in its ldd list; bring every one we build.
# The plug-in is loaded at run time, so the system libraries it needs come too.
files=()
while IFS= read -r library; do files+=(--file "$library:$library"); done \
  < <(built=$(find "$build" -name '*.so*' -type f -not -path '*/CMakeFiles/*')
      { echo "$built"; echo "$built" | xargs -r ldd 2>/dev/null | awk '$3 ~ /^\// {print $3}'; } | sort -u)
"$vmrun" --raw --bin "$build/bin/storcoll" "${files[@]}" --file "$here/lab_guest.sh:/root/lab_guest.sh" \
  --out "$out" -- sh /root/lab_guest.sh "$build/bin/storcoll" > "$out/vmrun.log" 2>&1
status=$?
if [[ $status -eq 125 || ! -s $out/collect.rc ]]; then
  echo "hw lab check skipped: the lab VM could not start (vmrun status $status)"
  tail -5 "$out/vmrun.log"
  exit 0
fi
python3 "$here/lab_compare.py" "$out" "$here/../../src/cpp/Common/include/Common/SmartDataCollection.h"
