// Our stand-in for the host's utility library PREMINFO.dll. Besides the
// four ordinals the plug-in imports it exports, by name, a few calls for
// the test host and the tests: they see every block and every call.
#pragma once

#include <windows.h>

#include <cstdint>

extern "C" {

struct PreminfoCall {
    int32_t ordinal;    // 379, 287 or 107
    void** handle;      // the handle returned (379) or passed (287, 107)
    int32_t bytes;      // the size asked for (379)
};

// How ordinal 379 answers: with a block, with no handle at all, or with a
// handle that has no block behind it.
enum PreminfoAllocation : int32_t { preminfoAllocates = 0, preminfoGivesNoHandle = 1, preminfoGivesEmptyHandle = 2 };

// Forgets the call log; live blocks stay live.
void __cdecl preminfoStandinClearLog();
void __cdecl preminfoStandinSetMainWindow(HWND window);
void __cdecl preminfoStandinSetAllocation(int32_t mode);

int32_t __cdecl preminfoStandinLiveBlocks();
// Disposals of a handle that is not live: a double dispose or garbage.
int32_t __cdecl preminfoStandinBadDisposals();
int32_t __cdecl preminfoStandinCallCount();
// The call at `index` of the log, oldest first; false past its end.
bool __cdecl preminfoStandinCallAt(int32_t index, PreminfoCall* call);

}

// Every byte of a new block holds this, so code that trusts fresh memory
// to be zero is caught.
constexpr unsigned char preminfoFreshBlockByte = 0xCD;
