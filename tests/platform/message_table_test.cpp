// message_table_test.cpp - the texts of modules where the system keeps no
// message or string tables for them (POSIX): the entry points of companion
// modules, the own string table of the module holding this code, and the
// module names the resource lookup needs.
#include "platform/message_table.h"

#include <gtest/gtest.h>

#include <string>

#include "base/sal_config.h"
#include "platform/module.h"
#include "platform/self_module.h"

namespace {
class MessageTablePosix : public testing::Test {
 protected:
  void SetUp() override {
    if (!SAL_OS_POSIX) GTEST_SKIP() << "Windows keeps these tables as resources of the modules";
  }
};
}  // namespace

TEST_F(MessageTablePosix, CompanionModulesAnswerThroughTheirEntryPoints) {
  // The test module exports vortLoadString and vortFindMessage.
  CSalModule module;
  ASSERT_EQ(module.Load((std::string(VBS_TEST_MODULE_DIR) + "/" + VBS_TEST_MODULE_NAME).c_str(), 0), 1);
  void *handle = module.GetHandle();
  char buffer[16] = "x";
  EXPECT_EQ(sal::os::LoadModuleString(handle, 5, buffer, sizeof buffer), 4);
  EXPECT_STREQ(buffer, "five");
  EXPECT_EQ(sal::os::LoadModuleString(handle, 6, buffer, sizeof buffer), 0);
  char *text = sal::os::FindMessageText(handle, 7);
  ASSERT_NE(text, nullptr);
  EXPECT_STREQ(text, "seven %1\r\n") << "inserts stay in place";
  sal::os::FreeMessageText(text);
  const char *const strings[] = {"A"};
  EXPECT_TRUE(sal::os::FormatMessageWithStrings(handle, 7, strings, 1, buffer, sizeof buffer));
  EXPECT_STREQ(buffer, "seven A\r\n");
  EXPECT_FALSE(sal::os::FormatMessageWithStrings(handle, 8, strings, 1, buffer, sizeof buffer));
  // The host program exports neither: no texts of its own.
  EXPECT_EQ(sal::os::LoadModuleString(nullptr, 5, buffer, sizeof buffer), 0);
  EXPECT_FALSE(sal::os::FormatMessageWithStrings(nullptr, 7, strings, 1, buffer, sizeof buffer));
  EXPECT_EQ(module.Unload(), 1);  // the module tests expect it unloaded
}

TEST_F(MessageTablePosix, OwnStringTableAnswersForTheModuleHoldingThisCode) {
  static const SalTextEntry kTable[] = {{7, "seven"}, {9, "nine"}};
  sal::os::SetOwnStringTable(kTable, 2);
  // This program holds the code: its own handle, and null for the host
  // program, name the same module.
  for (void *module : {sal::os::SelfModule(), static_cast<void *>(nullptr)}) {
    char buffer[8] = "x";
    EXPECT_EQ(sal::os::LoadModuleString(module, 9, buffer, sizeof buffer), 4);
    EXPECT_STREQ(buffer, "nine");
    EXPECT_EQ(sal::os::LoadModuleString(module, 7, buffer, 4), 3) << "cut to the capacity";
    EXPECT_STREQ(buffer, "sev");
    EXPECT_EQ(sal::os::LoadModuleString(module, 8, buffer, sizeof buffer), 0);
  }
  sal::os::SetOwnStringTable(nullptr, 0);
  char buffer[8];
  EXPECT_EQ(sal::os::LoadModuleString(nullptr, 9, buffer, sizeof buffer), 0);
}

TEST_F(MessageTablePosix, ModuleStemsEndAtTheSharedObjectSuffix) {
  EXPECT_STREQ(sal::os::ModuleSuffix(), ".so");
  const std::pair<const char *, size_t> cases[] = {
      {"libvortBexScanner.so.1.0.0", 17}, {"/lib/x.so/vortMessages.so", 22}, {"a.sox.so", 5},
      {"name.dll", 4},                    {"dir.d/noext", 11},               {"", 0}};
  for (const auto &c : cases) EXPECT_EQ(sal::os::ModuleStemLength(c.first), c.second) << c.first;
}
