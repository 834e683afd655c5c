// The four calls of the host's utility library PREMINFO.dll that the plug-in
// uses. They are imported by ordinal only (preminfo_imports.def): the names
// here are ours, the host's library exports no names.
#pragma once

#include <windows.h>

#include <cstdint>

extern "C" {

// Ordinal 379: a new block of `bytes` bytes as a handle (a pointer to the
// block's pointer). Its contents are whatever the host's allocator left.
void** __cdecl preminfoNewHandle(int32_t bytes);
// Ordinal 107: gives back a handle from ordinal 379.
void __cdecl preminfoDisposeHandle(void** handle);
// Ordinal 287: told of the freshly filled working settings once per setup.
void __cdecl preminfoAnnounceSettings(void** handle);
// Ordinal 235: the host's main window.
HWND __cdecl preminfoMainWindow();

}
