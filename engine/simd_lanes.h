// Four elements at a time, in the compiler's portable vector types.
//
// Every operation here is the IEEE operation of the scalar code applied
// lane by lane (add, subtract, multiply, compare, convert), so a vector
// result is bit-identical to the scalar one. Nothing here may contract a
// multiply and an add: the engine builds with -ffp-contract=off and the
// wider instruction sets enabled below exclude FMA.
#pragma once

#include <cstdint>
#include <cstring>

// The kernels are built twice on x86-64 ELF systems, for AVX2 and for the
// SSE2 baseline, and the loader picks the one the processor runs. The
// sanitizer build keeps only the baseline, so that on an AVX2 machine the
// test command runs both.
#if defined(__x86_64__) && defined(__ELF__) && defined(__GNUC__) && !defined(__clang__) && \
    !defined(__SANITIZE_ADDRESS__)
#define GLIMMER_WIDE_KERNEL __attribute__((target_clones("avx2", "default")))
#else
#define GLIMMER_WIDE_KERNEL
#endif

#define GLIMMER_LANE_INLINE [[gnu::always_inline]] inline

// The helpers are always inlined, so no vector ever crosses a call.
#pragma GCC diagnostic ignored "-Wpsabi"

namespace glimmer::lanes {

constexpr int32_t count = 4;

typedef double F64 __attribute__((vector_size(32)));
typedef int64_t Mask64 __attribute__((vector_size(32)));
typedef int32_t I32 __attribute__((vector_size(16)));
typedef uint32_t U32 __attribute__((vector_size(16)));

GLIMMER_LANE_INLINE F64 splat(double v) { return F64{v, v, v, v}; }
GLIMMER_LANE_INLINE I32 splat(int32_t v) { return I32{v, v, v, v}; }
GLIMMER_LANE_INLINE U32 splat(uint32_t v) { return U32{v, v, v, v}; }
GLIMMER_LANE_INLINE Mask64 splat(int64_t v) { return Mask64{v, v, v, v}; }

template <typename V, typename T>
GLIMMER_LANE_INLINE V load(const T* p) {
    V v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <typename V, typename T>
GLIMMER_LANE_INLINE void store(T* p, V v) {
    std::memcpy(p, &v, sizeof v);
}

// Lane by lane rather than __builtin_convertvector: GCC 12 splits that
// widening into halves, where this is one instruction with AVX.
GLIMMER_LANE_INLINE F64 toDouble(I32 v) {
    return F64{static_cast<double>(v[0]), static_cast<double>(v[1]), static_cast<double>(v[2]),
               static_cast<double>(v[3])};
}
// Truncation toward zero; every lane must be within int32.
GLIMMER_LANE_INLINE I32 truncate(F64 v) { return __builtin_convertvector(v, I32); }
GLIMMER_LANE_INLINE Mask64 widen(I32 m) { return __builtin_convertvector(m, Mask64); }
// The low halves of four masks (two shuffles with AVX2).
GLIMMER_LANE_INLINE I32 narrow(Mask64 m) {
    return I32{static_cast<int32_t>(m[0]), static_cast<int32_t>(m[1]), static_cast<int32_t>(m[2]),
               static_cast<int32_t>(m[3])};
}

// Lane by lane: mask ? a : b (mask lanes all ones or all zeros).
GLIMMER_LANE_INLINE F64 select(Mask64 mask, F64 a, F64 b) {
    return (F64)(((Mask64)a & mask) | ((Mask64)b & ~mask));
}

GLIMMER_LANE_INLINE I32 select(I32 mask, I32 a, I32 b) { return (a & mask) | (b & ~mask); }

GLIMMER_LANE_INLINE bool any(Mask64 mask) {
    return (mask[0] | mask[1] | mask[2] | mask[3]) != 0;
}

// Whether any of four int32 masks stored at p is set: two 64-bit reads,
// where the same test on a vector register takes eight instructions.
GLIMMER_LANE_INLINE bool anyStored(const int32_t* p) {
    uint64_t low, high;
    std::memcpy(&low, p, sizeof low);
    std::memcpy(&high, p + 2, sizeof high);
    return (low | high) != 0;
}

// Lanes 0 .. n - 1 of four.
GLIMMER_LANE_INLINE I32 firstLanes32(int32_t n) { return I32{0, 1, 2, 3} < splat(n); }
GLIMMER_LANE_INLINE Mask64 firstLanes(int32_t n) { return widen(firstLanes32(n)); }

// a, a + step, a + 2 step, a + 3 step, wrapping (lanes past a chunk's end
// may leave int32; their results are never used).
GLIMMER_LANE_INLINE U32 laneSteps(int32_t a, int32_t step) {
    const uint32_t a0 = static_cast<uint32_t>(a), s = static_cast<uint32_t>(step);
    return U32{a0, a0 + s, a0 + 2 * s, a0 + 3 * s};
}

}  // namespace glimmer::lanes
