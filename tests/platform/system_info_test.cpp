// system_info_test.cpp - CSalSystemInfo: names of systems and processors
// from given records, and the answers for this machine.
#include "platform/system_info.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

#include "base/mem.h"
#include "base/text_lookup.h"

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
  struct Case {
    uint16_t level, revision;
    uint32_t amd;
    const char *name;  // with model.stepping, which level 4 and below do not carry
  } x86[] = {
      {6, 0x0F0B, 0, "advanced Intel 15.11"}, {6, 0x0801, 0, "Intel Pentium III 8.1"},
      {6, 0x0703, 0, "Intel Pentium III 7.3"}, {6, 0x0100, 0, "Intel Pentium Pro 1.0"},
      {6, 0x0302, 0, "Intel Pentium II 3.2"},  {6, 0x0502, 0, "Intel Pentium II 5.2"},
      {6, 0x0600, 0, "Intel Celeron 6.0"},     {6, 0x0600, 1, "AMD 6.0"},
      {6, 0x0700, 1, "Intel Pentium III 7.0"},  // AMD only for model 6
      {6, 0x0000, 0, "Intel Pentium ? 0.0"},   {6, 0x0200, 0, "Intel Pentium ? 2.0"},
      {6, 0x0400, 0, "Intel Pentium ? 4.0"},   {6, 0x0900, 0, "advanced Intel 9.0"},
      {6, 0x9E0A, 0, "advanced Intel 158.10"}, {15, 0x0203, 0, "Intel Pentium IV 2.3"},
      {15, 0x0203, 1, "Intel Pentium IV 2.3"}, {16, 0x0100, 0, "unknown Intel 1.0"},
      {23, 0x3100, 1, "unknown Intel 49.0"},   {3, 0x0102, 0, "Intel 386 0.0"},
      {4, 0x0102, 0, "Intel 486 0.0"},         {5, 0x0102, 0, "Intel Pentium 1.2"},
      {7, 0x0000, 0, "advanced Intel 0.0"},    {0, 0x0000, 0, "unknown Intel 0.0"},
      {2, 0x0000, 0, "unknown Intel 0.0"},     {8, 0x0000, 0, "unknown Intel 0.0"},
      {14, 0x0000, 0, "unknown Intel 0.0"},
  };
  for (const Case &c : x86) EXPECT_EQ(Name(Processor(c.level, c.revision, c.amd), nt), std::string(c.name) + " 4");
  // POSIX records carry the family, as the NT family's do; x64 processors
  // are named by the x86 rules.
  EXPECT_EQ(Name(Processor(6, 0x0801), Version(SAL_PLATFORM_POSIX)), "Intel Pentium III 8.1 4");
  EXPECT_EQ(Name(Processor(6, 0x0801, 0, 586, SAL_ARCH_X64), nt), "Intel Pentium III 8.1 4");
  // The older Windows family: named by the processor type, no model.
  const SalVersionRecord win9x = Version(SAL_PLATFORM_WIN9X, 4, 10, 0x040A0B7A);
  const std::pair<uint32_t, const char *> types[] = {{586, "Intel Pentium"}, {386, "Intel 386"}, {486, "Intel 486"},
                                                     {8664, "unknown Intel"}, {15, "Intel Pentium IV"}};
  for (const auto &t : types)
    EXPECT_EQ(Name(Processor(6, 0x0F0B, 0, t.first), win9x), std::string(t.second) + " 0.0 4");

  const struct {
    uint16_t architecture, level;
    const char *name;
  } others[] = {
      {SAL_ARCH_MIPS, 4, "MIPS R4000"}, {SAL_ARCH_MIPS, 3, "MIPS"},    {SAL_ARCH_ALPHA, 21064, "Alpha 21064"},
      {SAL_ARCH_PPC, 1, "PPC 601"},     {SAL_ARCH_PPC, 3, "PPC 603"},  {SAL_ARCH_PPC, 4, "PPC 604"},
      {SAL_ARCH_PPC, 6, "PPC 603+"},    {SAL_ARCH_PPC, 9, "PPC 604+"}, {SAL_ARCH_PPC, 20, "PPC 620"},
      {SAL_ARCH_PPC, 2, "unknown PPC"}, {SAL_ARCH_ARM64, 8, "unknown type"}, {SAL_ARCH_UNKNOWN, 6, "unknown type"},
  };
  for (const auto &c : others)
    EXPECT_EQ(Name(Processor(c.level, 0x0F0B, 0, 586, c.architecture), nt), std::string(c.name) + " 0.0 4");

  // Names are cut to the buffer; capacity 0 touches nothing.
  EXPECT_EQ(Name(Processor(15, 0), nt, 6), "Intel 0.0 4");
  EXPECT_EQ(Name(Processor(15, 0), nt, 1), " 0.0 4");
  EXPECT_EQ(Name(Processor(15, 0), nt, 17), "Intel Pentium IV 0.0 4");
  const SalSystemRecord s = Processor(15, 0);
  CSalSystemInfo full(&s, &nt);
  char buffer[4] = "QQQ";
  EXPECT_EQ(full.GetProcessorInfo(nullptr, nullptr, buffer, 0, nullptr, nullptr), 1);
  EXPECT_STREQ(buffer, "QQQ");
  CSalSystemInfo noSystem(nullptr, &nt);
  EXPECT_EQ(noSystem.GetProcessorInfo(nullptr, nullptr, buffer, 0, nullptr, nullptr), 0);
}

