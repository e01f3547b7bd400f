// fault_test.cpp - ReadBex under the fault guard: an access fault inside
// the read is a severe error like any other (Windows; skipped where the
// guard arms nothing).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/fault_guard.h"
#include "reader/bex_body.h"
#include "reader_fixture.h"

namespace {
volatile int g_sink;

volatile uintptr_t g_faultAddress = 0x20;  // not a constant the compiler could see

void FaultingHook() { g_sink = *reinterpret_cast<volatile const int *>(g_faultAddress); }

// The text of a fault reading address, with the code and address that this
// system reports for such a read (an emulated 32-bit Wine reports an
// illegal instruction without address; the platform tests pin both forms).
std::string FaultText(uintptr_t address) {
  volatile uintptr_t where = address;
  SalAccessFault probe{};
  EXPECT_FALSE(SalRunFaultGuarded([&] { g_sink = *reinterpret_cast<volatile const int *>(where); }, &probe));
  char argument[64];
  std::snprintf(argument, sizeof argument, "code 0x%08lX, address 0x%llX", static_cast<unsigned long>(probe.code),
                static_cast<unsigned long long>(probe.address));
  return std::string("Severe Error RESERR: 180 - An access fault (") + argument +
         ") stopped the reading of the Bex file.(180) in vortBexScanner.dll";
}

class Faults : public ReaderTest {
 protected:
  void SetUp() override {
    ReaderTest::SetUp();
    if (!CSalFaultGuard().Armed()) GTEST_SKIP() << "this system's guard arms nothing (faults excluded by construction)";
  }
  void TearDown() override {
    SetBexBodyTestHook(nullptr);
    ReaderTest::TearDown();
  }
};
}  // namespace

TEST_F(Faults, AccessFaultsUnwindTheReadAndTheNextReadWorks) {
  // A path pointer that leads nowhere, reported like every severe error.
  EXPECT_EQ(ReadBex(reinterpret_cast<const char *>(16)), 0);
  EXPECT_EQ(Error(), FaultText(16));
  ASSERT_EQ(SeenEvents().size(), 1u);
  EXPECT_EQ(SeenEvents()[0].strings.at(0), FaultText(16));
  // A fault inside the body read: the name pool read before it stays with
  // the model until FreeBex, and the file was closed as the read unwound
  // (Windows removes no open file).
  const std::string path = Write(bexgen::WriteBex(bexgen::DemoSpec()));
  SetBexBodyTestHook(&FaultingHook);
  EXPECT_EQ(ReadBex(path.c_str()), 0);
  EXPECT_EQ(Error(), FaultText(0x20));
  EXPECT_GT(SalMemLiveBlocks(), baseline_);
  FreeBex();
  EXPECT_EQ(SalMemLiveBlocks(), baseline_);
  EXPECT_EQ(std::remove(path.c_str()), 0);
  SetBexBodyTestHook(nullptr);
  const bexgen::BexSpec plan = bexgen::DemoSpec();
  ASSERT_EQ(Read(plan), 1) << Error();
  EXPECT_EQ(WalkGroups(), ExpectedGroups(plan));
  // A fault in a read after a good one: the guard is armed afresh per read.
  SetBexBodyTestHook(&FaultingHook);
  EXPECT_EQ(Read(plan), 0);
  EXPECT_EQ(Error(), FaultText(0x20));
}
