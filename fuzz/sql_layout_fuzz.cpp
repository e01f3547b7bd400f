// sql_layout_fuzz.cpp - libFuzzer target: FormatSqlStatement over any bytes
// and settings.  Besides the sanitizers it checks that every quoted literal
// reaches the output unchanged and in order, and that the output holds
// every non-blank byte of the statement.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "base/common_string.h"
#include "fuzz_check.h"
#include "text/sql_layout.h"

namespace {
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

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ','; }
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size < 3) return 0;
  const int keywords = data[0] & 1;
  const int brackets = (data[0] >> 1) & 1;
  const uint32_t indent = data[1] % 12;
  const uint32_t width = data[2];
  const std::string statement(reinterpret_cast<const char *>(data + 3), size - 3);
  CCommonString in(statement.data(), static_cast<uint32_t>(statement.size()));
  CCommonString out;
  FUZZ_CHECK(FormatSqlStatement(out, in, keywords, brackets, indent, width) == 1);
  const std::string text(out.CStr(), out.GetLength());
  // Literals: an unterminated last literal gets the closing ";" or "]"
  // appended, so compare all but the text after the last literal's start.
  const std::vector<std::string> before = Literals(statement);
  const std::vector<std::string> after = Literals(text);
  FUZZ_CHECK(after.size() == before.size());
  for (size_t i = 0; i < before.size(); ++i) {
    const bool last = i + 1 == before.size();
    if (last && after[i].size() >= before[i].size()) {
      FUZZ_CHECK(after[i].compare(0, before[i].size(), before[i]) == 0);
    } else {
      FUZZ_CHECK(after[i] == before[i]);
    }
  }
  // Every non-blank byte survives in order.
  size_t j = 0;
  for (char c : statement) {
    if (Blank(c)) continue;
    while (j < text.size() && text[j] != c) ++j;
    FUZZ_CHECK(j < text.size());
    ++j;
  }
  return 0;
}
