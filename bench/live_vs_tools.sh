#!/usr/bin/env bash
# storcoll --live collect (all six data types) against the tools a user would
# run instead, in one hw lab VM run, the same number of runs each, every
# output written to a file:
#   smartctl -x for each SATA disk, nvme id-ctrl and nvme smart-log, blkid.
# Prints minimum, median and maximum of each; storcoll's are also given
# without its counter sampling interval.
#   bench/live_vs_tools.sh BUILD_DIR [RUNS]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?usage: live_vs_tools.sh BUILD_DIR [RUNS]}" && pwd)
runs=${2:-11}
vmrun=${HWLAB_VMRUN:-$here/../../shared/hwlab/vmrun}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
c++ -O2 -std=c++20 -static -o "$work/timeit" "$here/timeit.cpp"
interval=250
cat > "$work/guest.sh" <<GUEST
set -e
export storcoll=$build/bin/storcoll
t=/root/timeit
mkdir -p /mnt/a /mnt/b /mnt/c
mount -o ro "\$(blkid -L lab-root)" /mnt/a; mount -o ro "\$(blkid -L lab-mbr)" /mnt/b; mount -o ro "\$(blkid -L nvme-data)" /mnt/c
echo "/bin/true:                  \$(\$t $runs /tmp/o -- /bin/true)"
echo "storcoll --help:            \$(\$t $runs /tmp/o -- \$storcoll --help)"
echo "storcoll list:              \$(\$t $runs /tmp/o -- \$storcoll list)"
echo "storcoll collect (sim):     \$(\$t $runs /tmp/o -- \$storcoll collect)"
echo "smartctl -i /dev/sda:       \$(\$t $runs /tmp/o -- smartctl -i /dev/sda)"
echo "peer set (sh -c):           \$(\$t $runs /tmp/o -- sh -c 'smartctl -x /dev/sda; smartctl -x /dev/sdb; nvme id-ctrl /dev/nvme0; nvme smart-log /dev/nvme0; blkid')"
echo "storcoll --live collect (sh -c, sampling $interval ms): \$(\$t $runs /tmp/o -- sh -c '\$storcoll --live --sample-interval $interval collect')"
GUEST
files=()
while IFS= read -r library; do files+=(--file "$library:$library"); done \
  < <(find "$build" -name '*.so*' -type f -not -path '*/CMakeFiles/*')
"$vmrun" --raw --timeout 600 --bin "$build/bin/storcoll" "${files[@]}" --file "$work/timeit:/root/timeit" \
  --file "$work/guest.sh:/root/guest.sh" -- sh /root/guest.sh | tee "$work/out.txt"
median=$(sed -n 's/^storcoll --live.*median \([0-9]*\) ms.*/\1/p' "$work/out.txt")
[[ -n $median ]] && echo "storcoll --live collect without the $interval ms sampling interval: median $((median - interval)) ms"
