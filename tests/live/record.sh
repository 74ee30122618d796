#!/bin/sh
# Records, inside the hw lab VM, what the live machine's unit tests replay:
# the sysfs and procfs files it reads (at their real places, with the links
# that lead there), the partition-table areas of each disk, the drives'
# replies to the read commands it sends, and the field tools' view of the
# same devices. Run from the repository root:
#   ../shared/hwlab/vmrun --virtio --script tests/live/record.sh --out /tmp/rec &&
#   rm -rf tests/live/recorded && mv /tmp/rec/recorded tests/live/recorded
set -e
out=/out/recorded
tree=$out/tree
mkdir -p "$tree/proc/self" "$out/replies" "$out/tools" "$out/disks" /mnt/a /mnt/b /mnt/c
# One mounted partition per disk, so that each gets a drive letter.
mount -o ro /dev/sda2 /mnt/a
mount -o ro /dev/sdb5 /mnt/b
mount -o ro /dev/nvme0n1p1 /mnt/c

# A sysfs file, copied to where it really lives.
copy() {
    [ -r "$1" ] || return 0
    real=$(readlink -f "$1")
    mkdir -p "$tree$(dirname "$real")"
    cat "$1" > "$tree$real" 2>/dev/null || rm -f "$tree$real"
}
# A sysfs link, recreated beside its real directory with its own relative target.
link() {
    dir=$(readlink -f "$(dirname "$1")")
    mkdir -p "$tree$dir"
    ln -sfn "$(readlink "$1")" "$tree$dir/$(basename "$1")"
}

for block in /sys/block/sd? /sys/block/nvme?n? /sys/block/vd?; do
    [ -e "$block" ] || continue
    name=$(basename "$block")
    link "$block"
    link "$block/device"
    for f in size removable stat dev serial queue/logical_block_size queue/rotational \
             device/vendor device/model device/rev device/vpd_pg80 device/vpd_pg89 device/queue_depth \
             device/serial device/firmware_rev; do
        copy "$block/$f"
    done
    for part in "$block/$name"*; do
        [ -d "$part" ] || continue
        for f in partition start size stat dev; do copy "$part/$f"; done
    done
    # The partition-table areas: 64 KiB at the start, at the end, and at each
    # partition's start (where an extended partition keeps its boot record).
    bytes=$(( $(cat "$block/size") * 512 ))
    chunks=$out/disks/$name
    mkdir -p "$chunks"
    for offset in 0 $((bytes - 65536)) $(for p in "$block/$name"*/start; do [ -e "$p" ] && echo $(( $(cat "$p") * 512 )); done); do
        dd if="/dev/$name" of="$chunks/$offset" bs=65536 skip=$((offset / 65536)) count=1 2>/dev/null
    done
    echo "$bytes" > "$chunks/size"
done
cat /proc/self/mountinfo > "$tree/proc/self/mountinfo"
cat /proc/self/status > "$tree/proc/self/status"
cat /proc/uptime > "$tree/proc/uptime"

# The drives' replies to the commands the live machine sends (ATA commands in
# ATA PASS-THROUGH (16), PIO data-in, one block).
for disk in sda sdb; do
    r=$out/replies/$disk
    sg_raw -r 36 -o "$r.inquiry.bin" /dev/$disk 12 00 00 00 24 00 >/dev/null 2>&1 || true
    sg_raw -r 512 -o "$r.ec.bin" /dev/$disk 85 08 0e 00 00 00 01 00 00 00 00 00 00 00 ec 00 >/dev/null 2>&1 || true
    sg_raw -r 512 -o "$r.b0-d0.bin" /dev/$disk 85 08 0e 00 d0 00 01 00 00 00 4f 00 c2 00 b0 00 >/dev/null 2>&1 || true
    sg_raw -r 512 -o "$r.b0-d1.bin" /dev/$disk 85 08 0e 00 d1 00 01 00 00 00 4f 00 c2 00 b0 00 >/dev/null 2>&1 || true
    sg_raw -r 512 -o "$r.2f-9a.bin" /dev/$disk 85 08 0e 00 00 00 01 00 9a 00 00 00 00 00 2f 00 >/dev/null 2>&1 || true
done
nvme id-ctrl -b /dev/nvme0 > "$out/replies/nvme0.identify-01.bin"
nvme smart-log -b /dev/nvme0 > "$out/replies/nvme0.log-02.bin"
nvme get-log /dev/nvme0 --log-id=0xca --log-len=512 -b > "$out/replies/nvme0.log-ca.bin" 2>/dev/null ||
    rm -f "$out/replies/nvme0.log-ca.bin"
find "$out/replies" -size 0 -exec rm {} \;

# What the field's tools say about the same devices.
blkid > "$out/tools/blkid.txt" || true
for disk in sda sdb; do smartctl -x /dev/$disk > "$out/tools/smartctl-$disk.txt" || true; done
nvme id-ctrl /dev/nvme0 > "$out/tools/nvme-id-ctrl.txt"
nvme smart-log /dev/nvme0 > "$out/tools/nvme-smart-log.txt"
cat /proc/diskstats > "$out/tools/diskstats.txt"
which setpriv su chpst setuidgid capsh > "$out/tools/which.txt" 2>&1 || true
