// plain_text_test.cpp - free functions on 8-bit and 16-bit texts: case,
// reversal, replacement, masked copies, escaping, trimming and heap texts.
// Their double-byte rules are in dbcs_test.cpp.
#include "text/plain_text.h"

#include <gtest/gtest.h>

#include <cctype>
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
}  // namespace

TEST(PlainText, CaseReversalAndSubstitutes) {
  char upper[] = "\xE9\xF7\xFE" "a";
  UpperLatin1(upper);
  EXPECT_STREQ(upper, "\xC9\xF7\xFE" "A");
  char lower[] = "\xC9\xD7\xDE" "B";
  LowerLatin1(lower);
  EXPECT_STREQ(lower, "\xE9\xD7\xDE" "b");
  EXPECT_TRUE(UpperLatin1(nullptr) == nullptr && UpperAscii('q') == 'Q' && UpperAscii('\xE9') == '\xE9');
  char16_t wide[] = u"abc\xD83D\xDE00Z";
  UpperText(wide);
  EXPECT_EQ(Wide(wide), u"ABC\xD83D\xDE00Z");  // surrogates stay as they are
  LowerText(wide);
  EXPECT_EQ(Wide(wide), u"abc\xD83D\xDE00z");
  ASSERT_EQ(ReverseText(wide), 1);
  EXPECT_EQ(Wide(wide), u"z\xDE00\xD83D" u"cba");
  char empty[] = "";
  EXPECT_EQ(ReverseText(empty) + ReverseText(static_cast<char *>(nullptr)), 0);

  EXPECT_STREQ(TextOrEmpty(static_cast<const char *>(nullptr)), "");
  EXPECT_STREQ(TextOrNull(static_cast<const char *>(nullptr)), "NULL");
  EXPECT_EQ(Wide(TextOrNull(static_cast<const char16_t *>(nullptr))), u"NULL");
  char text[] = "key=value";
  EXPECT_STREQ(CutAt(text, "="), "key");
  char16_t wideText[] = u"key=value";
  EXPECT_EQ(Wide(CutAt(wideText, u"=v")), u"key");
  EXPECT_EQ(SetEmptyText(static_cast<char *>(nullptr)), 0);
  char buffer[4] = {'a', 'b', 'c', 'd'};
  EXPECT_EQ(ZeroText(buffer, 3), 1);
  EXPECT_TRUE(buffer[2] == '\0' && buffer[3] == 'd');
  char16_t dashes[] = u"a-b-c";
  EXPECT_EQ(RemoveCharsOf(dashes, u"-"), 2u);
  EXPECT_EQ(Wide(dashes), u"abc");
  EXPECT_EQ(ReplaceCharsOf(dashes, u"ac", u'.'), 2u);
  EXPECT_EQ(Wide(dashes), u".b.");
  EXPECT_EQ(RemoveCharsOf(nullptr, "a"), 0u);
}

