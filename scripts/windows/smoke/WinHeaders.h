// The SDK headers the collector needs, included the way the platform layer
// does, plus layout checks against the Windows x64 ABI: a MinGW header that
// disagreed with Windows would make every device request malformed.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <objbase.h>
#include <setupapi.h>
#include <winioctl.h>
#include <ntddscsi.h>
#include <wbemidl.h>

#include <cstddef>

static_assert(sizeof(WCHAR) == 2 && sizeof(DWORD) == 4 && sizeof(LONG) == 4);
static_assert(sizeof(HRESULT) == 4 && sizeof(ULONG_PTR) == 8);
static_assert(sizeof(STORAGE_PROPERTY_QUERY) == 12);
static_assert(sizeof(STORAGE_DEVICE_NUMBER) == 12);
static_assert(sizeof(ATA_PASS_THROUGH_EX) == 48);
static_assert(offsetof(ATA_PASS_THROUGH_EX, DataBufferOffset) == 24);
static_assert(sizeof(SCSI_PASS_THROUGH_DIRECT) == 56);
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, DataBuffer) == 24);
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, Cdb) == 36);
static_assert(sizeof(DISK_GEOMETRY) == 24);
static_assert(sizeof(VARIANT) == 24);
static_assert(IOCTL_STORAGE_QUERY_PROPERTY == 0x2D1400);
static_assert(IOCTL_ATA_PASS_THROUGH_DIRECT == 0x4D030);
static_assert(IOCTL_SCSI_PASS_THROUGH_DIRECT == 0x4D014);
