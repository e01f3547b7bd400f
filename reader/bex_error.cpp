// bex_error.cpp - composing, reporting and raising the reader's severe errors.
#include "reader/bex_error.h"

#include <cstring>

#include "base/common_string.h"
#include "base/sal_errors.h"
#include "base/text.h"
#include "messages/error_format.h"
#include "messages/event_log.h"
#include "messages/language_resources.h"
#include "messages/library_attach.h"
#include "reader/bex_state.h"

namespace {
constexpr uint32_t kFacilityReader = 33;
constexpr uint32_t kFacilityReaderNoText = 34;
constexpr uint32_t kStrSevereErrorFormat = 47208;
constexpr const char *kDefaultFormat = "Severe Error %s(%d) in vortBexScanner.dll";

// True when format's conversions are at most "%s" then "%d" (or "%i"),
// each with flags, width and precision as digits only, "%%" anywhere: the
// only formats the message text and the number can be given to.  A
// language module with any other format falls back to the default.
bool IsSevereErrorFormat(const char *format) {
  static const char kExpected[2][3] = {"s", "di"};
  int conversions = 0;
  SalConversion c{};
  while (SalNextConversion(format, &c)) {
    // flags, then a width and a precision of digits only
    size_t i = std::strspn(c.spec, "-+ #0");
    while (i < c.specLength && c.spec[i] >= '0' && c.spec[i] <= '9') ++i;
    if (i < c.specLength && c.spec[i] == '.') ++i;
    while (i < c.specLength && c.spec[i] >= '0' && c.spec[i] <= '9') ++i;
    if (i != c.specLength || c.letter == '\0' || conversions == 2 ||
        std::strchr(kExpected[conversions], c.letter) == nullptr)
      return false;
    ++conversions;
  }
  return true;
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
  const char *format =
      SalGetLibraryResources().GetString(0, kStrSevereErrorFormat, kDefaultFormat);
  if (!IsSevereErrorFormat(format)) format = kDefaultFormat;
  BoundedFormat(text, capacity, format, messageText != nullptr ? messageText : "",
                static_cast<int32_t>(number));
  if (argument != nullptr) {
    // One left-to-right pass over whole characters: the inserted text is
    // never scanned again.  Without storage for the copy the text keeps
    // its "%1".
    CCommonString composed(text);
    const uint32_t length = static_cast<uint32_t>(std::strlen(argument));
    if (composed.ReplaceChars("%1", 2, argument, length, 1, CCommonString::kAll) != 0)
      BoundedCopy(text, capacity, composed.CStr());
  }
  // The event goes to this machine's log; whether it got there changes
  // nothing for the reader.
  CSalEventLog log(SalGetEventSourceName());
  log.Open("local", nullptr, 0);
  (void)log.ReportText(kSalEventSevereError, SAL_EVENT_ERROR, text);
}

void RaiseBexError(const char *argument, int16_t number) {
  Raise(kFacilityReader, argument, number);
}

void RaiseBexAccessFault(uint32_t code, uint64_t address) {
  char argument[64];
  BoundedFormat(argument, sizeof argument, "code 0x%08lX, address 0x%llX", static_cast<unsigned long>(code),
                static_cast<unsigned long long>(address));
  Raise(kFacilityReader, argument, kBexErrAccessFault);
}

void RaiseBexErrorNoText(int16_t number) { Raise(kFacilityReaderNoText, nullptr, number); }
