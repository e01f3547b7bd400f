// event_source_test.cpp - registrations of an event source on another
// machine (POSIX: a UDP socket towards it).
#include "platform/event_source.h"

#include <gtest/gtest.h>

#include "base/sal_config.h"

TEST(SalEventSource, AnotherMachineIsNamedWithLeadingBackslashes) {
  if (!SAL_OS_POSIX) GTEST_SKIP() << "Windows registers through its event-log service";
  // UDP needs no listener: the registration succeeds for any address the
  // name resolves to, and fails for an empty name.
  for (const char *machine : {"\\\\127.0.0.1", "127.0.0.1"}) {
    sal::os::EventSource *source = sal::os::OpenEventSource(machine, "vbs-test");
    EXPECT_NE(source, nullptr) << machine;
    sal::os::CloseEventSource(source);
  }
  EXPECT_EQ(sal::os::OpenEventSource("\\\\", "vbs-test"), nullptr);
  sal::os::CloseEventSource(nullptr);
}
