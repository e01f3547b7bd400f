// sal_errors.h - error codes the platform layer and the common library set.
#ifndef SAL_ERRORS_H
#define SAL_ERRORS_H

#include <cstdint>

/// Composes an error code: bits 31-30 severity (0 success, 1 informational,
/// 2 warning, 3 error), bit 29 set for the product's own codes, bits 27-16
/// the facility, bits 15-0 the number.
constexpr uint32_t SalMakeErrorCode(uint32_t severity, uint32_t facility,
                                    uint32_t number) {
  return ((severity & 3u) << 30) | (1u << 29) | ((facility & 0xFFFu) << 16) |
         (number & 0xFFFFu);
}

// Platform layer.
constexpr uint32_t kSalErrArgument = 0xE0280001;   // null, empty or out of range
constexpr uint32_t kSalErrNoObject = 0xE0280002;   // no path, stream, module or search
constexpr uint32_t kSalErrNotFound = 0xE0280004;   // nothing found, no reachable parent
// Common library.
constexpr uint32_t kCommonErrNullSearchArg = 0xE0050004;  // null argument to a search or encoder
constexpr uint32_t kCommonErrNullText = 0xE0050005;       // null text where one is required
constexpr uint32_t kCommonErrBufferTooSmall = 0xE0050007; // needed length still reported
constexpr uint32_t kCommonErrNullDecodeText = 0xE0020002; // null text to a decoder
constexpr uint32_t kCommonErrBadPercentEscape = 0xE002000F;
constexpr uint32_t kCommonErrNoStorage = 0xE00303EB;      // storage not obtained

#endif  // SAL_ERRORS_H
