// Four elements at a time.
//
// Every operation here is the IEEE operation of the scalar code applied
// lane by lane (add, subtract, multiply, compare, convert), so a vector
// result is bit-identical to the scalar one. Nothing here may contract a
// multiply and an add: the engine builds with -ffp-contract=off and the
// instruction sets the kernels are built for exclude FMA.
//
// Four doubles take 32 bytes. Where the target has AVX they are one
// register, in the compiler's portable vector types. With SSE2 alone GCC
// lowers those types lane by lane (a compare becomes four scalar compares
// and branches, and the vectors travel through the stack), so there they
// are held as two 16-byte halves and every operation is the SSE2
// instruction on each half. Targets without SSE2 take the portable types.
#pragma once

#include <cstdint>
#include <cstring>

#if defined(__SSE2__) && !defined(__AVX__)
#include <emmintrin.h>
#define GLIMMER_LANES_IN_HALVES 1
#else
#define GLIMMER_LANES_IN_HALVES 0
#endif

#define GLIMMER_LANE_INLINE [[gnu::always_inline]] inline

// The helpers are always inlined, so no vector ever crosses a call.
#pragma GCC diagnostic ignored "-Wpsabi"

namespace glimmer::lanes {

constexpr int32_t count = 4;

typedef int32_t I32 __attribute__((vector_size(16)));
typedef uint32_t U32 __attribute__((vector_size(16)));

GLIMMER_LANE_INLINE I32 splat(int32_t v) { return I32{v, v, v, v}; }
GLIMMER_LANE_INLINE U32 splat(uint32_t v) { return U32{v, v, v, v}; }

GLIMMER_LANE_INLINE I32 select(I32 mask, I32 a, I32 b) { return (a & mask) | (b & ~mask); }

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

#if GLIMMER_LANES_IN_HALVES

struct F64 {
    __m128d lo, hi;
};
// Lanes all ones or all zeros, kept in double registers so that the masks
// meet the values they select without a move between register kinds.
struct Mask64 {
    __m128d lo, hi;
};

GLIMMER_LANE_INLINE F64 splat(double v) { return {_mm_set1_pd(v), _mm_set1_pd(v)}; }

template <>
GLIMMER_LANE_INLINE F64 load<F64, double>(const double* p) {
    return {_mm_loadu_pd(p), _mm_loadu_pd(p + 2)};
}
template <>
GLIMMER_LANE_INLINE void store<F64, double>(double* p, F64 v) {
    _mm_storeu_pd(p, v.lo);
    _mm_storeu_pd(p + 2, v.hi);
}

GLIMMER_LANE_INLINE F64 operator+(F64 a, F64 b) { return {_mm_add_pd(a.lo, b.lo), _mm_add_pd(a.hi, b.hi)}; }
GLIMMER_LANE_INLINE F64 operator-(F64 a, F64 b) { return {_mm_sub_pd(a.lo, b.lo), _mm_sub_pd(a.hi, b.hi)}; }
GLIMMER_LANE_INLINE F64 operator*(F64 a, F64 b) { return {_mm_mul_pd(a.lo, b.lo), _mm_mul_pd(a.hi, b.hi)}; }
// The sign flipped, as the scalar negation does (also of zeros and NaN).
GLIMMER_LANE_INLINE F64 operator-(F64 a) {
    const __m128d sign = _mm_set1_pd(-0.0);
    return {_mm_xor_pd(a.lo, sign), _mm_xor_pd(a.hi, sign)};
}

// Ordered compares: false where either side is NaN, as in the scalar code.
GLIMMER_LANE_INLINE Mask64 operator<(F64 a, F64 b) { return {_mm_cmplt_pd(a.lo, b.lo), _mm_cmplt_pd(a.hi, b.hi)}; }
GLIMMER_LANE_INLINE Mask64 operator>(F64 a, F64 b) { return {_mm_cmpgt_pd(a.lo, b.lo), _mm_cmpgt_pd(a.hi, b.hi)}; }
GLIMMER_LANE_INLINE Mask64 operator>=(F64 a, F64 b) { return {_mm_cmpge_pd(a.lo, b.lo), _mm_cmpge_pd(a.hi, b.hi)}; }

GLIMMER_LANE_INLINE Mask64 operator&(Mask64 a, Mask64 b) { return {_mm_and_pd(a.lo, b.lo), _mm_and_pd(a.hi, b.hi)}; }
GLIMMER_LANE_INLINE Mask64 operator|(Mask64 a, Mask64 b) { return {_mm_or_pd(a.lo, b.lo), _mm_or_pd(a.hi, b.hi)}; }
GLIMMER_LANE_INLINE Mask64& operator|=(Mask64& a, Mask64 b) { return a = a | b; }
GLIMMER_LANE_INLINE Mask64 operator~(Mask64 a) {
    const __m128d ones = _mm_castsi128_pd(_mm_set1_epi32(-1));
    return {_mm_xor_pd(a.lo, ones), _mm_xor_pd(a.hi, ones)};
}

// mask ? a : b, lane by lane.
GLIMMER_LANE_INLINE F64 select(Mask64 mask, F64 a, F64 b) {
    return {_mm_or_pd(_mm_and_pd(mask.lo, a.lo), _mm_andnot_pd(mask.lo, b.lo)),
            _mm_or_pd(_mm_and_pd(mask.hi, a.hi), _mm_andnot_pd(mask.hi, b.hi))};
}
// mask ? v : +0.
GLIMMER_LANE_INLINE F64 keep(Mask64 mask, F64 v) { return {_mm_and_pd(mask.lo, v.lo), _mm_and_pd(mask.hi, v.hi)}; }
// The sign bit cleared (NaN stays NaN).
GLIMMER_LANE_INLINE F64 magnitude(F64 v) {
    const __m128d sign = _mm_set1_pd(-0.0);
    return {_mm_andnot_pd(sign, v.lo), _mm_andnot_pd(sign, v.hi)};
}

GLIMMER_LANE_INLINE F64 toDouble(I32 v) {
    const __m128i i = (__m128i)v;
    return {_mm_cvtepi32_pd(i), _mm_cvtepi32_pd(_mm_shuffle_epi32(i, _MM_SHUFFLE(3, 2, 3, 2)))};
}
// Truncation toward zero; every lane must be within int32.
GLIMMER_LANE_INLINE I32 truncate(F64 v) {
    return (I32)_mm_unpacklo_epi64(_mm_cvttpd_epi32(v.lo), _mm_cvttpd_epi32(v.hi));
}
GLIMMER_LANE_INLINE Mask64 widen(I32 m) {
    const __m128i i = (__m128i)m;
    return {_mm_castsi128_pd(_mm_unpacklo_epi32(i, i)), _mm_castsi128_pd(_mm_unpackhi_epi32(i, i))};
}
// The low halves of four masks.
GLIMMER_LANE_INLINE I32 narrow(Mask64 m) {
    return (I32)_mm_castps_si128(_mm_shuffle_ps(_mm_castpd_ps(m.lo), _mm_castpd_ps(m.hi), _MM_SHUFFLE(2, 0, 2, 0)));
}
GLIMMER_LANE_INLINE bool any(Mask64 mask) { return _mm_movemask_pd(_mm_or_pd(mask.lo, mask.hi)) != 0; }

#else

typedef double F64 __attribute__((vector_size(32)));
typedef int64_t Mask64 __attribute__((vector_size(32)));

GLIMMER_LANE_INLINE F64 splat(double v) { return F64{v, v, v, v}; }

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

// mask ? a : b, lane by lane.
GLIMMER_LANE_INLINE F64 select(Mask64 mask, F64 a, F64 b) {
    return (F64)(((Mask64)a & mask) | ((Mask64)b & ~mask));
}
// mask ? v : +0.
GLIMMER_LANE_INLINE F64 keep(Mask64 mask, F64 v) { return (F64)((Mask64)v & mask); }
// The sign bit cleared (NaN stays NaN).
GLIMMER_LANE_INLINE F64 magnitude(F64 v) {
    const int64_t noSign = 0x7FFFFFFFFFFFFFFF;
    return (F64)((Mask64)v & Mask64{noSign, noSign, noSign, noSign});
}

GLIMMER_LANE_INLINE bool any(Mask64 mask) { return (mask[0] | mask[1] | mask[2] | mask[3]) != 0; }

#endif

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
