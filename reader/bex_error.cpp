// bex_error.cpp - composing, reporting and raising the reader's severe errors.
#include "reader/bex_error.h"

#include <string>

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

// Replaces every "%1" of text by argument in one left-to-right pass; the
// inserted text is never scanned again.
std::string ReplacePercentOne(const char *text, const char *argument) {
  std::string out;
  for (const char *p = text; *p != '\0';) {
    if (p[0] == '%' && p[1] == '1') {
      out += argument;
      p += 2;
    } else {
      out += *p++;
    }
  }
  return out;
}

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
    const std::string replaced = ReplacePercentOne(text, argument);
    BoundedCopy(text, capacity, replaced.c_str());
  }
  SalReportErrorEvent(kEventSevereError, text);
}

void RaiseBexError(const char *argument, int16_t number) {
  Raise(kFacilityReader, argument, number);
}

void RaiseBexErrorNoText(int16_t number) { Raise(kFacilityReaderNoText, nullptr, number); }
