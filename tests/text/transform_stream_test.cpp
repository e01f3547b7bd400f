// transform_stream_test.cpp - CCommonTransformStream: no output until the
// first change, the 9/8 sizing at that change, and random edit scripts
// checked against a plain string rebuild.
#include "text/transform_stream.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

#include "base/common_string.h"
#include "base/last_error.h"
#include "base/mem.h"
#include "base/sal_errors.h"

namespace {
TextSpan Span(const std::string &s) {
  TextSpan span;
  span.start = s.data();
  span.length = s.size();
  return span;
}
std::string Bytes(const CCommonString *s) { return std::string(s->CStr(), s->GetLength()); }
}  // namespace

TEST(CCommonTransformStream, APassWithoutChangesAllocatesNothing) {
  const std::string source = "unchanged text";
  const int64_t live = SalMemLiveBlocks();
  CCommonTransformStream stream(Span(source));
  stream.Copy(3);
  stream.Copy(100);  // more than remains: keeps only what remains
  EXPECT_EQ(stream.Remaining(), 0u);
  EXPECT_EQ(SalMemLiveBlocks(), live);
  EXPECT_EQ(stream.TakeResult(1), nullptr);
  stream.Insert(nullptr, 5);  // null data or length 0: still no change
  stream.Insert("x", 0);
  EXPECT_EQ(stream.TakeResult(1), nullptr);
}

TEST(CCommonTransformStream, FirstChangeCopiesThePrefixIntoNineEighthsOfTheSource) {
  const std::string source(800, 'a');
  CCommonTransformStream stream(Span(source));
  stream.Copy(799);
  stream.Replace(1, "XYZ", 3);  // the only change, at the last byte
  std::unique_ptr<CCommonString> result(stream.TakeResult(1));
  ASSERT_NE(result, nullptr);
  EXPECT_EQ(Bytes(result.get()), std::string(799, 'a') + "XYZ");
  EXPECT_EQ(result->GetCapacity(), 800u + 100u + 1u);  // one allocation, never grown
}

TEST(CCommonTransformStream, EditScriptsMatchARebuild) {
  std::mt19937 rng(8);
  for (int round = 0; round < 500; ++round) {
    std::string source(rng() % 300, '\0');
    for (char &c : source) c = static_cast<char>(rng());
    std::string expected;
    bool changed = false;
    CCommonTransformStream stream(Span(source));
    size_t at = 0;
    while (at < source.size() && rng() % 20 != 0) {
      const size_t left = source.size() - at;
      const size_t n = 1 + rng() % (left < 12 ? left : 12);
      const std::string text(rng() % 4, static_cast<char>('A' + rng() % 26));
      switch (rng() % 4) {
        case 0:
          stream.Copy(n);
          expected += source.substr(at, n);
          at += n;
          break;
        case 1:
          stream.Drop(n);
          at += n;
          changed = true;
          break;
        case 2:
          stream.Insert(text.data(), text.size());
          expected += text;
          changed = changed || !text.empty();
          break;
        default:
          stream.Replace(n, text.data(), text.size());
          expected += text;
          at += n;
          changed = true;
      }
      ASSERT_EQ(stream.Remaining(), source.size() - at);
      ASSERT_EQ(stream.Current(), source.data() + at);
    }
    expected += source.substr(at);
    std::unique_ptr<CCommonString> result(stream.TakeResult(1));
    ASSERT_EQ(result != nullptr, changed) << "round " << round;
    if (result) {
      ASSERT_EQ(Bytes(result.get()), expected) << "round " << round;
    }
  }
}

TEST(CCommonTransformStream, TakeWithoutFlushAndDestroyWithoutTake) {
  const std::string source = "abcdef";
  CCommonTransformStream stream(Span(source));
  stream.Copy(2);
  stream.Drop(1);
  std::unique_ptr<CCommonString> result(stream.TakeResult(0));
  ASSERT_NE(result, nullptr);
  EXPECT_EQ(Bytes(result.get()), "ab");
  EXPECT_EQ(stream.TakeResult(1), nullptr);  // taken: forgotten

  const int64_t live = SalMemLiveBlocks();
  {
    CCommonTransformStream dropped(Span(source));
    dropped.Replace(2, "zz", 2);
  }
  EXPECT_EQ(SalMemLiveBlocks(), live);  // the destructor released the output
}

TEST(CCommonTransformStream, StorageFailureEndsThePassWithoutAResult) {
  const std::string source = "abcdef";
  CCommonTransformStream stream(Span(source));
  stream.Copy(1);
  SalMemFailAfter(1);
  stream.Drop(1);
  SalMemFailAfter(0);
  stream.Insert("x", 1);
  EXPECT_TRUE(stream.Failed());
  EXPECT_EQ(SalGetLastError(), kCommonErrNoStorage);
  EXPECT_EQ(stream.TakeResult(1), nullptr);
}
