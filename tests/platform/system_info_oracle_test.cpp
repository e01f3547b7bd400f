// system_info_oracle_test.cpp - CSalSystemInfo on POSIX beside what uname and
// the /proc files say (POSIX builds only).
#include <sys/utsname.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "platform/system_info.h"

namespace {

// The first value of a "name : value" line of a /proc file; "" when absent.
std::string ProcValue(const char *path, const std::string &name) {
  std::ifstream file(path);
  std::string line;
  while (std::getline(file, line)) {
    const size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    std::string key = line.substr(0, colon);
    key.erase(key.find_last_not_of(" \t") + 1);
    if (key != name) continue;
    const size_t start = line.find_first_not_of(" \t", colon + 1);
    return start == std::string::npos ? "" : line.substr(start);
  }
  return "";
}

}  // namespace

TEST(CSalSystemInfoOracle, SystemAsUnameNamesIt) {
  utsname names{};
  ASSERT_EQ(uname(&names), 0);
  CSalSystemInfo info;
  char name[64], number[32], build[32], servicePack[160];
  ASSERT_EQ(info.GetOSVersion(name, sizeof name, number, sizeof number, build, sizeof build, servicePack,
                              sizeof servicePack),
            1);
  EXPECT_STREQ(name, names.sysname);
  EXPECT_STREQ(servicePack, names.release);
  unsigned major = 0, minor = 0;
  ASSERT_EQ(std::sscanf(names.release, "%u.%u", &major, &minor), 2);
  EXPECT_EQ(std::string(number), std::to_string(major) + "." + std::to_string(minor));
  EXPECT_EQ(info.IsWindowsNT(), 0);
}

TEST(CSalSystemInfoOracle, ProcessorAsProcCpuinfoDescribesIt) {
  const std::string vendor = ProcValue("/proc/cpuinfo", "vendor_id");
  if (vendor.empty()) GTEST_SKIP() << "no x86 description in /proc/cpuinfo";
  EXPECT_EQ(IsAuthenticAMD(), vendor == "AuthenticAMD" ? 1 : 0);

  const unsigned family = static_cast<unsigned>(std::stoul(ProcValue("/proc/cpuinfo", "cpu family")));
  const unsigned model = static_cast<unsigned>(std::stoul(ProcValue("/proc/cpuinfo", "model")));
  const unsigned stepping = static_cast<unsigned>(std::stoul(ProcValue("/proc/cpuinfo", "stepping")));
  CSalSystemInfo info;
  uint32_t gotModel = 99, gotStepping = 99, mhz = 0;
  char name[64];
  ASSERT_EQ(info.GetProcessorInfo(nullptr, &mhz, name, sizeof name, &gotModel, &gotStepping), 1);
  if (family > 4) {
    EXPECT_EQ(gotModel, model);
    EXPECT_EQ(gotStepping, stepping);
  }
  // The name by the generation rules: family 15 and up are not 386, 486 or
  // 586, so beyond 15 the name is the unknown one.
  if (family == 15) {
    EXPECT_STREQ(name, "Intel Pentium IV");
  } else if (family > 15) {
    EXPECT_STREQ(name, "unknown Intel");
  }

  const std::string clock = ProcValue("/proc/cpuinfo", "cpu MHz");
  if (!clock.empty()) {
    // Frequency scaling may move the figure between two readings.
    const double reported = std::strtod(clock.c_str(), nullptr);
    EXPECT_GT(mhz, reported / 4);
    EXPECT_LT(mhz, reported * 4);
  }
}

TEST(CSalSystemInfoOracle, PhysicalMemoryAsProcMeminfoCountsIt) {
  const std::string totalText = ProcValue("/proc/meminfo", "MemTotal");
  if (totalText.empty()) GTEST_SKIP() << "no /proc/meminfo";
  const uint64_t kib = std::stoull(totalText);
  CSalSystemInfo info;
  uint64_t total = 0, available = 0;
  ASSERT_EQ(info.GetPhysicalMemory(&total, &available), 1);
  EXPECT_NEAR(static_cast<double>(total), static_cast<double>(kib) * 1024, 64 * 1024.0);
}
