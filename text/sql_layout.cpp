// sql_layout.cpp - SQL statement layout.
#include "text/sql_layout.h"

#include <cstring>

#include "base/common_string.h"

namespace {
const char *const kBreakKeywords[] = {"from ",  "where ", "values ", "insert ", "as ",
                                      "order ", "having ", "group ", "and ",   "set "};

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsSeparator(char c) { return c == ' ' || c == ',' || c == '\t' || c == '\r' || c == '\n'; }
bool IsWhite(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; }

// The statement's bytes with the writing state of one layout.
class SqlLayout {
 public:
  SqlLayout(CCommonString &out, const char *text, uint32_t length, uint32_t indent, uint32_t width)
      : out_(out), text_(text), length_(length), indent_(indent), width_(width) {}

  void Run(bool breakAtKeywords, bool bracket);
  bool Failed() const { return failed_; }

 private:
  void Put(char c) {
    failed_ = (out_.AppendPiece(&c, 1) == 0) || failed_;
    if (c != ' ') lineHasText_ = true;
  }
  void PutBytes(const char *bytes, uint32_t n) {
    failed_ = (out_.AppendPiece(bytes, n) == 0) || failed_;
    column_ += n;
    lineHasText_ = true;
  }
  // LF and indent spaces; column indent.
  void NewLine() {
    Put('\n');
    for (uint32_t i = 0; i < indent_; ++i) Put(' ');
    column_ = indent_;
    lineHasText_ = false;
  }
  // A wrapped line: LF, indent and two spaces; column indent + 2.
  void WrapLine() {
    NewLine();
    Put(' ');
    Put(' ');
    column_ = indent_ + 2;
  }
  bool KeywordAt(uint32_t p) const { return p < length_ && IsSqlBreakKeyword(text_ + p) != 0; }
  // The quoted literal starting at p (its quote); returns the position of
  // its closing quote, or length_ when the statement ends inside it.
  uint32_t CopyLiteral(uint32_t p);

  CCommonString &out_;
  const char *text_;
  uint32_t length_;
  uint32_t indent_;
  uint32_t width_;
  uint64_t column_ = 0;
  bool lineHasText_ = false;
  bool failed_ = false;
};

uint32_t SqlLayout::CopyLiteral(uint32_t p) {
  const char quote = text_[p];
  PutBytes(text_ + p, 1);
  ++p;
  for (;;) {
    const char *hit = static_cast<const char *>(std::memchr(text_ + p, quote, length_ - p));
    const uint32_t close = hit != nullptr ? static_cast<uint32_t>(hit - text_) : length_;
    const uint32_t run = close - p;
    PutBytes(text_ + p, run);
    p = close;
    // A doubled quote inside a literal stands for one quote and does not end it.
    if (p < length_ && run > 0 && p + 1 < length_ && text_[p + 1] == quote) {
      PutBytes(text_ + p, 2);
      p += 2;
      continue;
    }
    return p;
  }
}

void SqlLayout::Run(bool breakAtKeywords, bool bracket) {
  uint32_t p = 0;
  while (p < length_ && IsWhite(text_[p])) ++p;
  column_ = indent_;
  if (bracket) PutBytes("[", 1);
  while (p < length_) {
    // The next word does not fit: break before it, unless a keyword is
    // about to break the line anyway or the line holds nothing yet.  Inside
    // a word the test is the one made at its start, so it can only fire
    // again for a word longer than the line: such a word is not cut up.
    const bool wordStart = p == 0 || IsSeparator(text_[p]) || IsSeparator(text_[p - 1]);
    if (wordStart && lineHasText_) {
      uint32_t run = 0;
      while (p + 1 + run < length_ && !IsSeparator(text_[p + 1 + run])) ++run;
      if (column_ + run >= width_ && (!breakAtKeywords || !KeywordAt(p + 1))) WrapLine();
    }

    const char c = text_[p];
    if (c == '\'' || c == '"') {
      p = CopyLiteral(p);
      if (p >= length_) break;
      // The closing quote is written below as an ordinary byte.
    } else if (breakAtKeywords && IsSeparator(c)) {
      Put(c == ',' ? ',' : ' ');
      ++column_;
      ++p;
      while (p < length_ && IsWhite(text_[p])) ++p;
      if (KeywordAt(p)) {
        NewLine();
      } else if (column_ >= width_ && lineHasText_) {
        WrapLine();
      }
      continue;
    } else if (!breakAtKeywords && (c == ' ' || c == '\t') && column_ >= width_) {
      // The blank becomes the line break; what follows goes round the loop
      // again, so that a quote after it still starts a literal.
      WrapLine();
      ++p;
      continue;
    } else if (!breakAtKeywords && (c == '\r' || c == '\n')) {
      Put(' ');
      ++column_;
      while (p < length_ && (text_[p] == '\r' || text_[p] == '\n')) ++p;
      if (p < length_) NewLine();
      continue;
    }
    Put(c == '\t' ? ' ' : c);
    ++column_;
    ++p;
  }
  if (bracket) {
    if (column_ >= width_) WrapLine();
    Put(']');
  } else if (out_.GetLength() > 0 && out_.CStr()[out_.GetLength() - 1] != ';') {
    if (column_ >= width_) WrapLine();
    Put(';');
  }
}
}  // namespace

int IsSqlBreakKeyword(const char *text) {
  if (text == nullptr) return 0;
  for (const char *keyword : kBreakKeywords) {
    size_t i = 0;
    while (keyword[i] != '\0' && Lower(text[i]) == keyword[i]) ++i;
    if (keyword[i] == '\0') return 1;
  }
  return 0;
}

int FormatSqlStatement(CCommonString &out, const CCommonString &statement, int breakAtKeywords,
                       int bracketStatements, uint32_t indent, uint32_t width) {
  out.Clear();
  if (out.Reserve(statement.GetLength()) == 0) return 0;
  const char *text = statement.CStr();
  const uint32_t length = statement.GetLength();
  const bool bracket = bracketStatements != 0 && std::memchr(text, ';', length) != nullptr;
  SqlLayout layout(out, text, length, indent, width);
  layout.Run(breakAtKeywords != 0, bracket);
  return layout.Failed() ? 0 : 1;
}