TEST(PlainText, OverwriteNoCaseEndsForEveryInput) {
  char text[] = "xABcab";
  EXPECT_EQ(OverwriteNoCase(text, "ab", "Q"), 2u);
  EXPECT_STREQ(text, "xQBcQb");
  // A replacement equal to find's start ignoring case leaves every
  // occurrence standing: each is overwritten once.
  char surviving[] = "AbAbab";
  EXPECT_EQ(OverwriteNoCase(surviving, "ab", "a"), 3u);
  EXPECT_STREQ(surviving, "ababab");
  // An overwrite that makes a new occurrence before it is searched again.
  char chained[] = "aab";
  EXPECT_EQ(OverwriteNoCase(chained, "ab", "b"), 2u);
  EXPECT_STREQ(chained, "bbb");
  char longer[] = "ab";
  EXPECT_EQ(OverwriteNoCase(longer, "ab", "abc") + OverwriteNoCase(longer, "", ""), 0u);

  // Exhaustively over short texts, finds and replacements of a, A and b:
  // it ends, and unless occurrences survive by design, none is left.
  auto all = [](size_t n) {
    std::vector<std::string> out{""};
    for (size_t i = 0; i < n; ++i) {
      std::vector<std::string> longer;
      for (const std::string &s : out)
        for (char c : {'a', 'A', 'b'}) longer.push_back(s + c);
      out.swap(longer);
    }
    return out;
  };
  auto upper = [](std::string s) {
    for (char &c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
  };
  for (size_t fn = 1; fn <= 3; ++fn) {
    for (const std::string &find : all(fn)) {
      for (size_t rn = 0; rn <= fn; ++rn) {
        for (const std::string &with : all(rn)) {
          if (upper(with) == upper(find.substr(0, rn))) continue;  // survives by design
          for (size_t tn = 1; tn <= 6; ++tn) {
            for (std::string text : all(tn)) {
              OverwriteNoCase(text.data(), find.c_str(), with.c_str());
              ASSERT_EQ(upper(text).find(upper(find)), std::string::npos) << text << " " << find << " " << with;
            }
          }
        }
      }
    }
  }
}

TEST(PlainText, BoundedCopiesEscapesAndTrims) {
  char out[32];
  EXPECT_STREQ(CopyMasked(out, sizeof out, "\t", 1), "+");
  EXPECT_STREQ(CopyMaskedMbcs(out, sizeof out, "\t\x01", 2, '.'), "\t.");
  Guarded small(4);
  EXPECT_STREQ(CopyMasked(small.Out(), small.capacity, "abcdef", 6), "abc");
  EXPECT_TRUE(small.Intact());
  EXPECT_EQ(std::string(CopyMasked(nullptr, 8, "a", 1)) + CopyMasked(out, 0, "a", 1) + CopyMasked(out, 8, nullptr, 1),
            "VNULLVNULLVNULL");

  EXPECT_STREQ(EscapeControls(out, sizeof out, "a\tb c\r\n", 1, '_'), "a\\tb_c\\r\\n");
  EXPECT_STREQ(EscapeControls(out, sizeof out, "a b", 0, '_'), "a b");
  EXPECT_EQ(EscapeControls(out, 1, "a", 0, '_'), nullptr);
  EXPECT_STREQ(EscapeQuotes(out, sizeof out, "say \"hi\" it's \\"), "say \\\"hi\\\" it\\'s \\\\");
  EXPECT_STREQ(EscapeTabsAndBreaks(out, sizeof out, "a\tb"), "a\\tb");
  Guarded five(5);
  // Writing stops once fewer than three bytes are left.
  EXPECT_STREQ(EscapeControls(five.Out(), five.capacity, "ab\tc", 0, '_'), "ab\\t");
  EXPECT_TRUE(five.Intact());
  EXPECT_EQ(EscapeTabsAndBreaks(five.Out(), five.capacity, "abc\td"), nullptr);
  EXPECT_STREQ(five.Out(), "abc");
  EXPECT_TRUE(five.Intact());

  char spaces[] = "ab  ";
  EXPECT_STREQ(TrimTrailingSpaces(spaces), "ab");
  char crlf[] = "line\r\n", lf[] = "line\n";
  EXPECT_EQ(RemoveTrailingCrLf(crlf), 1);
  EXPECT_EQ(RemoveTrailingCrLf(crlf) + RemoveTrailingCrLf(lf), 0);
  char line[6];
  EXPECT_STREQ(CopyLine(line, sizeof line, "abc\r\n"), "abc");
  EXPECT_STREQ(CopyLine(line, sizeof line, "abcdefgh"), "abcde");
  EXPECT_STREQ(SkipSpaces("  x "), "x ");
  char set[] = "a.,;";
  EXPECT_STREQ(TrimTrailingCharsOf(set, ",;"), "a.");
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
  EXPECT_EQ(text, nullptr);
  EXPECT_EQ(SalGetLastError(), kCommonErrNoStorage);
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
