#!/bin/sh
# Inside the hw lab VM (lab_check.sh copies it there): one mounted partition
# per disk, then storcoll --live collect as root and as an unprivileged user,
# and the field's tools on the same devices, all written under /out.
storcoll=$1
out=/out
mkdir -p /mnt/a /mnt/b /mnt/c
# Found by label: kernel names depend on which drive finished probing first.
mount -o ro "$(blkid -L lab-root)" /mnt/a
mount -o ro "$(blkid -L lab-mbr)" /mnt/b
mount -o ro "$(blkid -L nvme-data)" /mnt/c
grep ' /mnt/' /proc/mounts > $out/mounts.txt
"$storcoll" --live collect > $out/collect.json 2> $out/collect.err
echo $? > $out/collect.rc
cat /proc/diskstats > $out/diskstats.txt
for disk in sda sdb nvme0n1; do echo "$disk $(cat /sys/block/$disk/size)"; done > $out/sizes.txt
for disk in sda sdb; do smartctl -x -j /dev/$disk > $out/smartctl-$disk.json; done
nvme id-ctrl -o json /dev/nvme0 > $out/id-ctrl.json
nvme smart-log -o json /dev/nvme0 > $out/smart-log.json
for device in sda sdb nvme0n1; do blkid -p -o export /dev/$device > $out/blkid-$device.txt; done
# A partition without a file system gets no low-level probe; its table entry
# as blkid and the kernel read it.
for device in $(cd /sys/class/block && ls -d sd?[0-9]* nvme0n1p*); do
    { blkid -o export /dev/$device | grep PARTUUID
      echo "PARTN=$(cat /sys/class/block/$device/partition)"
      echo "PARTSIZE=$(cat /sys/class/block/$device/size)"; } > $out/blkid-$device.txt
done
# An unprivileged user (the guest is thrown away after the run).
grep -q '^lab:' /etc/passwd || echo 'lab:x:1000:1000:lab:/tmp:/bin/sh' >> /etc/passwd
mkdir -p /tmp/lab && chmod 777 /tmp/lab
su lab -s /bin/sh -c "cd /tmp/lab; '$storcoll' --live collect > unprivileged.json 2> unprivileged.err; echo \$? > unprivileged.rc"
cp /tmp/lab/unprivileged.* $out/
exit 0
