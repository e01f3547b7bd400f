// bex_error.h - the reader's severe errors.
#ifndef VBS_READER_BEX_ERROR_H
#define VBS_READER_BEX_ERROR_H

#include <cstdint>

/// Severe-error numbers raised by the reader.
enum BexErrorNumber : int16_t {
  kBexErrOpen = 19,          // argument: the path
  kBexErrDynList = 32,       // a dynamic list's buffer not obtained
  kBexErrByteStream = 35,    // a byte stream's buffer not obtained
  kBexErrUsrGrpTable = 38,   // the user-group table not obtained
  kBexErrTraCallTable = 40,  // the transaction-call table not obtained
  kBexErrVersion = 154,      // version word not accepted
  kBexErrVersionOld = 161,   // SIMNODE version one step old
  kBexErrRead = 170,         // argument: the read tag
  kBexErrAccessFault = 180,  // argument: the fault's code and address
};

/// What a severe error throws.  Only ReadBex catches it.
struct BexSevereError {
  int16_t number;
};

/// Composes the last-error text for number with argument's text in place of
/// every "%1", reports it as an error event and throws BexSevereError.
[[noreturn]] void RaiseBexError(const char *argument, int16_t number);

/// Severe error 180 for an access fault that stopped the read: the
/// argument is "code 0x<code>, address 0x<address>" in hex.
[[noreturn]] void RaiseBexAccessFault(uint32_t code, uint64_t address);

/// The same path without an argument (facility 34): "%1" stays as it is.
[[noreturn]] void RaiseBexErrorNoText(int16_t number);

/// Writes the last-error text from messageText and number, replaces "%1" by
/// argument when it is not null, and reports the error event.  Returns.
void ReportBexError(const char *messageText, int16_t number, const char *argument);

#endif  // VBS_READER_BEX_ERROR_H
