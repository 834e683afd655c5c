// Where glimmer's frame buffers live. A 1080p frame is 8 MB, and on some
// virtual machines faulting that in 4 KB at a time costs more than
// rendering the frame, so large buffers are aligned to and advised for
// transparent huge pages. Where the system has none, this is plain memory.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <new>

#include <sys/mman.h>

namespace glimmer::tool {

template <typename T>
struct FrameAllocator {
    using value_type = T;

    FrameAllocator() = default;
    template <typename U>
    FrameAllocator(const FrameAllocator<U>&) {}

    T* allocate(std::size_t count) {
        const std::size_t bytes = count * sizeof(T);
        if (bytes < hugePage) return static_cast<T*>(::operator new(bytes));
        const std::size_t whole = (bytes + hugePage - 1) / hugePage * hugePage;
        void* memory = std::aligned_alloc(hugePage, whole);
        if (memory == nullptr) throw std::bad_alloc();
        madvise(memory, whole, MADV_HUGEPAGE);
        return static_cast<T*>(memory);
    }
    void deallocate(T* memory, std::size_t count) {
        if (count * sizeof(T) < hugePage) ::operator delete(memory);
        else std::free(memory);
    }

    template <typename U>
    bool operator==(const FrameAllocator<U>&) const { return true; }
    template <typename U>
    bool operator!=(const FrameAllocator<U>&) const { return false; }

private:
    static constexpr std::size_t hugePage = std::size_t{2} << 20;
};

}  // namespace glimmer::tool
