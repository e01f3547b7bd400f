// tokenizer_fuzz.cpp - libFuzzer target: every tokeniser walked to its end
// over any text.  Checks that walks end, stay inside the text and that the
// pieces put back together give the text's non-delimiter bytes.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "text/tokenizer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size < 2) return 0;
  const char delimiter = static_cast<char>(data[0]);
  const std::string body(reinterpret_cast<const char *>(data + 1), size - 1);
  const std::string text(body.c_str());  // up to the first zero byte
  const char delimiters[] = {delimiter, ';', '\0'};

  std::vector<char> buffer(text.begin(), text.end());
  buffer.push_back('\0');
  size_t state = 0;
  std::string joined;
  for (size_t rounds = 0; const char *token = NextToken(&state, buffer.data(), delimiters); ++rounds) {
    FUZZ_CHECK(rounds <= text.size() + 1);
    FUZZ_CHECK(state <= text.size());
    joined += token;
  }
  std::string expected;
  for (char c : text)
    if (std::strchr(delimiters, c) == nullptr) expected += c;
  FUZZ_CHECK(joined == expected);

  buffer.assign(text.begin(), text.end());
  buffer.push_back('\0');
  state = 0;
  const char separator[] = {delimiter, delimiter, '\0'};
  for (size_t rounds = 0; NextPiece(&state, buffer.data(), separator) != nullptr; ++rounds) {
    FUZZ_CHECK(rounds <= text.size() + 1);
    FUZZ_CHECK(state <= text.size());
  }

  buffer.assign(text.begin(), text.end());
  buffer.push_back('\0');
  state = 0;
  while (const char *word = NextWord(&state, buffer.data())) {
    FUZZ_CHECK(*word != '\0' && std::strpbrk(word, " \r\n") == nullptr);
    FUZZ_CHECK(state <= text.size());
  }
  state = 0;
  char out[8];
  size_t words = 0;
  while (NextWordCopy(&state, text.c_str(), out, sizeof out) == 1) {
    FUZZ_CHECK(std::strlen(out) < sizeof out);
    FUZZ_CHECK(++words <= text.size());
  }
  state = 0;
  FUZZ_CHECK(SkipChar(&state, text.c_str(), delimiter) == nullptr || state < text.size());
  // The body as a list of texts: its zero bytes separate them.
  std::string list = body;
  list.append(2, '\0');
  state = 0;
  for (size_t rounds = 0; NextMultiString(&state, list.c_str()) != nullptr; ++rounds) {
    FUZZ_CHECK(rounds <= body.size());
    FUZZ_CHECK(state <= list.size());
  }
  return 0;
}
