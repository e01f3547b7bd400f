// error_format_test.cpp - error-code layout, names, the formatter registry,
// SalFormatErrorCode and the message texts of the message module.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>

#include "base/sal_errors.h"
#include "messages/error_format.h"
#include "messages_fixture.h"

namespace {
std::string Format(uint32_t code, uint32_t flags, size_t capacity = 1024) {
  std::string buffer(capacity, '\x7f');
  EXPECT_EQ(SalFormatErrorCode(code, &buffer[0], capacity, flags), buffer.data());
  return buffer.c_str();
}

std::string Load(uint32_t code, size_t capacity = 1024) {
  std::string buffer(capacity, '\x7f');
  return SalLoadMessageText(code, code, &buffer[0], capacity) != nullptr ? buffer.c_str() : "<none>";
}

const char kArgument[] = "PLATFORM: 1 - An argument is null, empty or out of range.";

// The message module as the lookup finds it; loaded anew on the next use.
class MessageModule : public ::testing::Test {
 protected:
  void SetUp() override { SalSetMessageModule(nullptr); }
  void TearDown() override { SalSetMessageModule(nullptr); }
};
}  // namespace

TEST(SalErrorCode, LayoutNamesAndSeverities) {
  EXPECT_EQ(SalMakeErrorCode(3, 33, 170), 0xE02100AAu);
  EXPECT_EQ(SalMakeErrorCode(0, 1, 1), 0x20010001u);
  EXPECT_EQ(SalMakeErrorCode(2, 4095, 65535), 0xAFFFFFFFu);
  EXPECT_EQ(SalMakeErrorCode(4, 33, 170), 0u);
  const struct {
    uint32_t code, severity, facility, number;
  } parts[] = {{0xE02100AAu, 3, 33, 170}, {0x6ABC0001u, 1, 0xABC, 1}, {0u, 0, 0, 0}, {0x00000005u, 3, 0, 5},
               {0xF0010002u, 3, 1, 2}};
  for (const auto &c : parts) {
    EXPECT_EQ(SalGetErrorSeverity(c.code), c.severity) << c.code;
    EXPECT_EQ(SalGetErrorFacility(c.code), c.facility) << c.code;
    EXPECT_EQ(SalGetErrorNumber(c.code), c.number) << c.code;
  }
  for (auto [code, name] : {std::pair<uint32_t, const char *>{0xE02100AAu, "RESERR"}, {0xE0000001u, "Unknown module"},
                            {0xE0220001u, "Unknown module"}, {0xE0470001u, "CLUSTER"}, {0xE0480001u, "Unknown module"},
                            {0x00000002u, "SYSTEM"}, {0x80070005u, "WIN32"}, {0x80050001u, "Unknown system module"},
                            {0x800F0001u, "SETUPAPI"}, {0x80100001u, "Unknown system module"}})
    EXPECT_STREQ(SalGetErrorModuleName(code), name) << std::hex << code;
  EXPECT_STREQ(SalGetSeverityName(0), "success");
  EXPECT_STREQ(SalGetSeverityName(6), "DebugBreak");
  EXPECT_STREQ(SalGetSeverityName(7), "unknown severity");
}

TEST(SalErrorCode, FormatterRegistry) {
  static int calls = 0;
  const SalErrorFormatter first = [](uint32_t, char *buffer, size_t capacity, uint32_t flags) -> char * {
    ++calls;
    if (flags & 4) return nullptr;  // declines: the standard lookup runs
    static char own[] = "from the formatter";
    if (buffer == nullptr) return own;
    std::snprintf(buffer, capacity, "first");
    return buffer;
  };
  const SalErrorFormatter second = [](uint32_t, char *buffer, size_t, uint32_t) -> char * {
    return std::strcpy(buffer, "second");
  };
  EXPECT_EQ(SalRegisterErrorFormatter(4096, first), 0);
  ASSERT_EQ(SalRegisterErrorFormatter(4095, first), 1);
  EXPECT_EQ(SalRegisterErrorFormatter(4095, second), 1);
  const uint32_t code = SalMakeErrorCode(3, 4095, 9);
  EXPECT_EQ(Format(code, 0), "first") << "the first registration stays";
  EXPECT_STREQ(SalFormatErrorCode(code, nullptr, 0, 0), "from the formatter");
  EXPECT_EQ(Format(code, 4), "4026466313 - unknown error code");
  EXPECT_EQ(calls, 3);
  EXPECT_EQ(SalRegisterErrorFormatter(4095, nullptr), 1);
  EXPECT_EQ(Format(code, 0), "4026466313 - unknown error code");
  EXPECT_EQ(calls, 3);
  EXPECT_EQ(SalFormatErrorCode(code, nullptr, 10, 1), nullptr);
}

