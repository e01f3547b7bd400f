// plain_text_test.cpp - free functions on 8-bit and 16-bit texts: case,
// reversal, replacement, masked copies, escaping, trimming, heap texts and
// the multibyte primitives.
#include "text/plain_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/code_page.h"
#include "base/last_error.h"
#include "base/mem.h"
#include "base/sal_errors.h"
#include "text/heap_text.h"
#include "text/mbcs_text.h"
#include "text/wide_text.h"

namespace {
class CodePage {
 public:
  explicit CodePage(uint32_t codePage) { SalOverrideAnsiCodePage(codePage); }
  ~CodePage() { SalOverrideAnsiCodePage(0); }
};

// A buffer with guard bytes behind capacity.
struct Guarded {
  explicit Guarded(size_t capacity) : capacity(capacity), bytes(capacity + 8, '#') {}
  char *Out() { return bytes.data(); }
  bool Intact() const { return std::string(bytes.data() + capacity, 8) == "########"; }
  size_t capacity;
  std::vector<char> bytes;
};

std::u16string Wide(const char16_t *text) { return text != nullptr ? std::u16string(text) : u"(null)"; }
}  // namespace

// ---- case and reversal -----------------------------------------------------------

TEST(PlainTextCase, Latin1RangesAndTheirExceptions) {
  char upper[] = "\xE9\xF7\xFE" "a";
  UpperLatin1(upper);
  EXPECT_STREQ(upper, "\xC9\xF7\xFE" "A");
  char lower[] = "\xC9\xD7\xDE" "B";
  LowerLatin1(lower);
  EXPECT_STREQ(lower, "\xE9\xD7\xDE" "b");
  EXPECT_EQ(UpperLatin1(nullptr), nullptr);
  EXPECT_EQ(UpperAscii('q'), 'Q');
  EXPECT_EQ(UpperAscii('\xE9'), '\xE9');
}

TEST(PlainTextCase, DbcsCharactersKeepTheirTrailBytes) {
  CodePage cp(932);
  char text[] = "a\x82" "a" "b";  // 0x82 'a' is one character
  UpperText(text);
  EXPECT_STREQ(text, "A\x82" "aB");
  LowerText(text);
  EXPECT_STREQ(text, "a\x82" "ab");
  char16_t wide[] = u"abc\xD83D\xDE00Z";
  UpperText(wide);
  EXPECT_EQ(Wide(wide), u"ABC\xD83D\xDE00Z");  // surrogates stay as they are
  LowerText(wide);
  EXPECT_EQ(Wide(wide), u"abc\xD83D\xDE00z");
}

TEST(PlainTextCase, ReverseKeepsDbcsCharactersInOrder) {
  CodePage cp(932);
  char text[] = "ab\x82\x60" "c";
  ASSERT_EQ(ReverseText(text), 1);
  EXPECT_STREQ(text, "c\x82\x60" "ba");
  char empty[] = "";
  EXPECT_EQ(ReverseText(empty), 0);
  EXPECT_EQ(ReverseText(static_cast<char *>(nullptr)), 0);
  char16_t wide[] = u"xyz";
  ASSERT_EQ(ReverseText(wide), 1);
  EXPECT_EQ(Wide(wide), u"zyx");
}

// ---- substitutes, replacement, removal ---------------------------------------------

TEST(PlainTextEdit, SubstitutesAndCuts) {
  EXPECT_STREQ(TextOrEmpty(static_cast<const char *>(nullptr)), "");
  EXPECT_STREQ(TextOrNull(static_cast<const char *>(nullptr)), "NULL");
  EXPECT_EQ(Wide(TextOrNull(static_cast<const char16_t *>(nullptr))), u"NULL");
  char text[] = "key=value";
  EXPECT_STREQ(CutAt(text, "="), "key");
  char16_t wide[] = u"key=value";
  EXPECT_EQ(Wide(CutAt(wide, u"=v")), u"key");
  EXPECT_EQ(SetEmptyText(static_cast<char *>(nullptr)), 0);
  char buffer[4] = {'a', 'b', 'c', 'd'};
  EXPECT_EQ(ZeroText(buffer, 3), 1);
  EXPECT_EQ(buffer[2], '\0');
  EXPECT_EQ(buffer[3], 'd');
}

