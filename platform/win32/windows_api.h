#pragma once

// <windows.h> as the plug-in's Win32 code includes it: lean, without the
// min/max macros (the C++ runtime may have defined NOMINMAX already).
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

// The system's ReplaceFile macro would rename FileSystem::ReplaceFile; the
// system function stays reachable as ReplaceFileA.
#undef ReplaceFile
