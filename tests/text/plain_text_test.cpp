// plain_text_test.cpp - free functions on 8-bit and 16-bit texts: case,
// reversal, replacement, masked copies, escaping, trimming and heap texts.
// Their double-byte rules are in dbcs_test.cpp.
#include "text/plain_text.h"

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <string>
#include <vector>

#include "base/last_error.h"
#include "base/mem.h"
#include "base/sal_errors.h"
#include "support/text_buffers.h"
#include "text/heap_text.h"
#include "text/wide_text.h"

namespace {
std::u16string Wide(const char16_t *text) { return text != nullptr ? std::u16string(text) : u"(null)"; }
std::string Text(const char *text) { return text != nullptr ? text : "(null)"; }

// Runs an edit on a copy of in: "result:text after it".
std::string Edit(std::string in, const std::function<int64_t(char *)> &edit) {
  const int64_t result = edit(&in[0]);
  return std::to_string(result) + ":" + in.c_str();
}
std::string Upper(std::string s) {
  for (char &c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}
}  // namespace

TEST(PlainText, EditsInPlace) {
  const struct {
    std::string in;
    std::function<int64_t(char *)> edit;
    const char *out;
  } kCases[] = {
      {"\xE9\xF7\xFE" "a", [](char *t) { return UpperLatin1(t) == t; }, "1:\xC9\xF7\xFE" "A"},
      {"\xC9\xD7\xDE" "B", [](char *t) { return LowerLatin1(t) == t; }, "1:\xE9\xD7\xDE" "b"},
      {"", [](char *t) { return ReverseText(t); }, "0:"},
      {"key=value", [](char *t) { return Text(CutAt(t, "=")) == "key"; }, "1:key"},
      {"ab  ", [](char *t) { return TrimTrailingSpaces(t) == t; }, "1:ab"},
      {"a.,;", [](char *t) { return TrimTrailingCharsOf(t, ",;") == t; }, "1:a."},
      {"line\r\n", [](char *t) { return RemoveTrailingCrLf(t); }, "1:line"},
      {"line", [](char *t) { return RemoveTrailingCrLf(t); }, "0:line"},
      {"line\n", [](char *t) { return RemoveTrailingCrLf(t); }, "0:line\n"},
      {"abcd", [](char *t) { return ZeroText(t, 3) + (t[2] == '\0') + (t[3] == 'd'); }, "3:"},
      {"xABcab", [](char *t) { return OverwriteNoCase(t, "ab", "Q"); }, "2:xQBcQb"},
      // A replacement equal to find's start ignoring case leaves every occurrence standing: each is overwritten once.
      {"AbAbab", [](char *t) { return OverwriteNoCase(t, "ab", "a"); }, "3:ababab"},
      // An overwrite that makes a new occurrence before it is searched again.
      {"aab", [](char *t) { return OverwriteNoCase(t, "ab", "b"); }, "2:bbb"},
      {"ab", [](char *t) { return OverwriteNoCase(t, "ab", "abc") + OverwriteNoCase(t, "", ""); }, "0:ab"},
  };
  for (const auto &c : kCases) EXPECT_EQ(Edit(c.in, c.edit), c.out) << c.in;
  EXPECT_TRUE(UpperLatin1(nullptr) == nullptr && UpperAscii('q') == 'Q' && UpperAscii('\xE9') == '\xE9');
  EXPECT_EQ(ReverseText(static_cast<char *>(nullptr)) + SetEmptyText(static_cast<char *>(nullptr)), 0);
  EXPECT_EQ(RemoveCharsOf(nullptr, "a"), 0u);
  EXPECT_EQ(Text(TextOrEmpty(static_cast<const char *>(nullptr))) + TextOrNull(static_cast<const char *>(nullptr)), "NULL");
  EXPECT_EQ(Wide(TextOrNull(static_cast<const char16_t *>(nullptr))), u"NULL");
  char16_t wide[] = u"abc\xD83D\xDE00Z", wideText[] = u"key=value", dashes[] = u"a-b-c";
  UpperText(wide);
  EXPECT_EQ(Wide(wide), u"ABC\xD83D\xDE00Z");  // surrogates stay as they are
  LowerText(wide);
  EXPECT_EQ(Wide(wide), u"abc\xD83D\xDE00z");
  ASSERT_EQ(ReverseText(wide), 1);
  EXPECT_EQ(Wide(wide), u"z\xDE00\xD83D" u"cba");
  EXPECT_EQ(Wide(CutAt(wideText, u"=v")), u"key");
  EXPECT_EQ(RemoveCharsOf(dashes, u"-"), 2u);
  EXPECT_EQ(Wide(dashes), u"abc");
  EXPECT_EQ(ReplaceCharsOf(dashes, u"ac", u'.'), 2u);
  EXPECT_EQ(Wide(dashes), u".b.");
}

// Exhaustively over short texts, finds and replacements of a, A and b:
// OverwriteNoCase ends, and unless occurrences survive by design, none is left.
TEST(PlainText, OverwriteNoCaseEndsForEveryInput) {
  std::vector<std::vector<std::string>> all{{""}};  // all[n]: every text of n bytes
  for (size_t n = 1; n <= 6; ++n) {
    all.emplace_back();
    for (const std::string &s : all[n - 1])
      for (char c : {'a', 'A', 'b'}) all[n].push_back(s + c);
  }
  for (size_t fn = 1; fn <= 3; ++fn)
    for (const std::string &find : all[fn])
      for (size_t rn = 0; rn <= fn; ++rn)
        for (const std::string &with : all[rn]) {
          if (Upper(with) == Upper(find.substr(0, rn))) continue;  // survives by design
          for (size_t tn = 1; tn <= 6; ++tn)
            for (std::string text : all[tn]) {
              OverwriteNoCase(text.data(), find.c_str(), with.c_str());
              ASSERT_EQ(Upper(text).find(Upper(find)), std::string::npos) << text << " " << find << " " << with;
            }
        }
}

TEST(PlainText, BoundedCopiesAndEscapes) {
  char out[32], line[6];
  Guarded small(4), five(5);
  EXPECT_STREQ(CopyMasked(out, sizeof out, "\t", 1), "+");
  EXPECT_STREQ(CopyMaskedMbcs(out, sizeof out, "\t\x01", 2, '.'), "\t.");
  EXPECT_STREQ(CopyMasked(small.Out(), small.capacity, "abcdef", 6), "abc");
  EXPECT_EQ(std::string(CopyMasked(nullptr, 8, "a", 1)) + CopyMasked(out, 0, "a", 1) + CopyMasked(out, 8, nullptr, 1),
            "VNULLVNULLVNULL");
  EXPECT_STREQ(EscapeControls(out, sizeof out, "a\tb c\r\n", 1, '_'), "a\\tb_c\\r\\n");
  EXPECT_STREQ(EscapeControls(out, sizeof out, "a b", 0, '_'), "a b");
  EXPECT_EQ(EscapeControls(out, 1, "a", 0, '_'), nullptr);
  EXPECT_STREQ(EscapeQuotes(out, sizeof out, "say \"hi\" it's \\"), "say \\\"hi\\\" it\\'s \\\\");
  EXPECT_STREQ(EscapeTabsAndBreaks(out, sizeof out, "a\tb"), "a\\tb");
  // Writing stops once fewer than three bytes are left.
  EXPECT_STREQ(EscapeControls(five.Out(), five.capacity, "ab\tc", 0, '_'), "ab\\t");
  EXPECT_EQ(EscapeTabsAndBreaks(five.Out(), five.capacity, "abc\td"), nullptr);
  EXPECT_STREQ(five.Out(), "abc");
  EXPECT_TRUE(small.Intact() && five.Intact());
  EXPECT_STREQ(CopyLine(line, sizeof line, "abc\r\n"), "abc");
  EXPECT_STREQ(CopyLine(line, sizeof line, "abcdefgh"), "abcde");
  EXPECT_STREQ(SkipSpaces("  x "), "x ");
  EXPECT_EQ(IsNullOrEmpty(nullptr) + IsNullOrEmpty(""), 2);
  EXPECT_EQ(IsNullOrEmpty(" "), 0);
}

TEST(HeapText, AllocateDuplicateAppendAndFail) {
  const int64_t live = SalMemLiveBlocks();
  char *text = nullptr;
  ASSERT_EQ(DupText(&text, "abc"), 1);
  ASSERT_EQ(AppendAllocText(&text, "def"), 1);
  ASSERT_EQ(AppendAllocText(&text, text + 1), 1);  // from its own storage
  EXPECT_STREQ(text, "abcdefbcdef");
  EXPECT_EQ(AppendAllocText(&text, nullptr), 1);
  ASSERT_EQ(AppendAllocBytes(&text, 3, "XY", 2), 1);
  EXPECT_STREQ(text, "abcXY");
  SalMemFailAfter(1);
  EXPECT_EQ(AppendAllocText(&text, "def"), 0);
  EXPECT_STREQ(text, "abcXY");
  MemFree(text);
  text = nullptr;
  SalMemFailAfter(1);
  EXPECT_EQ(DupText(&text, "abc"), 0);
  EXPECT_TRUE(text == nullptr && SalGetLastError() == kCommonErrNoStorage);
  SalMemFailAfter(0);
  EXPECT_EQ(AllocText(nullptr, 4), 0);
  EXPECT_EQ(SalGetLastError(), kCommonErrNullText);
  SalSetLastError(0);
  EXPECT_EQ(DupText(&text, nullptr), 0);
  EXPECT_EQ(SalGetLastError(), kCommonErrNullText);
  char16_t *wide = nullptr;
  ASSERT_EQ(DupWideText(&wide, u"w"), 1);
  ASSERT_EQ(AppendAllocWideText(&wide, u"ide"), 1);
  EXPECT_EQ(Wide(wide), u"wide");
  MemFree(wide);
  ASSERT_EQ(AllocWideText(&wide, 3), 1);
  EXPECT_EQ(wide[4], 0);
  MemFree(wide);
  EXPECT_EQ(SalMemLiveBlocks(), live);
}
