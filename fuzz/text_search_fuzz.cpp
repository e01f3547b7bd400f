// text_search_fuzz.cpp - libFuzzer target: the searches against plain
// scans.  The input is a pattern, a zero byte and a text; FindFast,
// FindWithFlags (both directions, 8- and 16-bit), FindIgnoringSpace,
// FeedSearch over chunks and OverwriteNoCase run on it.
#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "text/plain_text.h"
#include "text/text_search.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const char *bytes = reinterpret_cast<const char *>(data);
  const char *split = static_cast<const char *>(std::memchr(bytes, '\0', size));
  if (split == nullptr) return 0;
  const std::string pattern(bytes, split);
  std::string text(split + 1, bytes + size);
  text = text.c_str();
  if (pattern.size() > 64) return 0;

  const size_t hit = text.find(pattern);
  FUZZ_CHECK(FindFast(text.c_str(), pattern.c_str()) == (hit == std::string::npos ? 0u : hit + 1));
  FUZZ_CHECK(FindWithFlags(nullptr, text.c_str(), pattern.c_str(), kFindExact) ==
             (hit == std::string::npos ? 0u : hit + 1));
  const size_t last = pattern.size() <= text.size() ? text.rfind(pattern) : std::string::npos;
  FUZZ_CHECK(FindWithFlags(nullptr, text.c_str(), pattern.c_str(), kFindExact | kFindBackward) ==
             (last == std::string::npos ? 0u : last + 1));
  std::u16string wideText(text.begin(), text.end());
  std::u16string widePattern(pattern.begin(), pattern.end());
  for (char16_t &c : wideText) c = static_cast<char16_t>(static_cast<unsigned char>(c));
  for (char16_t &c : widePattern) c = static_cast<char16_t>(static_cast<unsigned char>(c));
  FUZZ_CHECK(FindWithFlags(nullptr, wideText.c_str(), widePattern.c_str(), kFindExact) ==
             (hit == std::string::npos ? 0u : hit + 1));

  // Forward continuation visits every occurrence (overlapping) in order.
  uint32_t position = 0;
  size_t seen = 0;
  for (uint32_t r = FindWithFlags(&position, text.c_str(), pattern.c_str(), kFindExact); r != 0;
       r = FindWithFlags(&position, text.c_str(), pattern.c_str(), kFindExact | kFindContinue)) {
    FUZZ_CHECK(text.compare(r - 1, pattern.size(), pattern) == 0);
    FUZZ_CHECK(++seen <= text.size() + 1);
    if (pattern.empty()) break;
  }
  uint32_t skipped = 0;
  const uint32_t loose = FindIgnoringSpace(nullptr, text.c_str(), pattern.c_str(), 0, &skipped);
  FUZZ_CHECK(loose <= text.size() + 1);

  // FeedSearch over chunks of a size taken from the pattern: every
  // occurrence's end, as a plain scan finds them.
  if (!pattern.empty()) {
    std::vector<size_t> expected;
    for (size_t i = 0; i + pattern.size() <= text.size(); ++i)
      if (text.compare(i, pattern.size(), pattern) == 0) expected.push_back(i + pattern.size());
    std::vector<size_t> found;
    const size_t chunkSize = 1 + static_cast<unsigned char>(pattern[0]) % 9;
    const char *state = nullptr;
    for (size_t offset = 0; offset < text.size(); offset += chunkSize) {
      const std::string chunk = text.substr(offset, chunkSize);
      const char *p = chunk.c_str();
      while (const char *end = FeedSearch(&state, p, pattern.c_str())) {
        found.push_back(offset + static_cast<size_t>(end - chunk.c_str()));
        p = end;
      }
    }
    FUZZ_CHECK(found == expected);
  }

  // OverwriteNoCase ends (the fuzzer's timeout catches a loop) and leaves no
  // occurrence unless occurrences survive their overwrite by design.
  std::vector<char> buffer(text.begin(), text.end());
  buffer.push_back('\0');
  const std::string replacement = pattern.substr(0, pattern.size() / 2) + (pattern.size() % 3 == 0 ? "" : "#");
  if (replacement.size() <= pattern.size() && !pattern.empty()) {
    OverwriteNoCase(buffer.data(), pattern.c_str(), replacement.c_str());
    bool survives = true;
    for (size_t i = 0; i < replacement.size(); ++i)
      survives = survives && std::toupper(static_cast<unsigned char>(replacement[i])) ==
                                 std::toupper(static_cast<unsigned char>(pattern[i]));
    if (!survives) {
      std::string upperText(buffer.data());
      std::string upperPattern = pattern;
      for (char &c : upperText) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      for (char &c : upperPattern) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      FUZZ_CHECK(upperText.find(upperPattern) == std::string::npos);
    }
  }
  return 0;
}
