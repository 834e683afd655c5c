#include "preminfo_standin.h"

#include <cstdlib>
#include <cstring>
#include <set>
#include <vector>

#include "preminfo.h"

namespace {

std::set<void**> liveHandles;
std::vector<PreminfoCall> callLog;
int32_t badDisposals = 0;
int32_t allocationMode = preminfoAllocates;
HWND mainWindow = nullptr;

}  // namespace

extern "C" {

void** __cdecl preminfoNewHandle(int32_t bytes) {
    void** handle = nullptr;
    if (allocationMode != preminfoGivesNoHandle && bytes >= 0) {
        handle = new void*(nullptr);
        if (allocationMode == preminfoAllocates) {
            *handle = std::malloc(static_cast<std::size_t>(bytes) + 1);
            std::memset(*handle, preminfoFreshBlockByte, static_cast<std::size_t>(bytes));
        }
        liveHandles.insert(handle);
    }
    callLog.push_back({379, handle, bytes});
    return handle;
}

void __cdecl preminfoDisposeHandle(void** handle) {
    callLog.push_back({107, handle, 0});
    if (liveHandles.erase(handle) == 0) {
        ++badDisposals;
        return;
    }
    std::free(*handle);
    delete handle;
}

void __cdecl preminfoAnnounceSettings(void** handle) { callLog.push_back({287, handle, 0}); }

HWND __cdecl preminfoMainWindow() { return mainWindow; }

void __cdecl preminfoStandinClearLog() {
    callLog.clear();
    badDisposals = 0;
}

void __cdecl preminfoStandinSetMainWindow(HWND window) { mainWindow = window; }
void __cdecl preminfoStandinSetAllocation(int32_t mode) { allocationMode = mode; }
int32_t __cdecl preminfoStandinLiveBlocks() { return static_cast<int32_t>(liveHandles.size()); }
int32_t __cdecl preminfoStandinBadDisposals() { return badDisposals; }
int32_t __cdecl preminfoStandinCallCount() { return static_cast<int32_t>(callLog.size()); }

bool __cdecl preminfoStandinCallAt(int32_t index, PreminfoCall* call) {
    if (index < 0 || static_cast<std::size_t>(index) >= callLog.size()) return false;
    *call = callLog[static_cast<std::size_t>(index)];
    return true;
}

}
