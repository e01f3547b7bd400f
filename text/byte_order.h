// byte_order.h - the byte orders of the binary record streams.
#ifndef COMMON_BYTE_ORDER_H
#define COMMON_BYTE_ORDER_H

#include <cstdint>

constexpr uint8_t kByteOrderLittleEndian = 0;
constexpr uint8_t kByteOrderBigEndian = 1;

/// The machine's own byte order, determined once at start-up.
uint8_t CommonMachineByteOrder();

/// Whether data in byteOrder must be byte-swapped on this machine: any
/// nonzero byteOrder counts as big-endian.
inline bool CommonNeedsSwap(uint8_t byteOrder) {
  return (byteOrder != kByteOrderLittleEndian) != (CommonMachineByteOrder() == kByteOrderBigEndian);
}

/// The 4 bytes of value in reverse order.
inline uint32_t CommonSwap32(uint32_t value) {
  return (value >> 24) | ((value >> 8) & 0x0000FF00u) | ((value << 8) & 0x00FF0000u) | (value << 24);
}

#endif  // COMMON_BYTE_ORDER_H