TEST_F(MessageModule, ProductCodesReadTheirMessagesCutToTheBuffer) {
  ASSERT_NE(SalGetMessageModule(), nullptr) << "vortMessages beside the program";
  for (auto [code, flags, capacity, expected] :
       {std::tuple<uint32_t, uint32_t, size_t, std::string>{0xE0280001u, SAL_FORMAT_PREFIX, 1024, kArgument},
        {0xE0280001u, 0, 1024, "An argument is null, empty or out of range."},
        {0xE02100AAu, 3, 1024, "RESERR: 170 - Reading %1 from the Bex file failed or came up short."},
        {0xE0210001u, 3, 1024, "3760259073 - unknown error code"},
        {0xE0210001u, 0, 1024, "3760259073 - unknown error code"},
        {0xE0330002u, 3, 1024, "3761438722 - unknown error code"},  // no fallback to the system's numbers
        {0xE0280001u, 1, 20, "PLATFORM: 1 - An ar"},
        {0xE0280001u, 1, 15, "PLATFORM: 1 - "},  // the prefix alone fits
        {0xE0280001u, 1, 12, "PLATFORM: 1"},     // the prefix is cut: nothing more
        {0xE0280001u, 1, 1, ""}})
    EXPECT_EQ(Format(code, flags, capacity), expected) << std::hex << code << " " << std::dec << capacity;
  EXPECT_EQ(Load(0xE0280001u, 10), "An argume");
  std::string untouched = "keep";
  EXPECT_EQ(SalFormatErrorCode(0xE0280001u, &untouched[0], 0, 1), untouched.data());
  EXPECT_EQ(untouched, "keep") << "capacity 0 writes nothing";
  char buffer[8] = "same";
  EXPECT_EQ(SalLoadMessageText(0xE0217777u, 0xE0217777u, buffer, sizeof buffer), nullptr);
  EXPECT_STREQ(buffer, "same") << "no text, no change";
  EXPECT_EQ(SalLoadMessageText(0xE0280001u, 0xE0280001u, nullptr, 10), nullptr);
  // 0x80070002 carries the system's error 2 (a missing file) in its low bits.
  EXPECT_NE(Load(2), "<none>");
  EXPECT_EQ(Format(0x80070002u, 3), "WIN32: 2 - " + Load(2));
}

TEST_F(MessageModule, LongAndOneByteMessages) {
  SalSetMessageModule(LoadBesideProgram(ModuleFile("vortTestMessages"), sal::os::MessageModuleLoadFlags()));
  ASSERT_NE(SalGetMessageModule(), nullptr);
  std::string digits;
  for (int i = 0; i < 150; ++i) digits += "0123456789";
  EXPECT_EQ(Load(0xE0217001u, 2048), "%1 " + digits);
  EXPECT_EQ(Format(0xE0217001u, 1), ("RESERR: 28673 - %1 " + digits).substr(0, 1023));
  EXPECT_EQ(Load(0xE0217002u), "<none>") << "a message of one byte is no message";
  EXPECT_EQ(Format(0xE0217002u, 1), "3760287746 - unknown error code");
}

TEST_F(MessageModule, LanguageIniBesideTheProgramPicksTheVariant) {
  const std::string base = ModuleFile("vortMessages");
  EXPECT_EQ(std::string(SalGetLocalizedModuleName(base.c_str()).CStr()), base);
  // A variant that is there but cannot be loaded: the module without suffix.
  const std::string broken = ProgramFolder() + ModuleFile("vortMessagesBAD");
  std::ofstream(broken, std::ios::binary) << "not a module";
  for (auto [ini, expected] : {std::pair<const char *, std::string>{" DEU\t\r\n", "PLATFORM: 1 - Ein Argument ist null, "
                                                                                   "leer oder ausserhalb des erlaubten "
                                                                                   "Bereichs."},
                               {"XYZ\n", kArgument}, {"BAD\n", kArgument}, {"\xEF\xBB\xBF" "DEU\n", kArgument}}) {
    SCOPED_TRACE(ini);
    SalSetMessageModule(nullptr);
    LanguageIni file(ini);
    EXPECT_EQ(Format(0xE0280001u, 1), expected);
  }
  std::remove(broken.c_str());
  LanguageIni ini("\xEF\xBB\xBF" "DEU\n");  // the mark stays part of the suffix
  EXPECT_EQ(std::string(SalGetLocalizedModuleName(base.c_str()).CStr()), ModuleFile("vortMessages\xEF\xBB\xBF" "DEU"));
  EXPECT_EQ(std::string(SalGetLocalizedModuleName("noext").CStr()), ModuleFile("noext\xEF\xBB\xBF" "DEU")) << "a name without ending";
}
