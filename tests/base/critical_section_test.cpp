// critical_section_test.cpp - CSalCriticalSection and CSalLock with real
// threads contending.
#include "base/critical_section.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {
using std::chrono::milliseconds;

// How long a thread that should get in is given; generous for Wine and the
// sanitizers.  A thread that should stay out is watched for kBrief only: a
// correct lock never lets it in, so that wait only bounds how quickly a
// faulty one is caught.
constexpr milliseconds kPatience{10000};
constexpr milliseconds kBrief{200};

// A thread that enters lock, notes it and leaves again.  The lock is shared
// with the thread, so a probe that never gets in can be left behind without
// touching freed memory.
class EntryProbe {
 public:
  explicit EntryProbe(std::shared_ptr<CSalCriticalSection> lock) {
    std::promise<void> entered;
    entered_ = entered.get_future();
    thread_ = std::thread([lock, entered = std::move(entered)]() mutable {
      lock->Enter();
      entered.set_value();
      lock->Leave();
    });
  }
  ~EntryProbe() {
    if (EnteredWithin(kPatience))
      thread_.join();
    else
      thread_.detach();  // stuck on a lock the test failed to release
  }
  EntryProbe(const EntryProbe &) = delete;
  EntryProbe &operator=(const EntryProbe &) = delete;

  bool EnteredWithin(milliseconds limit) { return entered_.wait_for(limit) == std::future_status::ready; }

 private:
  std::future<void> entered_;
  std::thread thread_;
};
}  // namespace

TEST(CSalCriticalSection, OwnerEntersAgainGuardsNestAndUnwind) {
  auto lock = std::make_shared<CSalCriticalSection>();
  auto other = std::make_shared<CSalCriticalSection>();
  std::unique_ptr<EntryProbe> probe;
  try {
    CSalLock none(nullptr);  // holds nothing, and must not fault on leaving
    CSalLock outer(lock.get());
    lock->Enter();  // would wait forever on a lock that does not count recursion
    lock->Leave();
    probe = std::make_unique<EntryProbe>(lock);
    EXPECT_FALSE(probe->EnteredWithin(kBrief)) << "one Leave of two released the section";
    CSalLock inner(lock.get());  // guards nest like Enter does
    EXPECT_TRUE(EntryProbe(other).EnteredWithin(kPatience)) << "holding one lock blocked another";
    throw std::runtime_error("leaves the guarded block");
  } catch (const std::runtime_error &) {
  }
  EXPECT_TRUE(probe->EnteredWithin(kPatience)) << "the unwound guards kept the section";
}

TEST(CSalCriticalSection, ExcludesUnderContention) {
  CSalCriticalSection lock;
  long counter = 0;              // deliberately not atomic: the lock alone protects it
  std::atomic<int> inside{0};    // threads between Enter and Leave right now
  std::atomic<int> overlaps{0};  // times a thread found another one inside
  std::atomic<int> waiting{0};   // start line, so that the threads really overlap
  constexpr int kThreads = 4;
  constexpr int kRounds = 5000;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&] {
      waiting.fetch_add(1);
      while (waiting.load() < kThreads) std::this_thread::yield();
      for (int i = 0; i < kRounds; ++i) {
        CSalLock guard(&lock);
        if (inside.fetch_add(1) != 0) overlaps.fetch_add(1);
        const long seen = counter;
        std::this_thread::yield();  // invites another thread into a faulty lock
        lock.Enter();  // a nested entry on the way, as callers of a guarded helper do
        counter = seen + 1;
        lock.Leave();
        inside.fetch_sub(1);
      }
    });
  }
  for (std::thread &t : threads) t.join();
  EXPECT_EQ(counter, static_cast<long>(kThreads) * kRounds);
  EXPECT_EQ(overlaps.load(), 0);
}
