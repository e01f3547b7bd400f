// error_format.cpp - message texts of error codes.
#include "messages/error_format.h"

#include <atomic>
#include <cstring>
#include <map>
#include <mutex>

#include "common/common_string.h"
#include "platform/text.h"

namespace {
std::atomic<SalMessageSource> g_source{nullptr};

struct Registry {
  std::mutex lock;
  std::map<uint32_t, SalErrorFormatter> formatters;
};
Registry &Formatters() {
  static Registry registry;
  return registry;
}

bool IsCustomerCode(uint32_t code) { return (code & (1u << 29)) != 0; }
uint32_t FacilityOf(uint32_t code) { return (code >> 16) & 0xFFF; }

SalErrorFormatter FormatterFor(uint32_t facility) {
  Registry &r = Formatters();
  std::lock_guard<std::mutex> guard(r.lock);
  auto it = r.formatters.find(facility);
  return it == r.formatters.end() ? nullptr : it->second;
}
}  // namespace

const char *SalGetErrorModuleName(uint32_t code) {
  const uint32_t facility = FacilityOf(code);
  if (IsCustomerCode(code)) return facility == 33 ? "RESERR" : "Unknown module";
  static const char *const kSystem[] = {"SYSTEM",  "RPC",     "DISPATCH", "STORAGE",
                                        "ITF",     nullptr,   nullptr,    "WIN32",
                                        "WINDOWS", "SSPI",    "CONTROL",  "CERT",
                                        "INTERNET", "MEDIASERVER", "MSMQ", "SETUPAPI"};
  if (facility < 16 && kSystem[facility] != nullptr) return kSystem[facility];
  return "Unknown system module";
}

int SalRegisterErrorFormatter(uint32_t facility, SalErrorFormatter formatter) {
  if (facility > 4095) return 0;
  Registry &r = Formatters();
  std::lock_guard<std::mutex> guard(r.lock);
  if (formatter == nullptr) {
    r.formatters.erase(facility);
  } else {
    r.formatters.emplace(facility, formatter);
  }
  return 1;
}

void SalSetMessageSource(SalMessageSource source) { g_source.store(source); }

char *SalLoadMessageText(uint32_t /*code*/, uint32_t messageId, char *buffer, size_t capacity) {
  const SalMessageSource source = g_source.load();
  const char *text = source != nullptr ? source(messageId) : nullptr;
  if (text == nullptr) return nullptr;
  const size_t length = std::strlen(text);
  if (length < 2 || buffer == nullptr || capacity == 0) return nullptr;
  // Every message ends with its line break; the copy leaves it out.
  const CCommonString body(text, static_cast<uint32_t>(length - 2));
  if (!body.HasStorage()) return nullptr;  // no storage: as if no text were found
  BoundedCopy(buffer, capacity, body.CStr());
  return buffer;
}

char *SalFormatErrorCode(uint32_t code, char *buffer, size_t capacity, uint32_t flags) {
  if (SalErrorFormatter f = FormatterFor(FacilityOf(code))) {
    if (char *text = f(code, buffer, capacity, flags)) return text;
  }
  if (buffer == nullptr) return nullptr;
  size_t prefix = 0;
  if (flags & SAL_FORMAT_PREFIX) {
    const int n = BoundedFormat(buffer, capacity, "%s: %u - ", SalGetErrorModuleName(code),
                                code & 0xFFFFu);
    if (n <= 0) return buffer;
    prefix = static_cast<size_t>(n);
  }
  if (SalLoadMessageText(code, code, buffer + prefix, capacity - prefix) != nullptr) return buffer;
  if (!IsCustomerCode(code) && (flags & SAL_FORMAT_SYSTEM_NUMBER) &&
      SalLoadMessageText(code, code & 0xFFFF, buffer + prefix, capacity - prefix) != nullptr)
    return buffer;
  BoundedFormat(buffer, capacity, "%u - unknown error code", code);
  return buffer;
}
