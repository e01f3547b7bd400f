// name_list_test.cpp - name lookups and their placeholders.
#include "reader/name_list.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

TEST(CNameListBase, OffsetsIntoThePoolAndPlaceholders) {
  // Ten pool bytes (the second name unterminated) plus the reader's zero
  // byte after them.
  char pool[11] = {'a', 'b', 'c', 'd', 0, 'e', 'f', 'g', 'h', 'i', 0};
  CNameListBase names;
  for (auto [offset, expected] : {std::pair<int32_t, const char *>{0, "$0"}, {17, "$17"}, {-1, "XUNDEF"},
                                  {INT_MAX, "$2147483647"}, {INT_MIN, "XUNDEF"}}) {
    EXPECT_STREQ(names.GetName(offset), expected) << "no pool yet: " << offset;
  }
  names.poolLength = 0;  // an empty name stream: no pool
  EXPECT_STREQ(names.GetName(0), "XUNDEF");
  EXPECT_STREQ(names.GetName(3), "$3");
  names.pool = pool;
  names.poolLength = 10;
  for (auto [offset, expected] : {std::pair<int32_t, const char *>{0, "abcd"}, {5, "efghi"}, {7, "ghi"}, {4, ""},
                                  {10, ""}, {11, "$11"}, {INT_MIN, "XUNDEF"}}) {
    EXPECT_STREQ(names.GetName(offset), expected) << offset;
  }
  // Misses share one answer buffer.
  const char *first = names.GetName(42);
  const std::string before = first;
  names.GetName(-1);
  EXPECT_EQ(before, "$42");
  EXPECT_STREQ(first, "XUNDEF");
}
