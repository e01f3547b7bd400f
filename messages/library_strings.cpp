// library_strings.cpp - the compiled-in English string table.
#include "messages/library_strings.h"

namespace {
struct Text {
  uint32_t id;
  const char *text;
};
constexpr Text kTexts[] = {
#define SAL_TEXT(id, text) {id, text},
#include "messages/texts/library_en.def"
#undef SAL_TEXT
};
}  // namespace

const char *SalGetLibraryString(uint32_t id, const char *fallback) {
  for (const Text &t : kTexts)
    if (t.id == id) return t.text;
  return fallback;
}
