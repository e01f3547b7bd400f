// system_info_test.cpp - CSalSystemInfo: names of systems and processors
// from given records, and the answers for this machine (on POSIX beside what
// uname and the /proc files say).
#include "platform/system_info.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>

#include "base/mem.h"
#include "base/text_lookup.h"

#if !defined(_WIN32)
#include <sys/utsname.h>
#endif

namespace {

SalVersionRecord Version(uint32_t platformId, uint32_t major = 6, uint32_t minor = 1, uint32_t build = 7601,
                         const char *servicePack = "") {
  SalVersionRecord v{};
  v.platformId = platformId;
  v.majorVersion = major;
  v.minorVersion = minor;
  v.buildNumber = build;
  std::strncpy(v.servicePack, servicePack, sizeof v.servicePack - 1);
  return v;
}

SalSystemRecord Processor(uint16_t level, uint16_t revision, uint32_t amd = 0, uint32_t type = 586,
                          uint16_t architecture = SAL_ARCH_X86) {
  SalSystemRecord s{};
  s.architecture = architecture;
  s.processorCount = 4;
  s.processorType = type;
  s.level = level;
  s.revision = revision;
  s.authenticAmd = amd;
  return s;
}

// "name model.stepping count" of the processor, with a buffer of capacity bytes.
std::string Name(const SalSystemRecord &system, const SalVersionRecord &version, size_t capacity = 64) {
  CSalSystemInfo info(&system, &version);
  char buffer[64];
  std::memset(buffer, 'Q', sizeof buffer);
  uint32_t model = 99, stepping = 99, count = 99;
  if (info.GetProcessorInfo(&count, nullptr, buffer, capacity, &model, &stepping) != 1) return "<failed>";
  return std::string(buffer) + " " + std::to_string(model) + "." + std::to_string(stepping) + " " +
         std::to_string(count);
}

// "name|number|build|service pack" of the system.
std::string OsTexts(const CSalSystemInfo &info) {
  char name[64] = "x", number[32] = "x", build[32] = "x", servicePack[160] = "x";
  if (info.GetOSVersion(name, sizeof name, number, sizeof number, build, sizeof build, servicePack,
                        sizeof servicePack) != 1)
    return "<failed>";
  return std::string(name) + "|" + number + "|" + build + "|" + servicePack;
}

// Stands for the library's resource modules: installed as the text lookup,
// it answers the texts it holds for the common-strings module.
class TranslatedNames {
 public:
  TranslatedNames() { SalSetTextLookup(&LookUp, this); }
  ~TranslatedNames() { SalSetTextLookup(nullptr, nullptr); }
  std::map<uint32_t, std::string> texts;

 private:
  static const char *LookUp(void *context, int module, uint32_t id, const char *fallback) {
    auto &texts = static_cast<TranslatedNames *>(context)->texts;
    auto found = texts.find(id);
    return module == kSalCommonStringsModule && found != texts.end() ? found->second.c_str() : fallback;
  }
};

}  // namespace

