// sql_layout_test.cpp - SQL statement layout: keyword breaks, wrapping,
// brackets and literals, with a property over generated statements.
#include "text/sql_layout.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "base/common_string.h"

namespace {
std::string Layout(const std::string &statement, int keywords, int brackets, uint32_t indent,
                   uint32_t width) {
  CCommonString out;
  const CCommonString in(statement.data(), static_cast<uint32_t>(statement.size()));
  EXPECT_EQ(FormatSqlStatement(out, in, keywords, brackets, indent, width), 1);
  return std::string(out.CStr(), out.GetLength());
}

// The quoted literals of a text, in order, scanned as the layout reads
// them (a doubled quote inside a literal stays in it).
std::vector<std::string> Literals(const std::string &text) {
  std::vector<std::string> out;
  size_t p = 0;
  while (p < text.size()) {
    const char q = text[p];
    if (q != '\'' && q != '"') {
      ++p;
      continue;
    }
    size_t e = p + 1;
    for (;;) {
      const size_t close = text.find(q, e);
      if (close == std::string::npos) {
        e = text.size();
        break;
      }
      if (close > e && close + 1 < text.size() && text[close + 1] == q) {
        e = close + 2;
        continue;
      }
      e = close + 1;
      break;
    }
    out.push_back(text.substr(p, e - p));
    p = e;
  }
  return out;
}
}  // namespace

TEST(SqlLayout, KeywordsStartLinesAndAFinalSemicolonIsAdded) {
  EXPECT_EQ(Layout("select a from t where b = 1", 1, 0, 0, 200), "select a \nfrom t \nwhere b = 1;");
  EXPECT_EQ(Layout("  \n\tselect a FROM t;", 1, 0, 2, 200), "select a \n  FROM t;");
  EXPECT_EQ(Layout("select a,  b,c from t", 1, 0, 0, 200), "select a,b,c \nfrom t;");
  EXPECT_EQ(Layout("", 1, 0, 0, 200), "");
  EXPECT_EQ(IsSqlBreakKeyword("ORDER by"), 1);
  EXPECT_EQ(IsSqlBreakKeyword("order"), 0);
  EXPECT_EQ(IsSqlBreakKeyword("andy "), 0);
  EXPECT_EQ(IsSqlBreakKeyword(nullptr), 0);
}

TEST(SqlLayout, BracketsEncloseSeveralStatements) {
  EXPECT_EQ(Layout("delete from a; delete from b", 1, 1, 0, 200), "[delete \nfrom a; delete \nfrom b]");
  EXPECT_EQ(Layout("select 1", 1, 1, 0, 200), "select 1;");
}

TEST(SqlLayout, LongLinesWrapBeforeTheWordThatDoesNotFit) {
  // The break comes before the blank, which starts the next line.
  EXPECT_EQ(Layout("aaa bbb ccc ddd", 0, 0, 0, 8), "aaa bbb\n   ccc\n   ddd;");
  EXPECT_EQ(Layout("aaa bbb ccc ddd", 0, 0, 0, 12), "aaa bbb ccc\n   ddd;");
  // With keyword breaks too, a word that does not fit starts a new line.
  EXPECT_EQ(Layout("aaa bbb ccc ddd", 1, 0, 0, 8), "aaa bbb\n   ccc\n   ddd;");
  // A word longer than the width is not broken up.
  EXPECT_EQ(Layout("x abcdefghijklmnop y", 0, 0, 0, 6), "x\n   abcdefghijklmnop\n   y;");
  // Without keyword breaks a line break becomes a space and a new line.
  EXPECT_EQ(Layout("a\r\n\r\nb", 0, 0, 1, 200), "a \n b;");
}

TEST(SqlLayout, LiteralsAreCopiedWhole) {
  EXPECT_EQ(Layout("x = '' and y = 'it''s'", 1, 0, 0, 200), "x = '' \nand y = 'it''s';");
  EXPECT_EQ(Layout("x = 'a b c d e f g h' and z", 1, 0, 0, 6), "x = 'a b c d e f g h' \nand z;");
  // The closing ";" follows the wrapping rule too.
  EXPECT_EQ(Layout("x = yy 'a b c d e f g h'", 0, 0, 0, 8), "x = yy\n   'a b c d e f g h'\n  ;");
  // Unterminated: copied to the end, then the statement is closed.
  EXPECT_EQ(Layout("x = 'open", 1, 0, 0, 200), "x = 'open;");
  EXPECT_EQ(Layout("\"q\"", 0, 0, 0, 200), "\"q\";");
}

// Over generated statements, every literal of the input reaches the output
// unchanged and in order, for both modes and many widths.
TEST(SqlLayout, NeverBreaksInsideALiteral) {
  const char *const words[] = {"select", "from", "where", "and", "a", "bb", "set", ",", "  ",
                               "\t",     "\r\n", "=",     "1",   "values", "'x y'", "''",
                               "'it''s a b'", "\"q r s\"", "'\n'", "'long literal with spaces'"};
  std::mt19937 random(99);
  std::uniform_int_distribution<size_t> pick(0, sizeof words / sizeof words[0] - 1);
  std::uniform_int_distribution<uint32_t> width(1, 40);
  std::uniform_int_distribution<uint32_t> indent(0, 6);
  for (int i = 0; i < 3000; ++i) {
    std::string statement;
    const int n = 1 + static_cast<int>(random() % 25);
    for (int k = 0; k < n; ++k) statement += std::string(words[pick(random)]) + (random() % 3 ? " " : "");
    for (int keywords : {0, 1}) {
      const std::string out = Layout(statement, keywords, 1, indent(random), width(random));
      SCOPED_TRACE(statement);
      SCOPED_TRACE(out);
      ASSERT_EQ(Literals(out), Literals(statement));
    }
  }
}
