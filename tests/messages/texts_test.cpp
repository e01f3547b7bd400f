// texts_test.cpp - the text files behind the companion modules: every
// language variant holds exactly the ids of the English file, with the same
// inserts and conversions, and every code the library sets has a message.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>

#include "base/sal_errors.h"

namespace {
using Texts = std::map<uint32_t, std::string>;

#define SAL_MESSAGE(id, text) {id, text},
#define SAL_TEXT(id, text) {id, text},
const Texts kMessagesEn = {
#include "texts/messages_en.def"
};
const Texts kMessagesDe = {
#include "texts/messages_de.def"
};
const Texts kLibraryEn = {
#include "texts/library_en.def"
};
const Texts kLibraryDe = {
#include "texts/library_de.def"
};
#undef SAL_MESSAGE
#undef SAL_TEXT

// The "%" sequences of a text, in order: what a translation must keep.
std::string Conversions(const std::string &text) {
  std::string out;
  for (size_t i = text.find('%'); i != std::string::npos; i = text.find('%', i + 2))
    out += text.substr(i, 2) + " ";
  return out;
}

void ExpectSameIdsAndConversions(const Texts &english, const Texts &variant) {
  ASSERT_EQ(variant.size(), english.size());
  for (const auto &[id, text] : english) {
    SCOPED_TRACE(id);
    auto it = variant.find(id);
    ASSERT_NE(it, variant.end()) << "missing in the variant";
    EXPECT_EQ(Conversions(it->second), Conversions(text)) << it->second;
    EXPECT_NE(it->second, "") << "an empty text counts as missing";
  }
}
}  // namespace

TEST(Texts, VariantsMatchTheEnglishFiles) {
  ExpectSameIdsAndConversions(kMessagesEn, kMessagesDe);
  ExpectSameIdsAndConversions(kLibraryEn, kLibraryDe);
  ASSERT_EQ(kLibraryEn.size(), 5u);
  EXPECT_EQ(kLibraryEn.at(47208), "Severe Error %s(%d) in vortBexScanner.dll");
}

TEST(Texts, EveryCodeOfTheLibraryHasAMessage) {
  const Texts &messages = kMessagesEn;
  // The reader's numbers in both facilities; only 19, 170 and 180 in facility
  // 33 take an argument.
  for (uint32_t n : {19u, 32u, 35u, 38u, 40u, 154u, 161u, 170u, 180u}) {
    ASSERT_EQ(messages.count(SalMakeErrorCode(3, 33, n)), 1u) << n;
    ASSERT_EQ(messages.count(SalMakeErrorCode(3, 34, n)), 1u) << n;
    const bool argument = n == 19 || n == 170 || n == 180;
    EXPECT_EQ(messages.at(SalMakeErrorCode(3, 33, n)).find("%1") != std::string::npos, argument) << n;
    EXPECT_EQ(messages.at(SalMakeErrorCode(3, 34, n)).find("%1"), std::string::npos) << n;
  }
  for (uint32_t code : {kSalErrArgument, kSalErrNoObject, kSalErrNotFound, kCommonErrNullSearchArg,
                        kCommonErrNullText, kCommonErrBufferTooSmall, kCommonErrNullDecodeText,
                        kCommonErrBadPercentEscape, kCommonErrNoStorage, 0xE01A0020u}) {
    EXPECT_EQ(messages.count(code), 1u) << std::hex << code;
  }
  // Every message is a product code, as the message compiler marks them.
  for (const auto &entry : messages) EXPECT_TRUE(SalIsProductCode(entry.first)) << std::hex << entry.first;
}
