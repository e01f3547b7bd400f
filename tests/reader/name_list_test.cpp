// name_list_test.cpp - name lookups and their placeholders.
#include "reader/name_list.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

namespace {
struct Case {
  int32_t offset;
  const char *expected;
};

void Expect(CNameListBase &names, const std::vector<Case> &cases) {
  for (const Case &c : cases) {
    SCOPED_TRACE(c.offset);
    EXPECT_STREQ(names.GetName(c.offset), c.expected);
  }
}
}  // namespace

TEST(CNameListBase, NewListAnswersWithPlaceholders) {
  CNameListBase names;
  Expect(names, {{0, "$0"}, {17, "$17"}, {-1, "XUNDEF"}, {INT_MAX, "$2147483647"},
                 {INT_MIN, "XUNDEF"}});
}

TEST(CNameListBase, EmptyPoolHasNoNames) {
  CNameListBase names;
  names.poolLength = 0;  // an empty name stream: no pool
  Expect(names, {{0, "XUNDEF"}, {3, "$3"}, {-5, "XUNDEF"}});
}

TEST(CNameListBase, OffsetsIntoThePool) {
  // Ten pool bytes plus the reader's zero byte after them.
  char pool[11] = {'a', 'b', 'c', 'd', 0, 'e', 'f', 'g', 'h', 0, 0};
  CNameListBase names;
  names.pool = pool;
  names.poolLength = 10;
  Expect(names, {{0, "abcd"}, {5, "efgh"}, {7, "gh"}, {4, ""}, {10, ""}, {11, "$11"},
                 {INT_MIN, "XUNDEF"}});
}

TEST(CNameListBase, UnterminatedPoolEndsAtTheGuardByte) {
  char pool[5] = {'w', 'x', 'y', 'z', 0};
  CNameListBase names;
  names.pool = pool;
  names.poolLength = 4;
  Expect(names, {{0, "wxyz"}, {3, "z"}, {4, ""}, {5, "$5"}});
}

TEST(CNameListBase, MissesShareOneAnswerBuffer) {
  CNameListBase names;
  const char *first = names.GetName(42);
  const std::string before = first;
  names.GetName(-1);
  EXPECT_EQ(before, "$42");
  EXPECT_STREQ(first, "XUNDEF");
}
