// common_texts.cpp - the common library's texts and their compiled-in
// defaults.
#include "common/common_texts.h"

#include <cstring>

namespace {

struct Text {
  uint32_t id;
  const char *text;
};
constexpr Text kDefaults[] = {
#define SAL_TEXT(id, text) {id, text},
#include "messages/texts/common_en.def"
#undef SAL_TEXT
};

// The localized text of id in the common-strings module, or null.  No
// resource module is registered with the common library yet.
const char *LookUp(uint32_t /*id*/) { return nullptr; }

// Finds the next conversion at or after text: its flags, width, precision,
// length modifiers and letter (without the "%") are [*conversion, text)
// when true is returned.  "%%" is no conversion; a "%" at the end is a
// conversion of nothing.
bool NextConversion(const char *&text, const char **conversion) {
  while ((text = std::strchr(text, '%')) != nullptr) {
    ++text;
    if (*text == '%') {
      ++text;
      continue;
    }
    *conversion = text;
    text += std::strspn(text, "-+ #0123456789.*hlLqjzt'");
    if (*text != '\0') ++text;  // the conversion letter
    return true;
  }
  return false;
}

}  // namespace

bool SameConversions(const char *format, const char *reference) {
  if (format == nullptr || reference == nullptr) return false;
  const char *a = nullptr;
  const char *b = nullptr;
  for (;;) {
    const bool hasA = NextConversion(format, &a);
    const bool hasB = NextConversion(reference, &b);
    if (hasA != hasB) return false;
    if (!hasA) return true;
    const size_t n = static_cast<size_t>(format - a);
    if (n != static_cast<size_t>(reference - b) || std::memcmp(a, b, n) != 0) return false;
  }
}

const char *CommonGetText(uint32_t id) {
  const char *fallback = "";
  for (const Text &t : kDefaults)
    if (t.id == id) fallback = t.text;
  const char *localized = LookUp(id);
  if (localized == nullptr || !SameConversions(localized, fallback)) return fallback;
  return localized;
}
