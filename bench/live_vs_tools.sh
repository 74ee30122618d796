#!/usr/bin/env bash
# storcoll --live collect (all six data types) against the tools a user would
# run instead, in one hw lab VM run, the same number of runs each, every
# output written to a file:
#   smartctl -x for each SATA disk, nvme id-ctrl and nvme smart-log, blkid.
# Prints minimum, median and maximum of each; storcoll's --live collect is
# also timed with a 1 ms counter sampling interval, which leaves out the
# interval (a sleep between two samples of the disks' counters).
# With a second build folder, its storcoll is timed in the same run too (the
# build before a change, say), so that the two compare under the same load.
#   bench/live_vs_tools.sh BUILD_DIR [RUNS [BASELINE_BUILD_DIR]]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?usage: live_vs_tools.sh BUILD_DIR [RUNS [BASELINE_BUILD_DIR]]}" && pwd)
runs=${2:-11}
baseline=${3:+$(cd "$3" && pwd)}
vmrun=${HWLAB_VMRUN:-$here/../../shared/hwlab/vmrun}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
c++ -O2 -std=c++20 -static -o "$work/timeit" "$here/timeit.cpp"
# The VM emulates its processor, so other work on the host slows it down:
# the load goes beside the figures.
echo "host load before the run: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"
interval=250
storcoll_lines() {  # BUILD LABEL
  cat <<GUEST
s=$1/bin/storcoll
echo "$2 --help:            \$(\$t $runs /tmp/o -- \$s --help)"
echo "$2 list:              \$(\$t $runs /tmp/o -- \$s list)"
echo "$2 collect (sim):     \$(\$t $runs /tmp/o -- \$s collect)"
echo "$2 --live collect (sh -c, sampling $interval ms): \$(\$t $runs /tmp/o -- sh -c "\$s --live --sample-interval $interval collect")"
echo "$2 --live collect (sh -c, sampling 1 ms):   \$(\$t $runs /tmp/o -- sh -c "\$s --live --sample-interval 1 collect")"
echo "$2 --live collect wrote \$(wc -c < /tmp/o) bytes (standard output and error)"
GUEST
}
{
  cat <<GUEST
set -e
t=/root/timeit
mkdir -p /mnt/a /mnt/b /mnt/c
mount -o ro "\$(blkid -L lab-root)" /mnt/a; mount -o ro "\$(blkid -L lab-mbr)" /mnt/b; mount -o ro "\$(blkid -L nvme-data)" /mnt/c
echo "guest load: \$(cat /proc/loadavg)"
echo "/bin/true:                  \$(\$t $runs /tmp/o -- /bin/true)"
echo "smartctl -i /dev/sda:       \$(\$t $runs /tmp/o -- smartctl -i /dev/sda)"
echo "peer set (sh -c):           \$(\$t $runs /tmp/o -- sh -c 'smartctl -x /dev/sda; smartctl -x /dev/sdb; nvme id-ctrl /dev/nvme0; nvme smart-log /dev/nvme0; blkid')"
GUEST
  storcoll_lines "$build" storcoll
  [[ -z $baseline ]] || storcoll_lines "$baseline" baseline
} > "$work/guest.sh"
# vmrun brings storcoll's own libraries; the ones it loads at run time (the
# plug-in) and the system libraries those need come here.
files=()
while IFS= read -r library; do files+=(--file "$library:$library"); done \
  < <(built=$(find "$build" $baseline -name '*.so*' -type f -not -path '*/CMakeFiles/*')
      { echo "$built"; echo "$built" | xargs -r ldd 2>/dev/null | awk '$3 ~ /^\// {print $3}'; } | sort -u)
programs=(--bin "$build/bin/storcoll")
[[ -z $baseline ]] || programs+=(--bin "$baseline/bin/storcoll")
"$vmrun" --raw --timeout 600 "${programs[@]}" "${files[@]}" --file "$work/timeit:/root/timeit" \
  --file "$work/guest.sh:/root/guest.sh" -- sh /root/guest.sh
