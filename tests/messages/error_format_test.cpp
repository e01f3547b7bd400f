// error_format_test.cpp - error-code layout, names, the formatter registry,
// SalFormatErrorCode and the message texts of the message module.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/sal_errors.h"
#include "messages/error_format.h"
#include "messages_fixture.h"

namespace {
std::string Format(uint32_t code, uint32_t flags, size_t capacity = 1024) {
  std::string buffer(capacity, '\x7f');
  const char *text = SalFormatErrorCode(code, &buffer[0], capacity, flags);
  EXPECT_EQ(text, buffer.data());
  return buffer.c_str();
}

std::string Load(uint32_t code, size_t capacity = 1024) {
  std::string buffer(capacity, '\x7f');
  return SalLoadMessageText(code, code, &buffer[0], capacity) != nullptr ? buffer.c_str() : "<none>";
}

// The message module as the lookup finds it; loaded anew on the next use.
class MessageModule : public ::testing::Test {
 protected:
  void SetUp() override { SalSetMessageModule(nullptr); }
  void TearDown() override { SalSetMessageModule(nullptr); }
};
}  // namespace

TEST(SalErrorCode, LayoutComposesAndTakesApart) {
  EXPECT_EQ(SalMakeErrorCode(3, 33, 170), 0xE02100AAu);
  EXPECT_EQ(SalMakeErrorCode(0, 1, 1), 0x20010001u);
  EXPECT_EQ(SalMakeErrorCode(2, 4095, 65535), 0xAFFFFFFFu);
  EXPECT_EQ(SalMakeErrorCode(4, 33, 170), 0u);
  const struct {
    uint32_t code, severity, facility, number;
  } cases[] = {{0xE02100AAu, 3, 33, 170}, {0x6ABC0001u, 1, 0xABC, 1}, {0u, 0, 0, 0},
               {0x00000005u, 3, 0, 5},     {0xF0010002u, 3, 1, 2}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(SalGetErrorSeverity(c.code), c.severity);
    EXPECT_EQ(SalGetErrorFacility(c.code), c.facility);
    EXPECT_EQ(SalGetErrorNumber(c.code), c.number);
  }
}

