// The row length in a host frame record. The host keeps flags of its own in
// the bits of rowBytes above the low 14, so only those 14 are the length:
// at most 16383 bytes, 4095 pixels a row.
#pragma once

#include <cstdint>

namespace glimmer {

constexpr int32_t hostRowBytesMask = 0x3FFF;

inline int32_t hostRowBytes(int32_t recordRowBytes) { return recordRowBytes & hostRowBytesMask; }

}  // namespace glimmer