TEST(CSalSystemInfo, ProcessorNamesByGenerationAndArchitecture) {
  const SalVersionRecord nt = Version(SAL_PLATFORM_NT);
  // Records of the NT family carry the family, and with a level above 4
  // model and stepping; x64 processors are named by the x86 rules, and on
  // POSIX records as on the NT family's.
  const struct {
    SalSystemRecord system;
    const char *name;
  } cases[] = {
      {Processor(6, 0x0801), "Intel Pentium III 8.1"},   {Processor(6, 0x0100), "Intel Pentium Pro 1.0"},
      {Processor(6, 0x0502), "Intel Pentium II 5.2"},    {Processor(6, 0x0600), "Intel Celeron 6.0"},
      {Processor(6, 0x0600, 1), "AMD 6.0"},              {Processor(6, 0x0700, 1), "Intel Pentium III 7.0"},
      {Processor(6, 0x0900), "advanced Intel 9.0"},      {Processor(6, 0x0800), "Intel Pentium III 8.0"},
      {Processor(6, 0x0400), "Intel Pentium ? 4.0"},     {Processor(15, 0x0203, 1), "Intel Pentium IV 2.3"},
      {Processor(16, 0x0100), "unknown Intel 1.0"},      {Processor(4, 0x0102), "Intel 486 0.0"},
      {Processor(5, 0x0102), "Intel Pentium 1.2"},       {Processor(7, 0), "advanced Intel 0.0"},
      {Processor(8, 0), "unknown Intel 0.0"},            {Processor(9, 0, 0, 586, SAL_ARCH_PPC), "PPC 604+ 0.0"},
      {Processor(6, 0x0801, 0, 586, SAL_ARCH_X64), "Intel Pentium III 8.1"},
      {Processor(4, 0, 0, 586, SAL_ARCH_MIPS), "MIPS R4000 0.0"}, {Processor(3, 0, 0, 586, SAL_ARCH_MIPS), "MIPS 0.0"},
      {Processor(21064, 0, 0, 586, SAL_ARCH_ALPHA), "Alpha 21064 0.0"}, {Processor(3, 0x0102), "Intel 386 0.0"},
  };
  for (const auto &c : cases) EXPECT_EQ(Name(c.system, nt), std::string(c.name) + " 4");
  EXPECT_EQ(Name(Processor(6, 0x0801), Version(SAL_PLATFORM_POSIX)), "Intel Pentium III 8.1 4");
  // The older Windows family: named by the processor type, no model.
  const SalVersionRecord win9x = Version(SAL_PLATFORM_WIN9X, 4, 10, 0x040A0B7A);
  const std::pair<uint32_t, const char *> types[] = {
      {586, "Intel Pentium"}, {386, "Intel 386"}, {8664, "unknown Intel"}, {15, "Intel Pentium IV"}};
  for (const auto &t : types)
    EXPECT_EQ(Name(Processor(6, 0x0F0B, 0, t.first), win9x), std::string(t.second) + " 0.0 4");

  // Names are cut to the buffer; capacity 0 touches nothing.
  EXPECT_EQ(Name(Processor(15, 0), nt, 6), "Intel 0.0 4");
  EXPECT_EQ(Name(Processor(15, 0), nt, 1), " 0.0 4");
  const SalSystemRecord s = Processor(15, 0);
  CSalSystemInfo full(&s, &nt);
  char buffer[4] = "QQQ";
  EXPECT_EQ(full.GetProcessorInfo(nullptr, nullptr, buffer, 0, nullptr, nullptr), 1);
  EXPECT_STREQ(buffer, "QQQ");
  CSalSystemInfo noSystem(nullptr, &nt);
  EXPECT_EQ(noSystem.GetProcessorInfo(nullptr, nullptr, buffer, 0, nullptr, nullptr), 0);

  // The fallback names come from the common strings module where it has them.
  const struct {
    uint32_t id;
    SalSystemRecord system;
  } localized[] = {{38337, Processor(6, 0x0F0B)},
                   {38338, Processor(16, 0)},
                   {38339, Processor(2, 0, 0, 586, SAL_ARCH_PPC)},
                   {38340, Processor(2, 0, 0, 586, SAL_ARCH_ARM)}};
  for (const auto &c : localized) {
    TranslatedNames translated;
    translated.texts[c.id] = "lokalisiert";
    EXPECT_EQ(Name(c.system, nt).substr(0, 12), "lokalisiert ") << c.id;
  }
  TranslatedNames translated;
  // Generation 7 has a fixed name, whatever the module says for 38337.
  translated.texts[38337] = "lokalisiert";
  EXPECT_EQ(Name(Processor(7, 0), nt), "advanced Intel 0.0 4");
  translated.texts[38336] = "Unbekanntes System";
  const SalVersionRecord unknown = Version(SAL_PLATFORM_WIN32S);
  EXPECT_EQ(OsTexts(CSalSystemInfo(nullptr, &unknown)), "Unbekanntes System|6.1|7601|");
}