TEST(PlainTextEdit, ReplaceAndRemoveWorkOnWholeDbcsCharacters) {
  CodePage cp(932);
  char text[] = "a\x82" "a" "a";
  EXPECT_EQ(ReplaceCharIn(text, 'a', 'x'), 2u);  // not the trail byte
  EXPECT_STREQ(text, "x\x82" "ax");
  char set[] = "b\x82" "a";
  char many[] = "ab\x82" "ac";
  EXPECT_EQ(ReplaceCharsOf(many, set, '_'), 2u);
  EXPECT_STREQ(many, "a__c");
  char removing[] = "ab\x82" "ac";
  EXPECT_EQ(RemoveCharsOf(removing, set), 2u);
  EXPECT_STREQ(removing, "ac");
  EXPECT_EQ(RemoveCharsOf(nullptr, set), 0u);
  char16_t wide[] = u"a-b-c";
  EXPECT_EQ(RemoveCharsOf(wide, u"-"), 2u);
  EXPECT_EQ(Wide(wide), u"abc");
  EXPECT_EQ(ReplaceCharsOf(wide, u"ac", u'.'), 2u);
  EXPECT_EQ(Wide(wide), u".b.");
}

TEST(PlainTextEdit, OverwriteNoCaseEndsForEveryInput) {
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
  EXPECT_EQ(OverwriteNoCase(longer, "ab", "abc"), 0u);
  EXPECT_EQ(OverwriteNoCase(longer, "", ""), 0u);

  // Exhaustively over short texts, finds and replacements of a, A and b:
  // it ends, and unless occurrences survive by design, none is left.
  const char letters[] = {'a', 'A', 'b'};
  auto all = [&](size_t n) {
    std::vector<std::string> out;
    size_t total = 1;
    for (size_t i = 0; i < n; ++i) total *= 3;
    for (size_t k = 0; k < total; ++k) {
      std::string s;
      for (size_t i = 0, v = k; i < n; ++i, v /= 3) s += letters[v % 3];
      out.push_back(s);
    }
    return out;
  };
  for (size_t fn = 1; fn <= 3; ++fn) {
    for (const std::string &find : all(fn)) {
      for (size_t rn = 0; rn <= fn; ++rn) {
        for (const std::string &with : all(rn)) {
          bool survives = true;
          for (size_t i = 0; i < rn; ++i) survives = survives && std::toupper(with[i]) == std::toupper(find[i]);
          for (size_t tn = 1; tn <= 6; ++tn) {
            for (std::string text : all(tn)) {
              OverwriteNoCase(text.data(), find.c_str(), with.c_str());
              if (survives) continue;
              std::string upperText = text;
              std::string upperFind = find;
              for (char &c : upperText) c = static_cast<char>(std::toupper(c));
              for (char &c : upperFind) c = static_cast<char>(std::toupper(c));
              ASSERT_EQ(upperText.find(upperFind), std::string::npos) << text << " " << find << " " << with;
            }
          }
        }
      }
    }
  }
}

// ---- masked copies and escaping -------------------------------------------------

TEST(PlainTextCopy, MaskedCopiesAreBoundedAndKeepDbcsPairs) {
  char out[8];
  EXPECT_STREQ(CopyMasked(out, sizeof out, "\t", 1), "+");
  EXPECT_STREQ(CopyMaskedMbcs(out, sizeof out, "\t\x01", 2, '.'), "\t.");
  Guarded small(4);
  EXPECT_STREQ(CopyMasked(small.Out(), small.capacity, "abcdef", 6), "abc");
  EXPECT_TRUE(small.Intact());
  EXPECT_STREQ(CopyMasked(nullptr, 8, "a", 1), "VNULL");
  EXPECT_STREQ(CopyMasked(out, 0, "a", 1), "VNULL");
  EXPECT_STREQ(CopyMasked(out, 8, nullptr, 1), "VNULL");
  CodePage cp(932);
  EXPECT_STREQ(CopyMaskedMbcs(out, sizeof out, "\x82\x01" "z", 3, '.'), "\x82\x01" "z");
  // A lead byte whose partner lies beyond the copy is masked.
  EXPECT_STREQ(CopyMaskedMbcs(out, 3, "a\x82\x60", 3, '.'), "a.");
}

TEST(PlainTextCopy, EscapesStopWhereRoomEndsAndKeepDbcsPairs) {
  char out[32];
  EXPECT_STREQ(EscapeControls(out, sizeof out, "a\tb c\r\n", 1, '_'), "a\\tb_c\\r\\n");
  EXPECT_STREQ(EscapeControls(out, sizeof out, "a b", 0, '_'), "a b");
  EXPECT_EQ(EscapeControls(out, 1, "a", 0, '_'), nullptr);
  EXPECT_STREQ(EscapeQuotes(out, sizeof out, "say \"hi\" it's \\"), "say \\\"hi\\\" it\\'s \\\\");
  EXPECT_STREQ(EscapeTabsAndBreaks(out, sizeof out, "a\tb"), "a\\tb");
  Guarded small(5);
  // Writing stops once fewer than three bytes are left.
  EXPECT_STREQ(EscapeControls(small.Out(), small.capacity, "ab\tc", 0, '_'), "ab\\t");
  EXPECT_TRUE(small.Intact());
  EXPECT_EQ(EscapeTabsAndBreaks(small.Out(), small.capacity, "abc\td"), nullptr);
  EXPECT_STREQ(small.Out(), "abc");
  EXPECT_TRUE(small.Intact());
  CodePage cp(932);
  EXPECT_STREQ(EscapeQuotes(out, sizeof out, "\x82\x5C'"), "\x82\x5C\\'");
}

