// sql_literals.h - the quoted literals of an SQL statement, found by a plain
// scan: the oracle that the SQL layout copies every literal whole.
#ifndef VBS_TESTS_SQL_LITERALS_H
#define VBS_TESTS_SQL_LITERALS_H

#include <string>
#include <vector>

/// The literals of text in order, quotes included: a literal starts at ' or
/// " and ends at the same quote, a doubled quote inside it standing for one
/// (but not right after the opening quote: '' is the empty literal).  An
/// unterminated literal runs to the end of the text.
inline std::vector<std::string> SqlLiterals(const std::string &text) {
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

#endif  // VBS_TESTS_SQL_LITERALS_H
