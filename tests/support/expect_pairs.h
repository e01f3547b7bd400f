// expect_pairs.h - many small checks of one kind in a table: each pair is a
// computed value and the value it must have.
#ifndef VBS_TESTS_EXPECT_PAIRS_H
#define VBS_TESTS_EXPECT_PAIRS_H

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

/// EXPECT_PAIRS(T, {{value, expected}, ...}) expects value == expected for
/// every pair (both of type T); a failure names the pair's index and the
/// line of the table.  The values are computed left to right.
#define EXPECT_PAIRS(T, ...)              \
  do {                                    \
    SCOPED_TRACE("the table of pairs");   \
    ExpectPairs<T>(__VA_ARGS__);          \
  } while (0)

/// EXPECT_SIGNS({{comparison, sign}, ...}): the same for comparison results,
/// each of which must have the sign (-1, 0 or 1) given.
#define EXPECT_SIGNS(...)                     \
  do {                                        \
    SCOPED_TRACE("the table of comparisons"); \
    ExpectSigns(__VA_ARGS__);                 \
  } while (0)

template <typename T>
void ExpectPairs(std::initializer_list<std::pair<T, T>> pairs) {
  int index = 0;
  for (const auto &p : pairs) EXPECT_EQ(p.first, p.second) << "pair " << index++;
}

inline void ExpectSigns(std::initializer_list<std::pair<int, int>> pairs) {
  int index = 0;
  for (const auto &p : pairs) EXPECT_EQ((p.first > 0) - (p.first < 0), p.second) << "comparison " << index++;
}

#endif  // VBS_TESTS_EXPECT_PAIRS_H
