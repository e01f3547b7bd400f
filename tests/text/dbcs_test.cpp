// dbcs_test.cpp - the double-byte rule of the text functions: in code page
// 932 a lead byte and the byte behind it are one character, whatever that
// second byte would be on its own (an ASCII letter, a backslash, a quote, an
// unprintable byte), and a lead byte without its partner is no character.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "base/common_string.h"
#include "support/dbcs_fixture.h"
#include "text/dump_lines.h"
#include "text/mbcs_text.h"
#include "text/plain_text.h"
#include "text/printable.h"

namespace {
// "count:text" of a function that edits a text and counts its changes.
std::string Counted(size_t n, const std::string &s) { return std::to_string(n) + ":" + s.c_str(); }

std::string QuotedLine(const std::string &s, bool mbcs) {
  char out[32];
  uint32_t index = 0;
  (mbcs ? QuotedLiteralLineMbcs : QuotedLiteralLine)(&index, out, sizeof out, s.c_str(), 40, '"', 1);
  return out;
}
}  // namespace

using TextDbcs = Cp932Test;

TEST_F(TextDbcs, TrailBytesNeverActAlone) {
  const struct {
    const char *name;
    std::function<std::string(std::string)> run;
    std::string in, out;
  } cases[] = {
      {"UpperText", [](std::string s) { UpperText(&s[0]); return s; }, "a\x82" "ab", "A\x82" "aB"},
      {"LowerText", [](std::string s) { LowerText(&s[0]); return s; }, "A\x82" "aB", "a\x82" "ab"},
      {"ReverseText", [](std::string s) { return Counted(ReverseText(&s[0]), s); }, "ab\x82\x60" "c", "1:c\x82\x60" "ba"},
      {"ReplaceCharIn", [](std::string s) { return Counted(ReplaceCharIn(&s[0], 'a', 'x'), s); },
       "a\x82" "aa", "2:x\x82" "ax"},
      {"ReplaceCharsOf", [](std::string s) { return Counted(ReplaceCharsOf(&s[0], "b\x82" "a", '_'), s); },
       "ab\x82" "ac", "2:a__c"},
      {"RemoveCharsOf", [](std::string s) { return Counted(RemoveCharsOf(&s[0], "b\x82" "a"), s); },
       "ab\x82" "ac", "2:ac"},
      {"CopyMaskedMbcs",
       [](std::string s) { char out[8]; return std::string(CopyMaskedMbcs(out, 8, s.data(), s.size(), '.')); },
       "\x82\x01" "z", "\x82\x01" "z"},
      {"CopyMaskedMbcs with the partner beyond the copy",
       [](std::string s) { char out[8]; return std::string(CopyMaskedMbcs(out, 3, s.data(), s.size(), '.')); },
       "a\x82\x60", "a."},
      {"EscapeQuotes", [](std::string s) { char out[32]; return std::string(EscapeQuotes(out, 32, s.c_str())); },
       "\x82\x5C'", "\x82\x5C\\'"},
      {"EscapeHtml", [](std::string s) { CCommonString t(s.c_str()); t.EscapeHtml(); return std::string(t.CStr()); },
       "\x81<<", "\x81<&lt;"},
      {"MaskNonPrintableMbcs",
       [](std::string s) { CCommonString t(s.c_str()); t.MaskNonPrintableMbcs('.'); return std::string(t.CStr()); },
       "\x82\x9F\x1F\x82", "\x82\x9F.."},
      {"HexDumpLineMbcs",
       [](std::string s) {
         char out[kHexDumpLineSize];
         uint32_t offset = 0;
         HexDumpLineMbcs(&offset, out, sizeof out, s.data(), static_cast<uint32_t>(s.size()), '.');
         return std::string(out + 10, s.size());
       },
       "\x82\xA0\x07z\x82", "\x82\xA0.z."},
      {"QuotedLiteralLineMbcs", [](std::string s) { return QuotedLine(s, true); }, "\x82\x5C" "a\"b", "\"\x82\x5C" "a\\\"b\""},
      {"QuotedLiteralLine, which escapes every backslash", [](std::string s) { return QuotedLine(s, false); },
       "\x82\x5C" "a", "\"\x82\\\\a\""},
      {"IsPrintableRangeMbcs", [](std::string s) { return std::to_string(IsPrintableRangeMbcs(s.data(), 4, 0)); },
       "a\x82\x9F" "b", "1"},
      {"IsPrintableOrHighRangeMbcs", [](std::string s) { return std::to_string(IsPrintableOrHighRangeMbcs(s.data(), 2)); },
       "\x82\x01", "1"},
      {"MbcsAppendBytes with room for one pair",
       [](std::string s) {
         char dest[6] = "xy";
         const int result = MbcsAppendBytes(dest, 6, s.data(), 4);
         return Counted(result, dest);
       },
       "\x82\x60\x82\x61", "0:xy\x82\x60"},
      {"MbcsAppendBytes ending inside a pair",
       [](std::string s) {
         char dest[8] = "";
         const int result = MbcsAppendBytes(dest, 8, s.data(), 2);
         return Counted(result, dest);
       },
       "a\x82\x60", "0:a"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.run(c.in), c.out);
  }
}

TEST_F(TextDbcs, MbcsPrimitivesStepOverPairs) {
  const char text[] = "a\x82\x60\x82" "b";
  EXPECT_EQ(MbcsNext(text), text + 1);
  EXPECT_EQ(MbcsNext(text + 1), text + 3);
  EXPECT_EQ(MbcsPrevious(text, text + 3), text + 1);
  EXPECT_EQ(MbcsPrevious(text, text + 1), text);
  EXPECT_EQ(MbcsPrevious(text, text + 5), text + 3);
  EXPECT_EQ(MbcsCharValue(text + 1), 0x8260u);
  EXPECT_EQ(MbcsCharValue(text), static_cast<uint32_t>('a'));
  EXPECT_EQ(MbcsFindChar(text, 0x8262u), text + 3);
  EXPECT_LT(MbcsCompareBytes("ab", "ac", 2), 0);
  EXPECT_EQ(MbcsCompareBytes("ab", "ac", 1), 0);
  EXPECT_LT(MbcsCompareBytes(nullptr, "a", 1), 0);
}
