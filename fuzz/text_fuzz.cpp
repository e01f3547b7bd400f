// text_fuzz.cpp - one libFuzzer target for the text library's decoders,
// matchers and layouts, the parse stream and the six Unicode conversions.
// The input's first byte picks one of them; the rest is that one's input.
// Besides the sanitizers each checks the promises of what it fuzzes (see
// the comment at each).
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "base/code_page.h"
#include "base/common_string.h"
#include "base/mem.h"
#include "fuzz_support.h"
#include "platform/unicode.h"
#include "support/sql_literals.h"
#include "text/base64.h"
#include "text/bin_output_stream.h"
#include "text/common_msg_buffer.h"
#include "text/escape.h"
#include "text/number_layout.h"
#include "text/parse_stream.h"
#include "text/percent_encoding.h"
#include "text/plain_text.h"
#include "text/printable.h"
#include "text/rfc822_matchers.h"
#include "text/sql_layout.h"
#include "text/text_matchers.h"
#include "text/text_search.h"
#include "text/tokenizer.h"

namespace {
using fuzz::Block;

bool Same(const void *a, const void *b, size_t n) { return n == 0 || std::memcmp(a, b, n) == 0; }

// ---- base64: the input as text to decode into buffers of sizes it picks,
// and as bytes that survive an encode-decode round trip; the string forms.

void Base64DecodeInto(const char *text, uint32_t capacity, const char *expected, uint32_t expectedLength) {
  Block out(capacity);
  uint32_t n = capacity;
  const int result = Base64Decode(out.Data(), &n, text);
  if (capacity == 0) {
    FUZZ_CHECK(result == 0 && n == 0);
    return;
  }
  FUZZ_CHECK(n < capacity && out.Data()[n] == '\0');
  // A smaller buffer yields a prefix of the full decoding.
  FUZZ_CHECK(n <= expectedLength && Same(out.Data(), expected, n));
  if (result == 1) FUZZ_CHECK(n == expectedLength);
}

void FuzzBase64(const uint8_t *data, size_t size) {
  fuzz::Reader reader(data, size);
  const uint32_t groupsPerLine = reader.Byte() % 5;
  const uint32_t shortBy = reader.Byte();
  const Block text = Block::Text(reader.Rest(), reader.RestSize());
  const size_t textLength = std::strlen(text.Data());
  const uint32_t room = static_cast<uint32_t>(textLength) + 1;
  Block full(room);
  uint32_t n = room;
  const int result = Base64Decode(full.Data(), &n, text.Data());
  FUZZ_CHECK(n < room && full.Data()[n] == '\0');
  FUZZ_CHECK(n <= textLength / 4 * 3);
  Base64DecodeInto(text.Data(), room > shortBy ? room - shortBy : 0, full.Data(), n);
  Base64DecodeInto(text.Data(), shortBy % 8, full.Data(), n);
  CCommonString decoded;
  FUZZ_CHECK(Base64DecodeString(decoded, text.Data()) == result);
  FUZZ_CHECK(decoded.GetLength() == n && Same(decoded.CStr(), full.Data(), n));
  CCommonString member(text.Data());
  const int memberResult = member.Base64Decode();
  if (textLength == 0) {
    FUZZ_CHECK(memberResult == 1);
  } else if (memberResult == 1) {
    FUZZ_CHECK(result == 1 && member.GetLength() == n && Same(member.CStr(), full.Data(), n));
  } else {
    FUZZ_CHECK(result == 0 && std::strcmp(member.CStr(), text.Data()) == 0);  // unchanged
  }

  const uint8_t *bytes = reader.Rest();
  const uint32_t count = static_cast<uint32_t>(reader.RestSize());
  const uint64_t length = Base64EncodedLength(count, groupsPerLine);
  Block encoded(static_cast<size_t>(length) + 1);
  uint32_t written = 0;
  FUZZ_CHECK(Base64Encode(encoded.Data(), static_cast<uint32_t>(length) + 1, bytes, count, &written,
                          groupsPerLine) == 1);
  FUZZ_CHECK(written == length && encoded.Data()[written] == '\0');
  Block back(count + 4);
  uint32_t backLength = count + 4;
  FUZZ_CHECK(Base64Decode(back.Data(), &backLength, encoded.Data()) == 1);
  FUZZ_CHECK(backLength == count && Same(back.Data(), bytes, count));
  const uint32_t small = static_cast<uint32_t>(length + 1 > shortBy ? length + 1 - shortBy : 0);
  Block cut(small);
  uint32_t cutLength = 0;
  const int cutResult = Base64Encode(cut.Data(), small, bytes, count, &cutLength, groupsPerLine);
  if (small > 0) {
    FUZZ_CHECK(cutResult == (shortBy == 0 ? 1 : 0));
    const size_t got = std::strlen(cut.Data());
    FUZZ_CHECK(got < small && Same(cut.Data(), encoded.Data(), got));  // a prefix
  }
  CCommonString source(reinterpret_cast<const char *>(bytes), count), viaString;
  FUZZ_CHECK(Base64EncodeString(viaString, source, groupsPerLine) == 1);
  FUZZ_CHECK(std::strcmp(viaString.CStr(), encoded.Data()) == 0);
}

// ---- percent encoding: the decoders in place on the input as text, the
// encoders' round trips and their length protocol with short buffers.

std::string EncodeChecked(int (*encoder)(char *, uint32_t *, const char *), const char *text, uint32_t shortBy) {
  uint32_t length = 0;
  FUZZ_CHECK(encoder(nullptr, &length, text) == 0);
  Block out(length + 1);
  uint32_t n = length + 1;
  FUZZ_CHECK(encoder(out.Data(), &n, text) == 1 && n == length);
  FUZZ_CHECK(out.Data()[n] == '\0' && std::strlen(out.Data()) == n);
  const uint32_t small = length + 1 > shortBy + 1 ? length - shortBy : 0;
  Block cut(small);
  uint32_t m = small;
  FUZZ_CHECK(encoder(cut.Data(), &m, text) == 0 && m == length);  // refused, length kept
  if (small > 0) FUZZ_CHECK(cut.Data()[0] == '\0');
  return std::string(out.Data(), n);
}

void FuzzPercent(const uint8_t *data, size_t size) {
  for (int (*decoder)(char *) : {FormUrlDecode, PercentDecode}) {
    Block text = Block::Text(data, size);
    const size_t before = std::strlen(text.Data());
    decoder(text.Data());
    FUZZ_CHECK(std::strlen(text.Data()) <= before);
  }
  const Block text = Block::Text(data, size);
  const uint32_t shortBy = size > 0 ? data[0] % 16 : 0;
  std::string form = EncodeChecked(FormUrlEncode, text.Data(), shortBy);
  FUZZ_CHECK(FormUrlDecode(&form[0]) == 1 && std::strcmp(form.c_str(), text.Data()) == 0);
  std::string minimal = EncodeChecked(PercentEncode, text.Data(), shortBy);
  FUZZ_CHECK(PercentDecode(&minimal[0]) == 1);
  std::string expected(text.Data());
  expected.erase(std::remove_if(expected.begin(), expected.end(), [](char c) { return c == '\r' || c == '\n'; }),
                 expected.end());  // literal line breaks are dropped
  FUZZ_CHECK(minimal.c_str() == expected);

  CCommonString s(reinterpret_cast<const char *>(data), static_cast<uint32_t>(size));
  if (s.FormUrlEncode() == 1 && s.FormUrlDecode() == 1) FUZZ_CHECK(std::strcmp(s.CStr(), text.Data()) == 0);
  CCommonString raw(reinterpret_cast<const char *>(data), static_cast<uint32_t>(size));
  if (raw.PercentDecode() == 1) {
    FUZZ_CHECK(raw.GetLength() == std::strlen(raw.CStr()));
  } else {
    FUZZ_CHECK(raw.GetLength() == size && Same(raw.CStr(), data, size));  // unchanged
  }
}

// ---- C escapes and hex text: the decoders on any bytes, the round trips,
// HTML escaping, the printable tests and masking, single- and double-byte.

void FuzzEscape(const uint8_t *data, size_t size) {
  const Block input(data, size);
  const uint32_t n = static_cast<uint32_t>(size);
  std::unique_ptr<CCommonString> unescaped(UnescapeCText(input.Data(), n));
  if (unescaped) FUZZ_CHECK(unescaped->GetLength() <= n);
  const Block text = Block::Text(data, size);
  std::unique_ptr<CCommonString> unescapedText(UnescapeCText(text.Data(), 0xFFFFFFFFu));

  CCommonString s(input.Data(), n);
  if (s.EscapeC() == 1) {
    for (uint32_t i = 0; i < s.GetLength(); ++i) {
      const unsigned char c = static_cast<unsigned char>(s.CStr()[i]);
      FUZZ_CHECK(c == '\r' || c == '\n' || c == '\t' || (c >= 32 && c <= 127));  // no raw byte
    }
    FUZZ_CHECK(s.UnescapeC() == 1);
  }
  FUZZ_CHECK(s.GetLength() == n && Same(s.CStr(), input.Data(), n));

  CCommonString hex;
  const uint8_t flags = size > 0 ? data[0] : 0;
  hex.AppendFromHex(text.Data(), (flags & 1) != 0 ? "0x" : nullptr, flags & 2, 0);
  FUZZ_CHECK(hex.GetLength() <= size / 2 + 1);
  CCommonString digits, back;
  FUZZ_CHECK(digits.AppendHex(input.Data(), n, 0) == 1 && digits.GetLength() == 2 * n);
  FUZZ_CHECK(back.AppendFromHex(digits.CStr(), nullptr, 0, 0) == 1);
  FUZZ_CHECK(back.GetLength() == n && Same(back.CStr(), input.Data(), n));

  CCommonString html(input.Data(), n), masked(input.Data(), n);
  FUZZ_CHECK(html.EscapeHtml() == 1);
  masked.MaskNonPrintable('?');
  FUZZ_CHECK(IsPrintableRange(masked.CStr(), masked.GetLength()) == 1);
  SalOverrideAnsiCodePage(932);
  CCommonString dbcs(input.Data(), n);
  FUZZ_CHECK(dbcs.EscapeHtml() == 1);
  dbcs.MaskNonPrintableMbcs('?');
  (void)IsPrintableRangeMbcs(input.Data(), n, 0);
  (void)IsPrintableOrHighRangeMbcs(input.Data(), n);
  SalOverrideAnsiCodePage(0);
  (void)IsPrintableText(text.Data());
  (void)IsPrintableOrHighText(text.Data());
}

// ---- the parse stream: the first bytes choose the byte order and a script
// of reads, level entries and exits, the rest is the record they run on.
// Then the script's values are written with CBinOutputStream and must read
// back unchanged.

void RunScript(CParseStream &stream, const Block &record, const uint8_t *script, size_t steps) {
  const char *start = record.Data();
  const char *stop = record.Data() + record.Size();
  fuzz::Reader ops(script, steps);
  for (size_t i = 0; i < steps; ++i) {
    const char *before = stream.Position();
    const uint32_t level = stream.NestingLevel();
    uint32_t v;
    switch (ops.Byte() % 9) {
      case 0:
        if (!stream.ReadUInt32(&v)) FUZZ_CHECK(stream.Position() == before);  // a failed read does not move
        break;
      case 1: {
        TextSpan span;
        const uint32_t count = ops.Byte();
        if (stream.ReadBytes(count, nullptr, &span))
          FUZZ_CHECK(span.length == count && (count == 0 || (span.start >= start && span.start + count <= stop)));
        break;
      }
      case 2: {
        char *text = nullptr;
        if (stream.ReadString(&text)) {
          FUZZ_CHECK(text == nullptr || std::strlen(text) <= record.Size());
          MemFree(text);
        } else {
          FUZZ_CHECK(stream.Position() == before);
        }
        break;
      }
      case 3:
        stream.EnterLevelBytes(ops.Byte());
        break;
      case 4: {
        const size_t offset = ops.Byte();  // an end anywhere around the data
        if (offset <= record.Size() && stream.EnterLevel(start + offset))
          FUZZ_CHECK(stream.NestingLevel() == level + 1);
        break;
      }
      case 5:
        if (stream.LeaveLevel()) FUZZ_CHECK(stream.NestingLevel() + 1 == level);
        break;
      case 6: {
        const char *at = start + ops.Byte() % (record.Size() + 1);
        stream.ReadUInt32(&v, &at);
        FUZZ_CHECK(stream.Position() == before);  // a read at a given position
        break;
      }
      case 7:
        (void)stream.IsAtEnd(ops.Byte() & 1);
        break;
      default:
        stream.ReadBytes(ops.Word());
        break;
    }
    FUZZ_CHECK(stream.Position() >= start && stream.Position() <= stream.End() && stream.End() <= stop);
  }
}

void FuzzParseStream(const uint8_t *data, size_t size) {
  fuzz::Reader header(data, size);
  const uint8_t order = header.Byte() & 1;
  const size_t steps = header.Byte();
  const size_t scriptSize = std::min(steps, header.RestSize());
  const uint8_t *script = header.Rest();
  const Block record(script + scriptSize, header.RestSize() - scriptSize);
  TextSpan span{record.Data(), record.Size()};
  CCommonMsgBuffer messages(",\n");
  {
    CParseStream stream(span, order, &messages);
    RunScript(stream, record, script, scriptSize);
  }
  CParseStream own(span, order ^ 1, nullptr);
  RunScript(own, record, script, scriptSize);

  CCommonString out;
  CBinOutputStream writer(out, order);
  std::vector<std::string> texts;
  fuzz::Reader values(reinterpret_cast<const uint8_t *>(record.Data()), record.Size());
  while (values.RestSize() > 0) {
    const uint8_t len = values.Byte() % 16;
    std::string t;
    for (uint8_t k = 0; k < len && values.RestSize() > 0; ++k) t += static_cast<char>(values.Byte() | 1);
    texts.push_back(t);
    writer.WriteString(t.c_str());
    writer.WriteUInt32(static_cast<uint32_t>(t.size()) * 2654435761u);
  }
  CParseStream reader(TextSpan{out.CStr(), out.GetLength()}, order, nullptr);
  for (const std::string &t : texts) {
    char *text = nullptr;
    uint32_t v = 0;
    FUZZ_CHECK(reader.ReadString(&text) == 1 && text != nullptr && t == text);
    MemFree(text);
    FUZZ_CHECK(reader.ReadUInt32(&v) == 1 && v == static_cast<uint32_t>(t.size()) * 2654435761u);
  }
  FUZZ_CHECK(reader.IsAtEnd(1) == 1);
}

// ---- the text matchers at every position of the text: a success consumes
// bytes inside the text and moves the position by exactly that; a failure
// moves nothing.

const char *g_end = nullptr;  // the text's terminating zero byte

template <class M>
void TryMatcher(const char *at, M matcher) {
  const char *position = at;
  TextSpan span;
  const size_t n = matcher(position, &span);
  FUZZ_CHECK(n != 0 || position == at);
  if (n != 0) FUZZ_CHECK(span.start == at && span.length == n && position == at + n && position <= g_end);
}

void FuzzTextMatchers(const uint8_t *data, size_t size) {
  if (size == 0) return;
  const unsigned base = data[0] % 40;  // also bases outside 2-36
  const Block text = Block::Text(data + 1, size - 1);
  g_end = text.Data() + std::strlen(text.Data());
  const size_t length = static_cast<size_t>(g_end - text.Data());
  const size_t step = length > 512 ? length / 256 : 1;  // long inputs: not every position
  for (size_t i = 0; i <= length; i += step) {
    const char *at = text.Data() + i;
    const char *end = text.Data() + std::min(i + data[0] % 7, length);
    uint32_t v32 = 0, low = 0, high = 0;
    uint8_t v8 = 0;
    TextSpan chars;
    TryMatcher(at, [&](const char *&p, TextSpan *s) {
      return MatchNumber(p, &v32, 0, 0xFFFFFFFFu, base, nullptr, s);
    });
    TryMatcher(at, [&](const char *&p, TextSpan *s) { return MatchNumber(p, &v32, 3, 70000, base, end, s); });
    TryMatcher(at, [&](const char *&p, TextSpan *s) { return MatchNumber(p, &v8, 0, 255, 16, end, s); });
    TryMatcher(at, [&](const char *&p, TextSpan *s) { return MatchDottedQuad(p, &v32, s); });
    TryMatcher(at, [&](const char *&p, TextSpan *s) { return MatchRange(p, &low, &high, "-", s); });
    TryMatcher(at, [&](const char *&p, TextSpan *s) { return MatchUtf8Chars(p, nullptr, s); });
    TryMatcher(at, [&](const char *&p, TextSpan *s) { return MatchUtf8Char(p, end, s); });
    TryMatcher(at, [&](const char *&p, TextSpan *s) {
      const size_t n = MatchCountedString(p, &chars, data[0], data[0] & 1, s);
      FUZZ_CHECK(n == 0 || (chars.length <= n && n <= data[0]));  // within its limit
      return n;
    });
    TryMatcher(at, [&](const char *&p, TextSpan *s) {
      return MatchCountedString(p, &chars, ~size_t{0}, 1, base, ":", s);
    });
    TryMatcher(at, [&](const char *&p, TextSpan *s) { return MatchLiteralNoCase(p, "SeLeCt", s); });
    TryMatcher(at, [&](const char *&p, TextSpan *s) { return MatchLiteral(p, "ab", end, s); });
    TryMatcher(at, [&](const char *&p, TextSpan *s) { return MatchMany(p, Before(end, Not(InSet("\\\""))), s); });
    TryMatcher(at, [&](const char *&p, TextSpan *s) {
      return MatchOneFollowedBy(p, IsByte('\r'), Not(IsByte('\n')), s);
    });
    TryMatcher(at, [&](const char *&p, TextSpan *s) { return MatchLine(p, s); });
    for (auto matcher : {MatchLinearWhiteSpace, MatchText, MatchAtom, MatchQuotedString, MatchWord, MatchPhrase})
      TryMatcher(at, matcher);
  }
}

// ---- the SQL layout over any bytes and settings: every quoted literal
// reaches the output unchanged and in order, and so does every non-blank
// byte of the statement.

void FuzzSqlLayout(const uint8_t *data, size_t size) {
  if (size < 3) return;
  const std::string statement(reinterpret_cast<const char *>(data + 3), size - 3);
  CCommonString in(statement.data(), static_cast<uint32_t>(statement.size())), out;
  FUZZ_CHECK(FormatSqlStatement(out, in, data[0] & 1, (data[0] >> 1) & 1, data[1] % 12, data[2]) == 1);
  const std::string text(out.CStr(), out.GetLength());
  // An unterminated last literal gets the closing ";" or "]" appended, so
  // the last literal need only begin with its original.
  const std::vector<std::string> before = SqlLiterals(statement), after = SqlLiterals(text);
  FUZZ_CHECK(after.size() == before.size());
  for (size_t i = 0; i < before.size(); ++i) {
    const bool last = i + 1 == before.size();
    FUZZ_CHECK(last && after[i].size() >= before[i].size() ? after[i].compare(0, before[i].size(), before[i]) == 0
                                                           : after[i] == before[i]);
  }
  size_t j = 0;
  for (char c : statement) {
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ',') continue;
    while (j < text.size() && text[j] != c) ++j;
    FUZZ_CHECK(j++ < text.size());
  }
}

