#include "global_scratch_memory.h"

namespace glimmer {

GlobalScratchMemory::GlobalScratchMemory() : memory_{obtain, release, this} {}

void* GlobalScratchMemory::obtain(std::size_t bytes, void* context) {
    auto* self = static_cast<GlobalScratchMemory*>(context);
    HGLOBAL handle = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (handle == nullptr) return nullptr;
    void* block = GlobalLock(handle);
    if (block == nullptr) {
        GlobalFree(handle);
        return nullptr;
    }
    self->handle_ = handle;
    return block;
}

void GlobalScratchMemory::release(void*, void* context) {
    auto* self = static_cast<GlobalScratchMemory*>(context);
    if (self->handle_ == nullptr) return;
    GlobalUnlock(self->handle_);
    GlobalFree(self->handle_);
    self->handle_ = nullptr;
}

}  // namespace glimmer