TEST(SalErrorCode, ModuleAndSeverityNames) {
  const struct {
    uint32_t code;
    const char *name;
  } cases[] = {
      {0xE02100AAu, "RESERR"},         {0xE0000001u, "Unknown module"}, {0xE0220001u, "Unknown module"},
      {0xE0470001u, "CLUSTER"},        {0xE0480001u, "Unknown module"}, {0x00000002u, "SYSTEM"},
      {0x80070005u, "WIN32"},          {0x80050001u, "Unknown system module"},
      {0x800F0001u, "SETUPAPI"},       {0x80100001u, "Unknown system module"},
  };
  for (const auto &c : cases) EXPECT_STREQ(SalGetErrorModuleName(c.code), c.name) << std::hex << c.code;
  // The compiled-in English names, severity 0 to 6 and one for the rest.
  EXPECT_STREQ(SalGetSeverityName(0), "success");
  EXPECT_STREQ(SalGetSeverityName(6), "DebugBreak");
  EXPECT_STREQ(SalGetSeverityName(7), "unknown severity");
  EXPECT_STREQ(SalGetSeverityName(1000), "unknown severity");
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
    std::strcpy(buffer, "second");
    return buffer;
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

TEST_F(MessageModule, ProductCodesReadTheirMessages) {
  ASSERT_NE(SalGetMessageModule(), nullptr) << "vortMessages beside the program";
  EXPECT_EQ(Format(0xE0280001u, SAL_FORMAT_PREFIX),
            "PLATFORM: 1 - An argument is null, empty or out of range.");
  EXPECT_EQ(Format(0xE0280001u, 0), "An argument is null, empty or out of range.");
  EXPECT_EQ(Format(0xE02100AAu, 3), "RESERR: 170 - Reading %1 from the Bex file failed or came up short.");
  EXPECT_EQ(Format(0xE00303EBu, 1), "COMMONMEM: 1003 - Storage could not be obtained.");
  EXPECT_EQ(Format(0xE0210001u, 3), "3760259073 - unknown error code");
  EXPECT_EQ(Format(0xE0210001u, 0), "3760259073 - unknown error code");
}

TEST_F(MessageModule, TextsAreCutToTheirBuffers) {
  EXPECT_EQ(Load(0xE0280001u, 10), "An argume");
  EXPECT_EQ(Format(0xE0280001u, 1, 20), "PLATFORM: 1 - An ar");
  EXPECT_EQ(Format(0xE0280001u, 1, 15), "PLATFORM: 1 - ") << "the prefix alone fits";
  EXPECT_EQ(Format(0xE0280001u, 1, 12), "PLATFORM: 1") << "the prefix is cut: nothing more";
  EXPECT_EQ(Format(0xE0280001u, 1, 1), "");
  std::string untouched = "keep";
  EXPECT_EQ(SalFormatErrorCode(0xE0280001u, &untouched[0], 0, 1), untouched.data());
  EXPECT_EQ(untouched, "keep") << "capacity 0 writes nothing";
  EXPECT_EQ(Load(0xE0217777u), "<none>");
  char buffer[8] = "same";
  EXPECT_EQ(SalLoadMessageText(0xE0217777u, 0xE0217777u, buffer, sizeof buffer), nullptr);
  EXPECT_STREQ(buffer, "same") << "no text, no change";
  EXPECT_EQ(SalLoadMessageText(0xE0280001u, 0xE0280001u, nullptr, 10), nullptr);
}

TEST_F(MessageModule, LongAndOneByteMessages) {
  SalModuleHandle odd = LoadBesideProgram(ModuleFile("vortTestMessages"), sal::os::MessageModuleLoadFlags());
  ASSERT_NE(odd, nullptr);
  SalSetMessageModule(odd);
  std::string digits;
  for (int i = 0; i < 150; ++i) digits += "0123456789";
  EXPECT_EQ(Load(0xE0217001u, 2048), "%1 " + digits);
  const std::string cut = Format(0xE0217001u, 1);
  EXPECT_EQ(cut.size(), 1023u);
  EXPECT_EQ(cut, ("RESERR: 28673 - %1 " + digits).substr(0, 1023));
  EXPECT_EQ(Load(0xE0217002u), "<none>") << "a message of one byte is no message";
  EXPECT_EQ(Format(0xE0217002u, 1), "3760287746 - unknown error code");
}

TEST_F(MessageModule, SystemCodesAndTheirLowNumber) {
  // 0x80070002 carries the system's error 2 (a missing file) in its low bits.
  const std::string plain = Format(0x80070002u, 1);
  const std::string low = Format(0x80070002u, 3);
  EXPECT_EQ(Load(2).find("<none>"), std::string::npos) << "the system has a text for error 2";
  EXPECT_EQ(low, "WIN32: 2 - " + Load(2));
  EXPECT_TRUE(plain == low || plain == "2147942402 - unknown error code") << plain;
  EXPECT_EQ(Format(0xE0330002u, 3), "3761438722 - unknown error code")
      << "product codes never fall back to the system's numbers";
}

TEST_F(MessageModule, LanguageIniBesideTheProgramPicksTheVariant) {
  const std::string base = ModuleFile("vortMessages");
  EXPECT_EQ(std::string(SalGetLocalizedModuleName(base.c_str()).CStr()), base);
  {
    LanguageIni ini(" DEU\t\r\n");
    EXPECT_EQ(std::string(SalGetLocalizedModuleName(base.c_str()).CStr()), ModuleFile("vortMessagesDEU"));
    EXPECT_EQ(std::string(SalGetLocalizedModuleName("noext").CStr()), ModuleFile("noextDEU"));
    EXPECT_EQ(Format(0xE0280001u, 1),
              "PLATFORM: 1 - Ein Argument ist null, leer oder ausserhalb des erlaubten Bereichs.");
  }
  SalSetMessageModule(nullptr);
  {
    LanguageIni ini("XYZ\n");  // no such variant: the module without suffix
    EXPECT_EQ(Format(0xE0280001u, 1), "PLATFORM: 1 - An argument is null, empty or out of range.");
  }
  SalSetMessageModule(nullptr);
  {
    // A variant that is there but cannot be loaded: the module without suffix.
    const std::string broken = ProgramFolder() + ModuleFile("vortMessagesBAD");
    std::ofstream(broken, std::ios::binary) << "not a module";
    LanguageIni ini("BAD\n");
    EXPECT_EQ(Format(0xE0280001u, 1), "PLATFORM: 1 - An argument is null, empty or out of range.");
    std::remove(broken.c_str());
  }
  SalSetMessageModule(nullptr);
  {
    LanguageIni ini("\xEF\xBB\xBF" "DEU\n");  // the mark stays part of the suffix
    EXPECT_EQ(std::string(SalGetLocalizedModuleName(base.c_str()).CStr()),
              ModuleFile("vortMessages\xEF\xBB\xBF" "DEU"));
    EXPECT_EQ(Format(0xE0280001u, 1), "PLATFORM: 1 - An argument is null, empty or out of range.");
  }
}
