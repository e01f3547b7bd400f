// fault_guard_test.cpp - CSalFaultGuard: faults thrown at the faulting
// instruction, the frames between unwound, nesting and reuse.  The fault
// cases run where the guard arms (Windows) and are skipped elsewhere.
#include <gtest/gtest.h>

#include <cstdint>
#include <mutex>
#include <stdexcept>

#include "platform/fault_guard.h"

namespace {
constexpr uint32_t kAccessViolation = 0xC0000005u;
constexpr uint32_t kIllegalInstruction = 0xC000001Du;

// The fault a read or write of address reports: an access violation with
// the address, or, where Wine runs under a user-mode emulator (the i686
// tests under qemu-i386), an illegal instruction without one.
void ExpectFaultAt(const SalAccessFault &fault, uint64_t address) {
  if (fault.code == kIllegalInstruction) {
    EXPECT_EQ(fault.address, 0u);
    return;
  }
  EXPECT_EQ(fault.code, kAccessViolation);
  EXPECT_EQ(fault.address, address);
}

int g_destroyed = 0;
struct CountsItsEnd {
  ~CountsItsEnd() { ++g_destroyed; }
};

volatile uintptr_t g_sink;

// The address as the compiler cannot know it (it would warn of a constant
// one, and could drop the access).
template <typename T>
T *At(uintptr_t address) {
  volatile uintptr_t opaque = address;
  return reinterpret_cast<T *>(opaque);
}

// A leaf function: the fault comes with whatever stack alignment a leaf
// without a frame leaves.
__attribute__((noinline)) int ReadAt(uintptr_t address) {
  return *At<volatile const int>(address);
}
__attribute__((noinline)) void WriteAt(uintptr_t address) {
  *At<volatile int>(address) = 1;
}
__attribute__((noinline)) void Opaque() { g_sink = g_sink + 1; }

// Frames that own something between the fault and the guard: an object
// with a destructor and a held lock, in a function that faults itself
// after a call (a frame of its own, the other stack alignment) and in one
// that only passes the fault on.
std::mutex g_lock;
__attribute__((noinline)) int FaultInFrame(uintptr_t address) {
  CountsItsEnd owned;
  std::lock_guard<std::mutex> held(g_lock);
  Opaque();
  const int v = *At<volatile const int>(address);
  Opaque();
  return v;
}
__attribute__((noinline)) int FaultBelow(uintptr_t address, int depth) {
  CountsItsEnd owned;
  Opaque();
  const int v = depth > 0 ? FaultBelow(address, depth - 1) : FaultInFrame(address);
  Opaque();
  return v;
}

bool GuardArms() { return CSalFaultGuard().Armed(); }
}  // namespace

TEST(CSalFaultGuard, BodyRunsAndOtherExceptionsPassThrough) {
  int ran = 0;
  SalAccessFault fault{1, 2};
  EXPECT_TRUE(SalRunFaultGuarded([&] { ++ran; }, &fault));
  EXPECT_EQ(ran, 1);
  EXPECT_EQ(fault.code, 1u) << "no fault, nothing written";
  EXPECT_THROW(SalRunFaultGuarded([] { throw std::runtime_error("x"); }, nullptr), std::runtime_error);
  // The guard of that run is gone with it.
  EXPECT_TRUE(SalRunFaultGuarded([&] { ++ran; }, nullptr));
  EXPECT_EQ(ran, 2);
}

TEST(CSalFaultGuard, ReadAndWriteFaultsEndTheBodyWithCodeAndAddress) {
  if (!GuardArms()) GTEST_SKIP() << "this system's guard arms nothing (faults excluded by construction)";
  SalAccessFault fault{};
  bool after = false;
  EXPECT_FALSE(SalRunFaultGuarded([&] { g_sink = ReadAt(16); after = true; }, &fault));
  EXPECT_FALSE(after);
  ExpectFaultAt(fault, 16);

  fault = SalAccessFault{};
  EXPECT_FALSE(SalRunFaultGuarded([] { WriteAt(0x24); }, &fault));
  ExpectFaultAt(fault, 0x24);
}

TEST(CSalFaultGuard, FramesBetweenFaultAndGuardUnwind) {
  if (!GuardArms()) GTEST_SKIP() << "this system's guard arms nothing (faults excluded by construction)";
  for (int depth : {0, 1, 4}) {
    SCOPED_TRACE(depth);
    g_destroyed = 0;
    SalAccessFault fault{};
    EXPECT_FALSE(SalRunFaultGuarded([&] { g_sink = FaultBelow(8, depth); }, &fault));
    ExpectFaultAt(fault, 8);
    // One object per FaultBelow frame and one in FaultInFrame.
    EXPECT_EQ(g_destroyed, depth + 2);
    // The lock taken in the faulting frame was released.
    ASSERT_TRUE(g_lock.try_lock());
    g_lock.unlock();
  }
}

TEST(CSalFaultGuard, GuardsNestAndAreArmedAfresh) {
  if (!GuardArms()) GTEST_SKIP() << "this system's guard arms nothing (faults excluded by construction)";
  SalAccessFault inner{};
  bool innerResult = true;
  SalAccessFault outer{};
  EXPECT_TRUE(SalRunFaultGuarded(
      [&] {
        innerResult = SalRunFaultGuarded([] { g_sink = ReadAt(32); }, &inner);
        // The outer guard still catches after the inner one was spent.
        g_sink = 0;
      },
      &outer));
  EXPECT_FALSE(innerResult);
  ExpectFaultAt(inner, 32);
  EXPECT_FALSE(SalRunFaultGuarded([] { g_sink = ReadAt(48); }, &outer));
  ExpectFaultAt(outer, 48);
  // Many guarded faults in a row: no registration is left behind.
  for (int i = 0; i < 50; ++i) ASSERT_FALSE(SalRunFaultGuarded([] { g_sink = ReadAt(64); }, nullptr));
}
