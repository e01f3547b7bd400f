// common_msg_buffer_test.cpp - CCommonMsgBuffer: joining, levels, the
// creation hook and a failed first allocation.
#include "text/common_msg_buffer.h"

#include <gtest/gtest.h>

#include <string>

#include "base/last_error.h"
#include "base/mem.h"
#include "base/sal_errors.h"
#include "support/text_buffers.h"

namespace {
std::string Text(const CCommonMsgBuffer &buffer) {
  CCommonString out("stale");
  buffer.GetText(out);
  return out.HasStorage() ? Bytes(out) : "<none>";
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
  EXPECT_EQ(buffer.GetLevel(), 2u);
  buffer.AddLevel3Formatted("%s #%d", "third", 3);
  buffer.AddLevel0(nullptr);
  EXPECT_EQ(buffer.GetLevel(), 3u);
  buffer.SetLevel(1, 0);
  EXPECT_EQ(buffer.GetLevel(), 3u);
  buffer.SetLevel(1, 1);
  EXPECT_EQ(buffer.GetLevel(), 1u);
  buffer.AddFormatted(2, "%05u", 42u);
  EXPECT_EQ(buffer.GetLevel(), 2u);
  EXPECT_EQ(Text(buffer), "first,\nsecond,\nthird #3,\n,\n00042");

  CCommonMsgBuffer direct(nullptr);
  const char *none = nullptr;
  EXPECT_EQ(direct.AddLevel2Formatted(none), 0);
  EXPECT_EQ(Text(direct), "<none>");
  EXPECT_EQ(direct.GetLevel(), 0u);
  direct.AddLevel1("a");
  direct.AddLevel1("b");
  EXPECT_EQ(Text(direct), "ab") << "a null separator joins directly";
}

TEST(CCommonMsgBuffer, HookRunsOnceAndAFailedFirstTextLosesOnlyItsMessage) {
  HeadedBuffer headed;
  headed.AddLevel1("disk full");
  headed.AddLevel2("no path");
  EXPECT_EQ(headed.created, 1);
  EXPECT_EQ(Text(headed), "errors: disk full; no path");

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
