// sal_errors.h - error codes the platform layer and the common library set.
#ifndef SAL_ERRORS_H
#define SAL_ERRORS_H

#include <cstdint>

/// Composes an error code: bits 31-30 severity (0 success, 1 informational,
/// 2 warning, 3 error), bit 29 set (the product's own codes), bit 28 zero,
/// bits 27-16 the facility, bits 15-0 the number.  A severity above 3
/// gives 0.  Nothing is masked: the caller keeps facility below 4096 and
/// number below 65536.
constexpr uint32_t SalMakeErrorCode(uint32_t severity, uint32_t facility,
                                    uint32_t number) {
  return severity > 3 ? 0u
                      : ((((severity << 2) | 2u) << 28) | (facility << 16) | number);
}

/// The facility field (bits 27-16) of code.
constexpr uint32_t SalGetErrorFacility(uint32_t code) { return (code & 0x0FFF0000u) >> 16; }

/// The number field (bits 15-0) of code.
constexpr uint32_t SalGetErrorNumber(uint32_t code) { return code & 0xFFFFu; }

/// The severity of code: the top two bits of a product code (bit 29 set);
/// for a system code, 0 when the code is 0 and 3 (error) otherwise.
constexpr uint32_t SalGetErrorSeverity(uint32_t code) {
  return (code & 0x20000000u) != 0 ? code >> 30 : (code == 0 ? 0u : 3u);
}

/// True for the product's own codes (bit 29, the customer flag, set).
constexpr bool SalIsProductCode(uint32_t code) { return (code & 0x20000000u) != 0; }

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
