// The Windows interfaces the system calls. The Windows build takes them from
// the SDK; the Linux build from the platform layer's own declarations, with the
// same names, signatures and structure layouts.
#pragma once

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <wbemidl.h>
#include <setupapi.h>
#include <winioctl.h>
#include <ntddscsi.h>
// Older SDK headers lack this Win32 error code; its value is fixed by Windows.
#ifndef ERROR_ASSERTION_FAILURE
#define ERROR_ASSERTION_FAILURE 668L
#endif
#else
#include "platform/decl/BaseTypes.h"
#include "platform/decl/Errors.h"
#include "platform/decl/Kernel32.h"
#include "platform/decl/IoCtl.h"
#include "platform/decl/Ole32.h"
#include "platform/decl/Com.h"
#include "platform/decl/OleAuto.h"
#include "platform/decl/Wbem.h"
#include "platform/decl/SetupApi.h"
#endif