TEST(CSalSystemInfo, OperatingSystemTexts) {
  struct Case {
    SalVersionRecord version;
    const char *texts;  // name|number|build|service pack
  } cases[] = {
      {Version(SAL_PLATFORM_NT, 6, 1, 7601, "Service Pack 1"), "WinNT|6.1|7601|Service Pack 1"},
      // The Windows 95/98 family keeps version numbers in the build field's
      // high word: the whole field is printed.
      {Version(SAL_PLATFORM_WIN9X, 4, 10, 0x040A0B7A, " A "), "Win95/98|4.10|67767162| A "},
      {Version(77, 4000000000u, 0, 0xFFFFFFFF), "Unknown System|4000000000.0|4294967295|"},
      {Version(SAL_PLATFORM_POSIX, 6, 1, 0, "6.1.0-13-amd64"), "Linux|6.1|0|6.1.0-13-amd64"},
      {Version(SAL_PLATFORM_POSIX, 6, 1, 0), "Unknown System|6.1|0|"},
  };
  std::strcpy(cases[3].version.systemName, "Linux");
  for (const Case &c : cases) {
    CSalSystemInfo info(nullptr, &c.version);
    EXPECT_EQ(OsTexts(info), c.texts);
    EXPECT_EQ(info.IsWindowsNT(), c.version.platformId == SAL_PLATFORM_NT ? 1 : 0);
    EXPECT_EQ(static_cast<uint32_t>(info.GetMajorVersion()), c.version.majorVersion);
  }

  // Texts stay in their buffers: a service-pack field filled to its last
  // byte, no terminator.
  SalVersionRecord v = Version(SAL_PLATFORM_NT, 10, 0, 19045);
  std::memset(v.servicePack, 'S', sizeof v.servicePack);
  std::memset(v.systemName, 'N', sizeof v.systemName);
  CSalSystemInfo info(nullptr, &v);
  char servicePack[200];
  ASSERT_EQ(info.GetOSVersion(nullptr, 0, nullptr, 0, nullptr, 0, servicePack, sizeof servicePack), 1);
  EXPECT_EQ(std::string(servicePack), std::string(sizeof v.servicePack, 'S'));
  char name[4] = "QQQ", number[3] = "QQ";
  ASSERT_EQ(info.GetOSVersion(name, sizeof name, number, sizeof number, nullptr, 0, servicePack, 5), 1);
  EXPECT_EQ(std::string(name) + "|" + number + "|" + servicePack, "Win|10|SSSS");

  CSalSystemInfo missing(nullptr, nullptr);
  EXPECT_EQ(missing.GetOSVersion(name, sizeof name, nullptr, 0, nullptr, 0, nullptr, 0), 0);
  EXPECT_STREQ(name, "Win") << "untouched without a version record";
  EXPECT_EQ(missing.IsWindowsNT() + missing.GetMajorVersion(), 0);
  uint64_t total = 7, available = 7;
  EXPECT_EQ(missing.GetPhysicalMemory(&total, &available), 0);
  EXPECT_EQ(total + available, 0u);
}