// ---- number layout: DecodeNumber over any bytes, EncodeNumber of any
// double into buffers of any size, inside them, decoding back.

void FuzzNumberLayout(const uint8_t *data, size_t size) {
  double decoded = 0;
  const int result = DecodeNumber(data, static_cast<uint32_t>(size), &decoded);
  FUZZ_CHECK(result == 0 || result == 1);
  if (size < 10) return;
  double value;
  std::memcpy(&value, data, sizeof value);
  const uint32_t room = data[8] % 24;
  const uint32_t flags = data[9] & 3;
  std::vector<uint8_t> buffer(room + 4, 0xA5);
  uint32_t length = room;
  const int encoded = EncodeNumber(value, buffer.data(), &length, flags);
  FUZZ_CHECK(length <= room);
  for (uint32_t i = room; i < room + 4; ++i) FUZZ_CHECK(buffer[i] == 0xA5);
  const uint32_t skip = (flags & kNumberVarnum) != 0 ? 1 : 0;
  if (encoded == kNumberExact && length > skip) {
    if (skip == 1) FUZZ_CHECK(buffer[0] == length - 1);
    double back = 0;
    FUZZ_CHECK(DecodeNumber(buffer.data() + skip, length - skip, &back) == 0);
    const double magnitude = std::fabs(value);
    if (magnitude > 1e-120 && magnitude < 1e120) FUZZ_CHECK(std::fabs(back - value) <= 1e-13 * magnitude);
  }
}

