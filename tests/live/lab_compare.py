#!/usr/bin/env python3
"""Compares storcoll --live collect, as lab_guest.sh ran it in the hw lab VM,
field by field with smartctl, nvme-cli, blkid and /proc/diskstats.
    lab_compare.py OUT_DIR SMART_TABLE_HEADER
Prints one line per compared field; exits 1 when any differs."""
import json
import pathlib
import re
import sys

out = pathlib.Path(sys.argv[1])
failures = []


def check(what, ours, theirs):
    same = ours == theirs
    print(f"{'ok  ' if same else 'FAIL'} {what}: storcoll {ours!r}, tools {theirs!r}")
    if not same:
        failures.append(what)


def load(name):
    return json.loads((out / name).read_text())


def blkid(device):
    return dict(line.split("=", 1) for line in (out / f"blkid-{device}.txt").read_text().split("\n") if "=" in line)


def items(collected, method):
    collections = collected["collections"]  # storcoll's JSON document: {"collections": [...], "health": [...]}
    return {item["itemId"]: item["data"] for entry in collections if entry["method"] == method for item in entry["items"]}


def item_of(table, serial):
    found = [data for item_id, data in table.items() if item_id.endswith("\\" + serial.upper())]
    return found[0] if found else None


def counter(text):
    # 128-bit counters travel as the ASCII of their hexadecimal digits, which
    # storcoll's JSON shows as that text.
    return int(text or "0", 16)


# The attribute table of the collector itself: id -> name of the reported field.
table = {}
for number, name in re.findall(r"\{(\d+|smartTemperatureId), \"(\w+)\"", pathlib.Path(sys.argv[2]).read_text()):
    table[194 if number == "smartTemperatureId" else int(number)] = name

collected = load("collect.json")
check("storcoll --live collect exit status", (out / "collect.rc").read_text().strip(), "0")
static = items(collected, "CollectPhysicalDiskStaticInfo")
smart_static = items(collected, "CollectSmartStaticInfo")
smart_dynamic = items(collected, "CollectSmartDynamicInfo")
dynamic = items(collected, "CollectPhysicalDiskDynamicInfo")
sizes = dict(line.split() for line in (out / "sizes.txt").read_text().splitlines())
diskstats = {fields[2]: fields for fields in (line.split() for line in (out / "diskstats.txt").read_text().splitlines())}
# Letters from C in the order of the mount points (no partition holds /).
mounts = sorted((line.split()[1], line.split()[0][len("/dev/"):]) for line in (out / "mounts.txt").read_text().splitlines())
letters = {device: chr(ord("C") + i) for i, (_, device) in enumerate(mounts)}
# The kernel shows an MBR extended partition as 1 KiB; Windows lists it as a container, not a partition.
partitions = {disk: sorted(p.name[len("blkid-"):-4] for p in out.glob(f"blkid-{disk}?*.txt")
                           if "PARTSIZE=2\n" not in p.read_text()) for disk in ("sda", "sdb", "nvme0n1")}

ctrl = load("id-ctrl.json")
serials = {"sda": load("smartctl-sda.json")["serial_number"], "sdb": load("smartctl-sdb.json")["serial_number"],
           "nvme0n1": ctrl["sn"].strip()}

for disk, serial in serials.items():
    disk_static = item_of(static, serial)
    check(f"{disk} has a static item", disk_static is not None, True)
    if disk_static is None:
        continue
    whole_cylinders = int(sizes[disk]) * 512 // 8225280 * 8225280
    check(f"{disk} size in MB (whole cylinders)", int(disk_static["Size"]), whole_cylinders >> 20)
    table_info = blkid(disk)
    guid = disk_static["Guid"].lower()
    check(f"{disk} disk GUID", guid if table_info["PTTYPE"] == "gpt" else guid[:8], table_info["PTUUID"])
    ours = {int(p["Index"]): p for p in disk_static.get("Partitions", [])}
    check(f"{disk} partition numbers", sorted(ours), sorted(int(blkid(p)["PARTN"]) for p in partitions[disk]))
    for part in partitions[disk]:
        theirs = blkid(part)
        mine = ours.get(int(theirs["PARTN"]))
        if mine is None:
            continue
        check(f"{part} size in MB", int(mine["Size"]), int(theirs["PARTSIZE"]) * 512 >> 20)
        check(f"{part} drive letter", mine["Name"], letters.get(part, "Not Used"))
        if table_info["PTTYPE"] == "gpt":
            check(f"{part} partition GUID", mine["Guid"].lower(), theirs["PARTUUID"])
    lettered = [p for p in partitions[disk] if p in letters]
    disk_dynamic = item_of(dynamic, serial)
    check(f"{disk} has a counters item", disk_dynamic is not None, bool(lettered))
    if disk_dynamic and lettered:
        read_mb = int(diskstats[lettered[-1]][5]) * 512 >> 20
        check(f"{disk} MB read from {lettered[-1]} (diskstats)", int(disk_dynamic["ByteReadInMB"]), read_mb)
        for field in ("IdleTimePercentage", "ReadTimePercentage", "WriteTimePercentage"):
            check(f"{disk} {field} within 0..100", 0 <= int(disk_dynamic[field]) <= 100, True)