TEST(CSalSystemInfo, ThisMachineAndRecordsThatCouldNotBeAllocated) {
  CSalSystemInfo info;
  const std::string texts = OsTexts(info);
  EXPECT_EQ(texts.find("Unknown System"), std::string::npos) << texts;
  EXPECT_NE(texts[0], '|') << texts;
  EXPECT_GT(info.GetMajorVersion(), 0);
  uint32_t count = 0, model = 99, stepping = 99, mhz = 0;
  char name[64];
  ASSERT_EQ(info.GetProcessorInfo(&count, &mhz, name, sizeof name, &model, &stepping), 1);
  EXPECT_GE(count, 1u);
  EXPECT_GT(std::strlen(name), 0u);
  for (bool physical : {true, false}) {
    uint64_t total = 0, available = 0;
    ASSERT_EQ(physical ? info.GetPhysicalMemory(&total, &available) : info.GetVirtualMemory(&total, &available), 1);
    EXPECT_GT(total, physical ? uint64_t{16} << 20 : uint64_t{1} << 30);
    EXPECT_GT(available, 0u);
    EXPECT_LE(available, total);
  }
  EXPECT_EQ(info.GetPhysicalMemory(nullptr, nullptr), 1);

  const int64_t live = SalMemLiveBlocks();
  {
    SalMemFailAfter(1);
    CSalSystemInfo noSystem;
    SalMemFailAfter(0);
    EXPECT_EQ(noSystem.GetProcessorInfo(nullptr, nullptr, nullptr, 0, nullptr, nullptr), 0);
    EXPECT_GT(noSystem.GetMajorVersion(), 0);
    SalMemFailAfter(2);
    CSalSystemInfo noVersion;
    SalMemFailAfter(0);
    EXPECT_EQ(noVersion.GetProcessorInfo(nullptr, nullptr, nullptr, 0, nullptr, nullptr), 1);
    EXPECT_EQ(noVersion.GetMajorVersion(), 0);
    uint64_t total = 7;
    EXPECT_EQ(noVersion.GetVirtualMemory(&total, nullptr), 0);
    EXPECT_EQ(total, 0u);
  }
  EXPECT_EQ(SalMemLiveBlocks(), live);
}

#if !defined(_WIN32)
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

TEST(CSalSystemInfoOracle, SystemAsUnameNamesItAndMemoryAsProcMeminfoCountsIt) {
  utsname names{};
  ASSERT_EQ(uname(&names), 0);
  CSalSystemInfo info;
  unsigned major = 0, minor = 0, build = 0;
  ASSERT_GE(std::sscanf(names.release, "%u.%u.%u", &major, &minor, &build), 2);
  EXPECT_EQ(OsTexts(info), std::string(names.sysname) + "|" + std::to_string(major) + "." + std::to_string(minor) +
                               "|" + std::to_string(build) + "|" + names.release);
  EXPECT_EQ(info.IsWindowsNT(), 0);

  const std::string totalText = ProcValue("/proc/meminfo", "MemTotal");
  if (totalText.empty()) GTEST_SKIP() << "no /proc/meminfo";
  uint64_t total = 0, available = 0;
  ASSERT_EQ(info.GetPhysicalMemory(&total, &available), 1);
  EXPECT_NEAR(static_cast<double>(total), static_cast<double>(std::stoull(totalText)) * 1024, 64 * 1024.0);
}

TEST(CSalSystemInfoOracle, ProcessorAsProcCpuinfoDescribesIt) {
  const std::string vendor = ProcValue("/proc/cpuinfo", "vendor_id");
  if (vendor.empty()) GTEST_SKIP() << "no x86 description in /proc/cpuinfo";
  EXPECT_EQ(IsAuthenticAMD(), vendor == "AuthenticAMD" ? 1 : 0);

  const unsigned family = static_cast<unsigned>(std::stoul(ProcValue("/proc/cpuinfo", "cpu family")));
  CSalSystemInfo info;
  uint32_t model = 99, stepping = 99, mhz = 0;
  char name[64];
  ASSERT_EQ(info.GetProcessorInfo(nullptr, &mhz, name, sizeof name, &model, &stepping), 1);
  if (family > 4) {
    EXPECT_EQ(model, std::stoul(ProcValue("/proc/cpuinfo", "model")));
    EXPECT_EQ(stepping, std::stoul(ProcValue("/proc/cpuinfo", "stepping")));
  }
  // The name by the generation rules: family 15 and up are not 386, 486 or
  // 586, so beyond 15 the name is the unknown one.
  if (family >= 15) {
    EXPECT_STREQ(name, family == 15 ? "Intel Pentium IV" : "unknown Intel");
  }

  const std::string clock = ProcValue("/proc/cpuinfo", "cpu MHz");
  if (!clock.empty()) {
    // Frequency scaling may move the figure between two readings.
    const double reported = std::strtod(clock.c_str(), nullptr);
    EXPECT_GT(mhz, reported / 4);
    EXPECT_LT(mhz, reported * 4);
  }
}
#endif  // !_WIN32
