// The interleaved-line scratch buffer from the system's movable global
// memory, taken and released within one frame setup.
#pragma once

#include <windows.h>

#include "frame_setup.h"

namespace glimmer {

// Scratch memory for one frame setup. The engine obtains and releases at
// most one block per call, whose handle this object keeps.
class GlobalScratchMemory {
public:
    GlobalScratchMemory();
    GlobalScratchMemory(const GlobalScratchMemory&) = delete;
    GlobalScratchMemory& operator=(const GlobalScratchMemory&) = delete;

    const ScratchMemory& memory() const { return memory_; }

private:
    static void* obtain(std::size_t bytes, void* context);
    static void release(void* block, void* context);

    HGLOBAL handle_ = nullptr;
    ScratchMemory memory_;
};

}  // namespace glimmer