TEST(PlainTextCopy, TrimmingAndLines) {
  char spaces[] = "ab  ";
  EXPECT_STREQ(TrimTrailingSpaces(spaces), "ab");
  char crlf[] = "line\r\n";
  EXPECT_EQ(RemoveTrailingCrLf(crlf), 1);
  EXPECT_EQ(RemoveTrailingCrLf(crlf), 0);
  char lf[] = "line\n";
  EXPECT_EQ(RemoveTrailingCrLf(lf), 0);
  char out[6];
  EXPECT_STREQ(CopyLine(out, sizeof out, "abc\r\n"), "abc");
  EXPECT_STREQ(CopyLine(out, sizeof out, "abcdefgh"), "abcde");
  EXPECT_STREQ(SkipSpaces("  x "), "x ");
  char set[] = "a.,;";
  EXPECT_STREQ(TrimTrailingCharsOf(set, ",;"), "a.");
  EXPECT_EQ(IsNullOrEmpty(nullptr), 1);
  EXPECT_EQ(IsNullOrEmpty(""), 1);
  EXPECT_EQ(IsNullOrEmpty(" "), 0);
}

// ---- heap texts -----------------------------------------------------------------

TEST(HeapText, AllocateDuplicateAndAppend) {
  const int64_t live = SalMemLiveBlocks();
  char *text = nullptr;
  ASSERT_EQ(DupText(&text, "abc"), 1);
  ASSERT_EQ(AppendAllocText(&text, "def"), 1);
  EXPECT_STREQ(text, "abcdef");
  ASSERT_EQ(AppendAllocText(&text, text + 1), 1);  // from its own storage
  EXPECT_STREQ(text, "abcdefbcdef");
  EXPECT_EQ(AppendAllocText(&text, nullptr), 1);
  ASSERT_EQ(AppendAllocBytes(&text, 3, "XY", 2), 1);
  EXPECT_STREQ(text, "abcXY");
  MemFree(text);
  char16_t *wide = nullptr;
  ASSERT_EQ(DupWideText(&wide, u"w"), 1);
  ASSERT_EQ(AppendAllocWideText(&wide, u"ide"), 1);
  EXPECT_EQ(Wide(wide), u"wide");
  MemFree(wide);
  char16_t *blank = nullptr;
  ASSERT_EQ(AllocWideText(&blank, 3), 1);
  EXPECT_EQ(blank[4], 0);
  MemFree(blank);
  EXPECT_EQ(SalMemLiveBlocks(), live);
}

TEST(HeapText, FailuresSetTheirCodesAndLeaveThePointer) {
  SalSetLastError(0);
  EXPECT_EQ(AllocText(nullptr, 4), 0);
  EXPECT_EQ(SalGetLastError(), kCommonErrNullText);
  char *text = nullptr;
  EXPECT_EQ(DupText(&text, nullptr), 0);
  EXPECT_EQ(SalGetLastError(), kCommonErrNullText);
  SalMemFailAfter(1);
  EXPECT_EQ(DupText(&text, "abc"), 0);
  EXPECT_EQ(text, nullptr);
  EXPECT_EQ(SalGetLastError(), kCommonErrNoStorage);
  ASSERT_EQ(DupText(&text, "abc"), 1);
  SalMemFailAfter(1);
  EXPECT_EQ(AppendAllocText(&text, "def"), 0);
  EXPECT_STREQ(text, "abc");
  SalMemFailAfter(0);
  MemFree(text);
}

// ---- multibyte primitives -----------------------------------------------------------

TEST(MbcsTextDbcs, StepValueCompareAppendAndFind) {
  CodePage cp(932);
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
  char dest[6] = "xy";
  EXPECT_EQ(MbcsAppendBytes(dest, sizeof dest, "\x82\x60\x82\x61", 4), 0);  // room for one pair
  EXPECT_STREQ(dest, "xy\x82\x60");
  char split[8] = "";
  EXPECT_EQ(MbcsAppendBytes(split, sizeof split, "a\x82\x60", 2), 0);  // n ends inside a pair
  EXPECT_STREQ(split, "a");
}
