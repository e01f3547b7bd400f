// message_table_test.cpp - the string table that the module holding this
// code answers from, where modules carry no string resources (POSIX).
#include "platform/message_table.h"

#include <gtest/gtest.h>

#include "base/sal_config.h"
#include "platform/self_module.h"

TEST(SalMessageTable, OwnStringTableAnswersForTheModuleHoldingThisCode) {
  if (!SAL_OS_POSIX) GTEST_SKIP() << "Windows modules carry their string tables as resources";
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