// ---- the tokenisers walked to their end: the walks end, stay inside the
// text, and the pieces put back together give its non-delimiter bytes.

void FuzzTokenizer(const uint8_t *data, size_t size) {
  if (size < 2) return;
  const char delimiter = static_cast<char>(data[0]);
  const std::string body(reinterpret_cast<const char *>(data + 1), size - 1);
  const std::string text(body.c_str());  // up to the first zero byte
  const char delimiters[] = {delimiter, ';', '\0'};
  std::vector<char> buffer(text.begin(), text.end());
  buffer.push_back('\0');
  size_t state = 0;
  std::string joined, expected;
  for (size_t rounds = 0; const char *token = NextToken(&state, buffer.data(), delimiters); ++rounds) {
    FUZZ_CHECK(rounds <= text.size() + 1 && state <= text.size());
    joined += token;
  }
  for (char c : text)
    if (std::strchr(delimiters, c) == nullptr) expected += c;
  FUZZ_CHECK(joined == expected);

  buffer.assign(text.begin(), text.end());
  buffer.push_back('\0');
  state = 0;
  const char separator[] = {delimiter, delimiter, '\0'};
  for (size_t rounds = 0; NextPiece(&state, buffer.data(), separator) != nullptr; ++rounds)
    FUZZ_CHECK(rounds <= text.size() + 1 && state <= text.size());
  buffer.assign(text.begin(), text.end());
  buffer.push_back('\0');
  state = 0;
  while (const char *word = NextWord(&state, buffer.data()))
    FUZZ_CHECK(*word != '\0' && std::strpbrk(word, " \r\n") == nullptr && state <= text.size());
  state = 0;
  char out[8];
  for (size_t words = 0; NextWordCopy(&state, text.c_str(), out, sizeof out) == 1;)
    FUZZ_CHECK(std::strlen(out) < sizeof out && ++words <= text.size());
  state = 0;
  FUZZ_CHECK(SkipChar(&state, text.c_str(), delimiter) == nullptr || state < text.size());
  std::string list = body;  // the body as a list of texts: its zero bytes separate them
  list.append(2, '\0');
  state = 0;
  for (size_t rounds = 0; NextMultiString(&state, list.c_str()) != nullptr; ++rounds)
    FUZZ_CHECK(rounds <= body.size() && state <= list.size());
}

