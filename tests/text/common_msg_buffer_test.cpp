// common_msg_buffer_test.cpp - CCommonMsgBuffer: joining, levels, the
// creation hook and a failed first allocation.
#include "text/common_msg_buffer.h"

#include <gtest/gtest.h>

#include <string>

#include "base/last_error.h"
#include "base/mem.h"
#include "base/sal_errors.h"

namespace {
std::string Text(const CCommonMsgBuffer &buffer) {
  CCommonString out("stale");
  buffer.GetText(out);
  return out.HasStorage() ? std::string(out.CStr(), out.GetLength()) : "<none>";
}

// Counts the creation hook and writes a heading into the new text.
class HeadedBuffer : public CCommonMsgBuffer {
 public:
  HeadedBuffer() : CCommonMsgBuffer("; ") {}
  void OnTextCreated(CCommonString &text) override {
    ++created;
    text.Append("errors: ");
  }
  int created = 0;
};
}  // namespace

TEST(CCommonMsgBuffer, JoinsMessagesAndKeepsTheHighestLevel) {
  CCommonMsgBuffer buffer(",\n");
  EXPECT_EQ(Text(buffer), "<none>") << "no text before the first message";
  EXPECT_EQ(buffer.Add("first", 2), 0);
  EXPECT_EQ(buffer.Add("second", 1), 0);
  EXPECT_EQ(Text(buffer), "first,\nsecond");
  EXPECT_EQ(buffer.GetLevel(), 2u);

  buffer.AddLevel3Formatted("%s #%d", "third", 3);
  buffer.AddLevel0(nullptr);
  EXPECT_EQ(Text(buffer), "first,\nsecond,\nthird #3,\n");
  EXPECT_EQ(buffer.GetLevel(), 3u);
  buffer.SetLevel(1, 0);
  EXPECT_EQ(buffer.GetLevel(), 3u);
  buffer.SetLevel(1, 1);
  EXPECT_EQ(buffer.GetLevel(), 1u);
  buffer.AddFormatted(2, "%05u", 42u);
  EXPECT_EQ(buffer.GetLevel(), 2u);
  EXPECT_EQ(Text(buffer), "first,\nsecond,\nthird #3,\n,\n00042");
}

TEST(CCommonMsgBuffer, NullFormatAddsNothing) {
  CCommonMsgBuffer buffer(nullptr);
  const char *none = nullptr;
  EXPECT_EQ(buffer.AddLevel2Formatted(none), 0);
  EXPECT_EQ(Text(buffer), "<none>");
  EXPECT_EQ(buffer.GetLevel(), 0u);
  buffer.AddLevel1("a");
  buffer.AddLevel1("b");
  EXPECT_EQ(Text(buffer), "ab") << "a null separator joins directly";
}

TEST(CCommonMsgBuffer, CreationHookRunsOnceOnTheNewText) {
  HeadedBuffer buffer;
  buffer.AddLevel1("disk full");
  buffer.AddLevel2("no path");
  EXPECT_EQ(buffer.created, 1);
  EXPECT_EQ(Text(buffer), "errors: disk full; no path");
}

TEST(CCommonMsgBuffer, FailedFirstAllocationLosesOnlyThatMessage) {
  CCommonMsgBuffer buffer("|");
  SalSetLastError(0);
  SalMemFailAfter(1);
  EXPECT_EQ(buffer.Add("lost", 3), 0);
  SalMemFailAfter(0);
  EXPECT_EQ(SalGetLastError(), kCommonErrNoStorage);
  EXPECT_EQ(Text(buffer), "<none>");
  EXPECT_EQ(buffer.GetLevel(), 3u);
  buffer.Add("kept", 0);
  EXPECT_EQ(Text(buffer), "kept");
}
