// text_lookup_test.cpp - the texts of the lower layers: the compiled-in
// defaults, the installed lookup and the conversion check of formats.
#include "base/text_lookup.h"

#include <gtest/gtest.h>

#include "base/text.h"

namespace {
const char *Answer(void *context, int module, uint32_t id, const char *fallback) {
  if (module != kSalCommonStringsModule) return "wrong module";
  return id == 38211 || id == 38209 ? static_cast<const char *>(context) : fallback;
}
}  // namespace

TEST(TextLookup, DefaultsUntilALookupIsInstalled) {
  EXPECT_STREQ(SalCommonText(38211), "unexpected end of data");
  EXPECT_STREQ(SalCommonStringDefault(1), "");
  char german[] = "Ende %u";
  SalSetTextLookup(&Answer, german);
  EXPECT_STREQ(SalCommonText(38211), german);
  EXPECT_STREQ(SalCommonText(38210), " on nesting level %u");
  // A format is taken only with its default's conversions.
  EXPECT_STREQ(SalCommonFormat(38209), "at binary offset dec %u (hex %X)");
  SalSetTextLookup(nullptr, nullptr);
  EXPECT_STREQ(SalCommonText(38211), "unexpected end of data");
}

TEST(TextLookup, SameConversionsInTheSameOrder) {
  EXPECT_TRUE(SalSameConversions("bei Offset %u (hex %X)", "at binary offset dec %u (hex %X)"));
  EXPECT_TRUE(SalSameConversions("100%% at %u", "%u"));
  for (auto [a, b] : {std::pair<const char *, const char *>{"at %s", "at %u"}, {"%X then %u", "%u then %X"},
                      {"%u %u", "%u"}, {"%lu", "%u"}, {"%5u", "%u"}, {"dangling %", "no conversion"}, {nullptr, "x"}})
    EXPECT_FALSE(SalSameConversions(a, b)) << (a ? a : "null");
}