// ---- the searches against plain scans.  The input is a pattern, a zero
// byte and a text.

void FuzzTextSearch(const uint8_t *data, size_t size) {
  const char *bytes = reinterpret_cast<const char *>(data);
  const char *split = static_cast<const char *>(std::memchr(bytes, '\0', size));
  if (split == nullptr || split - bytes > 64) return;
  const std::string pattern(bytes, split);
  const std::string text = std::string(split + 1, bytes + size).c_str();
  const size_t hit = text.find(pattern);
  const uint32_t first = hit == std::string::npos ? 0u : static_cast<uint32_t>(hit + 1);
  FUZZ_CHECK(FindFast(text.c_str(), pattern.c_str()) == first);
  FUZZ_CHECK(FindWithFlags(nullptr, text.c_str(), pattern.c_str(), kFindExact) == first);
  const size_t last = pattern.size() <= text.size() ? text.rfind(pattern) : std::string::npos;
  FUZZ_CHECK(FindWithFlags(nullptr, text.c_str(), pattern.c_str(), kFindExact | kFindBackward) ==
             (last == std::string::npos ? 0u : last + 1));
  std::u16string wideText, widePattern;
  for (char c : text) wideText.push_back(static_cast<unsigned char>(c));
  for (char c : pattern) widePattern.push_back(static_cast<unsigned char>(c));
  FUZZ_CHECK(FindWithFlags(nullptr, wideText.c_str(), widePattern.c_str(), kFindExact) == first);

  // Forward continuation visits every occurrence (overlapping) in order.
  uint32_t position = 0;
  size_t seen = 0;
  for (uint32_t r = FindWithFlags(&position, text.c_str(), pattern.c_str(), kFindExact); r != 0;
       r = FindWithFlags(&position, text.c_str(), pattern.c_str(), kFindExact | kFindContinue)) {
    FUZZ_CHECK(text.compare(r - 1, pattern.size(), pattern) == 0 && ++seen <= text.size() + 1);
    if (pattern.empty()) break;
  }
  uint32_t skipped = 0;
  FUZZ_CHECK(FindIgnoringSpace(nullptr, text.c_str(), pattern.c_str(), 0, &skipped) <= text.size() + 1);
  if (pattern.empty()) return;

  // FeedSearch over chunks of a size taken from the pattern: every
  // occurrence's end, as a plain scan finds them.
  std::vector<size_t> expected, found;
  for (size_t i = 0; i + pattern.size() <= text.size(); ++i)
    if (text.compare(i, pattern.size(), pattern) == 0) expected.push_back(i + pattern.size());
  const size_t chunkSize = 1 + static_cast<unsigned char>(pattern[0]) % 9;
  const char *state = nullptr;
  for (size_t offset = 0; offset < text.size(); offset += chunkSize) {
    const std::string chunk = text.substr(offset, chunkSize);
    for (const char *p = chunk.c_str(); const char *end = FeedSearch(&state, p, pattern.c_str()); p = end)
      found.push_back(offset + static_cast<size_t>(end - chunk.c_str()));
  }
  FUZZ_CHECK(found == expected);

  // OverwriteNoCase ends (the fuzzer's timeout catches a loop) and leaves no
  // occurrence unless occurrences survive their overwrite by design.
  std::vector<char> buffer(text.begin(), text.end());
  buffer.push_back('\0');
  const std::string replacement = pattern.substr(0, pattern.size() / 2) + (pattern.size() % 3 == 0 ? "" : "#");
  if (replacement.size() > pattern.size()) return;
  OverwriteNoCase(buffer.data(), pattern.c_str(), replacement.c_str());
  auto upper = [](std::string s) {
    for (char &c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
  };
  if (upper(replacement) != upper(pattern.substr(0, replacement.size())))
    FUZZ_CHECK(upper(buffer.data()).find(upper(pattern)) == std::string::npos);
}

// ---- the Unicode conversions, one direction each.  Byte 0 picks the mode
// (bit 0: lenient), byte 1 the target size; the rest is the source, read as
// units of the source encoding.  Targets are heap blocks of exactly the
// size the converter is told.  Checked: the result is one of the four, both
// positions stay in their ranges, a complete conversion consumed everything;
// a stop for want of room resumes where it stopped (the pieces through a
// small target add up to the whole); a stop in UTF-8 names the right reason
// (SalIsLegalUtf8 refuses an illegal sequence, an exhausted one runs past
// the end); valid input comes back through both other encodings.

template <int Bits> struct Unit;
template <> struct Unit<8> { using Type = uint8_t; };
template <> struct Unit<16> { using Type = char16_t; };
template <> struct Unit<32> { using Type = char32_t; };
template <int B> using Str = std::basic_string<typename Unit<B>::Type>;

template <int From, int To>
auto ConverterOf() {
  if constexpr (From == 32 && To == 16) return SalUtf32ToUtf16;
  else if constexpr (From == 32 && To == 8) return SalUtf32ToUtf8;
  else if constexpr (From == 16 && To == 32) return SalUtf16ToUtf32;
  else if constexpr (From == 16 && To == 8) return SalUtf16ToUtf8;
  else if constexpr (From == 8 && To == 16) return SalUtf8ToUtf16;
  else return SalUtf8ToUtf32;
}

// Most units the output of n source units can need.
constexpr size_t WorstCase(int to, size_t n) { return to == 8 ? n * 4 : n * 2; }

template <int To>
struct Outcome {
  int result;
  size_t consumed;
  Str<To> output;
};

template <int From, int To>
Outcome<To> Convert(const typename Unit<From>::Type *source, size_t n, size_t capacity, int flags) {
  using Out = typename Unit<To>::Type;
  std::unique_ptr<Out[]> target(new Out[capacity > 0 ? capacity : 1]);
  const typename Unit<From>::Type *s = source;
  Out *t = target.get();
  const int result = ConverterOf<From, To>()(&s, source + n, &t, target.get() + capacity, flags);
  FUZZ_CHECK(result >= SAL_CONV_OK && result <= SAL_CONV_SOURCE_ILLEGAL);
  FUZZ_CHECK(s >= source && s <= source + n && t >= target.get() && t <= target.get() + capacity);
  FUZZ_CHECK(result != SAL_CONV_OK || s == source + n);
  return {result, static_cast<size_t>(s - source), Str<To>(target.get(), t)};
}

template <int From, int To>
void RoundTrip(const Str<From> &source, const Str<To> &converted) {
  constexpr int Third = 56 - From - To;  // the encoding not yet involved
  const auto back = Convert<To, From>(converted.data(), converted.size(), WorstCase(From, converted.size()), 0);
  FUZZ_CHECK(back.result == SAL_CONV_OK && back.output == source);
  const auto third = Convert<To, Third>(converted.data(), converted.size(), WorstCase(Third, converted.size()), 0);
  FUZZ_CHECK(third.result == SAL_CONV_OK);
  const auto home = Convert<Third, From>(third.output.data(), third.output.size(),
                                         WorstCase(From, third.output.size()), 0);
  FUZZ_CHECK(home.result == SAL_CONV_OK && home.output == source);
}

void CheckUtf8Stop(const uint8_t *source, size_t n, size_t at, int result) {
  if (result != SAL_CONV_SOURCE_ILLEGAL && result != SAL_CONV_SOURCE_EXHAUSTED) return;
  const uint8_t lead = source[at];
  const size_t announced = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF8 ? 4 : lead < 0xFC ? 5 : 6;
  FUZZ_CHECK(result != SAL_CONV_SOURCE_EXHAUSTED || announced > n - at);
  FUZZ_CHECK(result != SAL_CONV_SOURCE_ILLEGAL || (announced <= n - at && SalIsLegalUtf8(source + at, announced) == 0));
}

template <int From, int To>
void FuzzUnicode(const uint8_t *data, size_t size) {
  using In = typename Unit<From>::Type;
  if (size < 2) return;
  const int flags = (data[0] & 1) != 0 ? SAL_CONV_LENIENT : SAL_CONV_STRICT;
  const size_t n = (size - 2) / sizeof(In);
  Str<From> source(n, 0);
  if (n > 0) std::memcpy(&source[0], data + 2, n * sizeof(In));
  const auto whole = Convert<From, To>(source.data(), n, WorstCase(To, n), flags);
  FUZZ_CHECK(whole.result != SAL_CONV_TARGET_EXHAUSTED);
  if constexpr (From == 8) CheckUtf8Stop(source.data(), n, whole.consumed, whole.result);

  const size_t step = data[1] % 16;
  Str<To> pieces;
  size_t at = 0;
  int result = SAL_CONV_TARGET_EXHAUSTED;
  for (int rounds = 0; result == SAL_CONV_TARGET_EXHAUSTED; ++rounds) {
    FUZZ_CHECK(rounds <= static_cast<int>(n) * 5 + 10);  // resuming makes progress
    const auto part = Convert<From, To>(source.data() + at, n - at, step + (rounds % 5), flags);
    pieces += part.output;
    at += part.consumed;
    result = part.result;
  }
  // A skipped value (strict UTF-32 -> UTF-16) or a replaced one sets
  // SOURCE_ILLEGAL only in the piece that met it; everything else matches.
  FUZZ_CHECK(pieces == whole.output && at == whole.consumed);
  FUZZ_CHECK(result == whole.result || (result == SAL_CONV_OK && whole.result == SAL_CONV_SOURCE_ILLEGAL));
  if (flags == SAL_CONV_STRICT && whole.result == SAL_CONV_OK) RoundTrip<From, To>(source, whole.output);
}

void (*const kTargets[])(const uint8_t *, size_t) = {
    FuzzBase64,          FuzzPercent,          FuzzEscape,           FuzzParseStream,      FuzzTextMatchers,
    FuzzSqlLayout,       FuzzNumberLayout,     FuzzTokenizer,        FuzzTextSearch,       FuzzUnicode<8, 16>,
    FuzzUnicode<8, 32>,  FuzzUnicode<16, 8>,   FuzzUnicode<16, 32>,  FuzzUnicode<32, 8>,   FuzzUnicode<32, 16>,
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size > 0) kTargets[data[0] % (sizeof kTargets / sizeof kTargets[0])](data + 1, size - 1);
  return 0;
}
