// text_lookup.cpp - the hook for localized texts and the defaults of the
// common-strings module.
#include "base/text_lookup.h"

#include <atomic>

#include "base/text.h"
#include "base/text_table.h"

namespace {
constexpr SalTextEntry kCommonStrings[] = {
#define SAL_TEXT(id, text) {id, text},
#include "texts/common_strings_en.def"
#undef SAL_TEXT
};

std::atomic<SalTextLookup> g_lookup{nullptr};
std::atomic<void *> g_lookupContext{nullptr};
}  // namespace

void SalSetTextLookup(SalTextLookup lookup, void *context) {
  g_lookupContext.store(context);
  g_lookup.store(lookup);
}

const char *SalCommonStringDefault(uint32_t id) {
  const char *text = SalFindText(kCommonStrings, id);
  return text != nullptr ? text : "";
}

const char *SalCommonText(uint32_t id) {
  const char *fallback = SalCommonStringDefault(id);
  const SalTextLookup lookup = g_lookup.load();
  if (lookup == nullptr) return fallback;
  const char *text = lookup(g_lookupContext.load(), kSalCommonStringsModule, id, fallback);
  return text != nullptr ? text : fallback;
}

const char *SalCommonFormat(uint32_t id) {
  const char *fallback = SalCommonStringDefault(id);
  const char *text = SalCommonText(id);
  return SalSameConversions(text, fallback) ? text : fallback;
}