for disk in ("sda", "sdb"):
    smartctl = load(f"smartctl-{disk}.json")
    serial = smartctl["serial_number"]
    check(f"{disk} model", item_of(static, serial)["MakeModel"].strip(), smartctl["model_name"])
    check(f"{disk} SMART model", item_of(smart_static, serial)["ModelName"].strip(), smartctl["model_name"])
    check(f"{disk} media type", item_of(static, serial)["Type"],
          "DISK_TYPE_SSD" if smartctl.get("rotation_rate") == 0 else "DISK_TYPE_HDD")
    attributes = item_of(smart_dynamic, serial)
    for attribute in smartctl["ata_smart_attributes"]["table"]:
        name = table.get(attribute["id"])
        if name is None:
            continue
        mine = attributes.get(name, {})
        raw = attribute["raw"]["value"]
        if attribute["id"] == 194:
            check(f"{disk} {name} raw (first byte)", int(mine.get("RawValue", -1)), raw & 0xFF)
            continue
        if attribute["id"] in (3, 9, 240):
            raw &= 0xFFFFFFFF
        check(f"{disk} {name} raw", int(mine.get("RawValue", -1)), raw)
        check(f"{disk} {name} normalised", mine.get("Normal"), attribute["value"])
        check(f"{disk} {name} worst", mine.get("Worst"), attribute["worst"])
        check(f"{disk} {name} threshold", mine.get("Threshold"), attribute["thresh"])

identify = items(collected, "CollectNvmeIdentifyControllerData")
nvme = item_of(identify, ctrl["sn"].strip())
check("nvme0 has an identify item", nvme is not None, True)
if nvme:
    for ours, theirs in (("SerialNumber", "sn"), ("ModelNumber", "mn"), ("FirmwareRevision", "fr"),
                         ("NvmSubsystemNvmeQualifiedName", "subnqn")):
        check(f"nvme0 {ours}", nvme[ours].strip(), ctrl[theirs].strip())
    for ours, theirs in (("PciVendorId", "vid"), ("PciSubsystemVendorId", "ssvid"),
                         ("RecommendedArbitrationBurst", "rab"), ("MaxDataTransferSize", "mdts"),
                         ("ControllerId", "cntlid"), ("AbortCommandLimit", "acl"),
                         ("AsynchronousEventRequestLimit", "aerl"), ("ErrorLogPageEntries", "elpe"),
                         ("NumberOfPowerStatesSupport", "npss"), ("NumberOfNamespaces", "nn"),
                         ("WarningCompositeTemperatureThreshold", "wctemp"),
                         ("CriticalCompositeTemperatureThreshold", "cctemp")):
        check(f"nvme0 {ours}", nvme[ours], ctrl[theirs])
    check("nvme0 model", item_of(static, ctrl["sn"].strip())["MakeModel"].strip(), ctrl["mn"].strip())

health_log = load("smart-log.json")
health = item_of(items(collected, "CollectSmartNvmeInfo"), ctrl["sn"].strip())
check("nvme0 has a health item", health is not None, True)
if health:
    info = health["HealthInfo"]
    check("nvme0 composite temperature (C)", info["CompositeTemperature"], health_log["temperature"] - 273)
    for ours, theirs in (("AvailableSpare", "avail_spare"), ("AvailableSpareThreshold", "spare_thresh"),
                         ("PercentageUsed", "percent_used"), ("WarningCompositeTemperatureTime", "warning_temp_time"),
                         ("CriticalCompositeTemperatureTime", "critical_comp_time")):
        check(f"nvme0 {ours}", info[ours], health_log[theirs])
    for ours, theirs in (("DataUnitRead", "data_units_read"), ("DataUnitWritten", "data_units_written"),
                         ("HostReadCommands", "host_read_commands"), ("HostWrittenCommands", "host_write_commands"),
                         ("ControllerBusyTime", "controller_busy_time"), ("PowerCycles", "power_cycles"),
                         ("PowerOnHours", "power_on_hours"), ("UnsafeShutdowns", "unsafe_shutdowns"),
                         ("MediaAndDataIntegrityErrors", "media_errors"),
                         ("NumberOfErrorInfoLogEntries", "num_err_log_entries")):
        # The tool reads the log after storcoll did: commands may have grown by its own.
        mine, theirs_value = counter(info[ours]), int(health_log[theirs])
        check(f"nvme0 {ours}", mine, mine if "Commands" in ours and 0 <= theirs_value - mine <= 8 else theirs_value)

# Without root: a clean run that says once what it could not read.
unprivileged_err = (out / "unprivileged.err").read_text()
check("unprivileged exit status", (out / "unprivileged.rc").read_text().strip(), "0")
check("unprivileged note said once", unprivileged_err.count("not running as root"), 1)
unprivileged = items(json.loads((out / "unprivileged.json").read_text()), "CollectPhysicalDiskStaticInfo")
check("unprivileged static items", sorted(unprivileged), sorted(static))
for item_id, data in unprivileged.items():
    check(f"unprivileged size of {item_id}", data.get("Size"), static[item_id].get("Size"))

print(f"{len(failures)} field(s) differ" if failures else "every field agrees")
sys.exit(1 if failures else 0)
