// bex_error.cpp - composing, reporting and raising the reader's severe errors.
#include "reader/bex_error.h"

#include <cstring>

#include "common/common_string.h"
#include "messages/error_format.h"
#include "messages/event_report.h"
#include "messages/library_strings.h"
#include "platform/sal_errors.h"
#include "platform/text.h"
#include "reader/bex_state.h"

namespace {
constexpr uint32_t kFacilityReader = 33;
constexpr uint32_t kFacilityReaderNoText = 34;
constexpr const char *kDefaultFormat = "Severe Error %s(%d) in vortBexScanner.dll";

[[noreturn]] void Raise(uint32_t facility, const char *argument, int16_t number) {
  const uint32_t code = SalMakeErrorCode(3, facility, static_cast<uint16_t>(number));
  char message[1024];
  SalFormatErrorCode(code, message, sizeof message, SAL_FORMAT_PREFIX | SAL_FORMAT_SYSTEM_NUMBER);
  ReportBexError(message, number, argument);
  throw BexSevereError{number};
}
}  // namespace

void ReportBexError(const char *messageText, int16_t number, const char *argument) {
  char *text = BexState().lastError;
  const size_t capacity = sizeof BexState().lastError;
  const char *format = SalGetLibraryString(kStrSevereErrorFormat, kDefaultFormat);
  BoundedFormat(text, capacity, format, messageText, static_cast<int32_t>(number));
  if (argument != nullptr) {
    // One left-to-right pass over whole characters: the inserted text is
    // never scanned again.  Without storage for the copy the text keeps
    // its "%1".
    CCommonString composed(text);
    const uint32_t length = static_cast<uint32_t>(std::strlen(argument));
    if (composed.ReplaceChars("%1", 2, argument, length, 1, CCommonString::kAll) != 0)
      BoundedCopy(text, capacity, composed.CStr());
  }
  SalReportErrorEvent(kEventSevereError, text);
}

void RaiseBexError(const char *argument, int16_t number) {
  Raise(kFacilityReader, argument, number);
}

void RaiseBexErrorNoText(int16_t number) { Raise(kFacilityReaderNoText, nullptr, number); }