TEST(CSalSystemInfo, FallbackNamesAreLocalized) {
  const SalVersionRecord nt = Version(SAL_PLATFORM_NT);
  const struct {
    uint32_t id;
    SalSystemRecord system;
    const char *english;
  } cases[] = {
      {38337, Processor(6, 0x0F0B), "advanced Intel 15.11 4"},
      {38338, Processor(16, 0), "unknown Intel 0.0 4"},
      {38339, Processor(2, 0, 0, 586, SAL_ARCH_PPC), "unknown PPC 0.0 4"},
      {38340, Processor(2, 0, 0, 586, SAL_ARCH_ARM), "unknown type 0.0 4"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.id);
    EXPECT_EQ(Name(c.system, nt), c.english);
    TranslatedNames translated;
    translated.texts[c.id] = "lokalisiert";
    EXPECT_EQ(Name(c.system, nt).substr(0, 12), "lokalisiert ");
  }
  // Without a lookup the English defaults answer again.
  EXPECT_EQ(Name(Processor(16, 0), nt), "unknown Intel 0.0 4");
  TranslatedNames translated;
  // Generation 7 has a fixed name, whatever the module says for 38337.
  translated.texts[38337] = "lokalisiert";
  EXPECT_EQ(Name(Processor(7, 0), nt), "advanced Intel 0.0 4");
  const SalVersionRecord unknown = Version(SAL_PLATFORM_WIN32S);
  CSalSystemInfo info(nullptr, &unknown);
  char name[32];
  translated.texts[38336] = "Unbekanntes System";
  ASSERT_EQ(info.GetOSVersion(name, sizeof name, nullptr, 0, nullptr, 0, nullptr, 0), 1);
  EXPECT_STREQ(name, "Unbekanntes System");
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
      {Version(SAL_PLATFORM_WIN32S, 1, 30, 0xFFFFFFFF), "Unknown System|1.30|4294967295|"},
      {Version(77, 4000000000u, 0, 0), "Unknown System|4000000000.0|0|"},
      {Version(SAL_PLATFORM_POSIX, 6, 1, 0, "6.1.0-13-amd64"), "Linux|6.1|0|6.1.0-13-amd64"},
      {Version(SAL_PLATFORM_POSIX, 6, 1, 0), "Unknown System|6.1|0|"},
  };
  std::strcpy(cases[4].version.systemName, "Linux");
  for (const Case &c : cases) {
    SCOPED_TRACE(c.texts);
    CSalSystemInfo info(nullptr, &c.version);
    char name[32] = "x", number[32] = "x", build[32] = "x", servicePack[160] = "x";
    ASSERT_EQ(info.GetOSVersion(name, sizeof name, number, sizeof number, build, sizeof build, servicePack,
                                sizeof servicePack),
              1);
    EXPECT_EQ(std::string(name) + "|" + number + "|" + build + "|" + servicePack, c.texts);
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
  EXPECT_EQ(missing.IsWindowsNT(), 0);
  EXPECT_EQ(missing.GetMajorVersion(), 0);
  uint64_t total = 7, available = 7;
  EXPECT_EQ(missing.GetPhysicalMemory(&total, &available), 0);
  EXPECT_EQ(total + available, 0u);
}

TEST(CSalSystemInfo, ThisMachineAndRecordsThatCouldNotBeAllocated) {
  CSalSystemInfo info;
  char name[64], number[32], build[32], servicePack[160];
  ASSERT_EQ(info.GetOSVersion(name, sizeof name, number, sizeof number, build, sizeof build, servicePack,
                              sizeof servicePack),
            1);
  EXPECT_GT(std::strlen(name), 0u);
  EXPECT_STRNE(name, "Unknown System");
  EXPECT_GT(info.GetMajorVersion(), 0);
  uint32_t count = 0, model = 99, stepping = 99;
  ASSERT_EQ(info.GetProcessorInfo(&count, nullptr, name, sizeof name, &model, &stepping), 1);
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
