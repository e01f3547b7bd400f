// byte_order.cpp - the machine's byte order.
#include "text/byte_order.h"

#include <cstring>

uint8_t CommonMachineByteOrder() {
  // Determined on the first call, which static initialisation makes; the
  // streams ask once, when they are constructed.
  static const uint8_t order = [] {
    const uint32_t one = 1;
    unsigned char first = 0;
    std::memcpy(&first, &one, 1);
    return first == 1 ? kByteOrderLittleEndian : kByteOrderBigEndian;
  }();
  return order;
}

namespace {
// Makes the first call during start-up.
[[maybe_unused]] const uint8_t g_machineByteOrderAtStartUp = CommonMachineByteOrder();
}  // namespace
