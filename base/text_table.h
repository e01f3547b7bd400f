// text_table.h - compiled-in tables of texts by id.
//
// The texts in texts/*.def are read into such tables by every module that
// needs them (the library's defaults, the companion modules' string
// tables).  Header-only: the companion modules use it without linking the
// library's layers.
#ifndef SAL_TEXT_TABLE_H
#define SAL_TEXT_TABLE_H

#include <cstddef>
#include <cstdint>

/// One text of a table: its string id and the text.
struct SalTextEntry {
  uint32_t id;
  const char *text;
};

/// The text of id in table[0, count); null when the table has no such id.
inline const char *SalFindText(const SalTextEntry *table, size_t count, uint32_t id) {
  for (size_t i = 0; i < count; ++i)
    if (table[i].id == id) return table[i].text;
  return nullptr;
}

template <size_t N>
inline const char *SalFindText(const SalTextEntry (&table)[N], uint32_t id) {
  return SalFindText(table, N, id);
}

#endif  // SAL_TEXT_TABLE_H
