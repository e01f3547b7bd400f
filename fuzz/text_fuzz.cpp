// text_fuzz.cpp - one libFuzzer target for the text library's decoders,
// matchers and layouts, the parse stream and the six Unicode conversions.  The input's first byte picks one of them; the rest
// is that one's input.  Besides the sanitizers each checks the promises of
// what it fuzzes.  Buffers are heap blocks of exactly the size the function
// is told, so that AddressSanitizer sees every access behind them.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "base/code_page.h"
#include "base/common_string.h"
#include "base/mem.h"
#include "platform/unicode.h"
#include "support/sql_literals.h"
#include "text/base64.h"
#include "text/common_msg_buffer.h"
#include "text/escape.h"
#include "text/number_layout.h"
#include "text/parse_stream.h"
#include "text/percent_encoding.h"
#include "text/printable.h"
#include "text/rfc822_matchers.h"
#include "text/sql_layout.h"
#include "text/text_matchers.h"
#include "text/tokenizer.h"

// Ends the run when a promise is broken: libFuzzer keeps the input as a crash.
#define FUZZ_CHECK(...) \
  ((__VA_ARGS__) ? (void)0 : (std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #__VA_ARGS__), std::abort()))

namespace {
using Block = std::unique_ptr<char[]>;
// size bytes of data, and with terminator: the data followed by a zero byte.
Block Bytes(const void *data, size_t size, bool terminator = false) {
  Block b(new char[size + terminator > 0 ? size + terminator : 1]);
  if (size > 0) std::memcpy(b.get(), data, size);
  if (terminator) b[size] = '\0';
  return b;
}
Block Text(const void *data, size_t size) { return Bytes(data, size, true); }
bool Same(const void *a, const void *b, size_t n) { return n == 0 || std::memcmp(a, b, n) == 0; }

// ---- base64: the input as text decoded into buffers of every kind of size
// (a smaller one yields a prefix of the full decoding), and as bytes that
// survive an encode-decode round trip, cut encodings being prefixes too.
void FuzzBase64(const uint8_t *data, size_t size) {
  if (size < 2) return;
  const uint32_t groupsPerLine = data[0] % 5, shortBy = data[1];
  const Block text = Text(data + 2, size - 2);
  const uint32_t room = static_cast<uint32_t>(std::strlen(text.get())) + 1;
  Block full(new char[room]);
  uint32_t n = room;
  const int result = Base64Decode(full.get(), &n, text.get());
  FUZZ_CHECK(n < room && full[n] == '\0' && n <= (room - 1) / 4 * 3);
  for (uint32_t capacity : {room > shortBy ? room - shortBy : 0u, shortBy % 8u}) {
    Block out(new char[capacity > 0 ? capacity : 1]);
    uint32_t m = capacity;
    const int r = Base64Decode(out.get(), &m, text.get());
    FUZZ_CHECK(capacity == 0 ? r == 0 && m == 0 : m < capacity && out[m] == '\0' && m <= n && Same(out.get(), full.get(), m));
    FUZZ_CHECK(r == 0 || (m == n && result == 1));
  }

  const uint32_t count = static_cast<uint32_t>(size - 2);
  const auto length = static_cast<uint32_t>(Base64EncodedLength(count, groupsPerLine));
  Block encoded(new char[length + 1]), back(new char[count + 4]);
  uint32_t written = 0, backLength = count + 4;
  FUZZ_CHECK(Base64Encode(encoded.get(), length + 1, data + 2, count, &written, groupsPerLine) == 1);
  FUZZ_CHECK(written == length && encoded[written] == '\0');
  FUZZ_CHECK(Base64Decode(back.get(), &backLength, encoded.get()) == 1 && backLength == count && Same(back.get(), data + 2, count));
  const uint32_t small = length + 1 > shortBy ? length + 1 - shortBy : 0;
  Block cut(new char[small > 0 ? small : 1]);
  const int cutResult = Base64Encode(cut.get(), small, data + 2, count, &written, groupsPerLine);
  if (small > 0) FUZZ_CHECK(cutResult == (shortBy == 0) && std::strlen(cut.get()) < small && Same(cut.get(), encoded.get(), std::strlen(cut.get())));
}

// ---- percent encoding: the decoders in place on any text, the encoders'
// round trips and their length protocol with short buffers.
std::string Encoded(int (*encoder)(char *, uint32_t *, const char *), const char *text, uint32_t shortBy) {
  uint32_t length = 0;
  FUZZ_CHECK(encoder(nullptr, &length, text) == 0);
  Block out(new char[length + 1]);
  uint32_t n = length + 1;
  FUZZ_CHECK(encoder(out.get(), &n, text) == 1 && n == length && std::strlen(out.get()) == n);
  const uint32_t small = length > shortBy ? length - shortBy : 0;
  Block cut(new char[small > 0 ? small : 1]);
  uint32_t m = small;
  FUZZ_CHECK(encoder(cut.get(), &m, text) == 0 && m == length && (small == 0 || cut[0] == '\0'));  // refused, length told
  return std::string(out.get(), n);
}

void FuzzPercent(const uint8_t *data, size_t size) {
  const Block text = Text(data, size);
  for (int (*decoder)(char *) : {FormUrlDecode, PercentDecode}) {
    Block copy = Text(data, size);
    decoder(copy.get());
    FUZZ_CHECK(std::strlen(copy.get()) <= std::strlen(text.get()));
  }
  const uint32_t shortBy = size > 0 ? data[0] % 16 : 0;
  std::string form = Encoded(FormUrlEncode, text.get(), shortBy), minimal = Encoded(PercentEncode, text.get(), shortBy);
  FUZZ_CHECK(FormUrlDecode(&form[0]) == 1 && std::strcmp(form.c_str(), text.get()) == 0);
  std::string expected(text.get());
  expected.erase(std::remove_if(expected.begin(), expected.end(), [](char c) { return c == '\r' || c == '\n'; }),
                 expected.end());  // the decoders drop literal line breaks
  FUZZ_CHECK(PercentDecode(&minimal[0]) == 1 && minimal.c_str() == expected);
}

// ---- C escapes and hex text (the decoders on any bytes, the round trips),
// HTML escaping, the printable tests and masking, single- and double-byte.
void FuzzEscape(const uint8_t *data, size_t size) {
  const Block input = Bytes(data, size), text = Text(data, size);
  const uint32_t n = static_cast<uint32_t>(size);
  std::unique_ptr<CCommonString> unescaped(UnescapeCText(input.get(), n)), unescapedText(UnescapeCText(text.get(), ~0u));
  FUZZ_CHECK(!unescaped || unescaped->GetLength() <= n);
  CCommonString s(input.get(), n), hex, digits, back, html(input.get(), n), masked(input.get(), n);
  if (s.EscapeC() == 1) {
    for (uint32_t i = 0; i < s.GetLength(); ++i) {
      const unsigned char c = static_cast<unsigned char>(s.CStr()[i]);
      FUZZ_CHECK(c == '\r' || c == '\n' || c == '\t' || (c >= 32 && c <= 127));  // no raw byte
    }
    FUZZ_CHECK(s.UnescapeC() == 1);
  }
  FUZZ_CHECK(s.GetLength() == n && Same(s.CStr(), input.get(), n));
  const uint8_t flags = size > 0 ? data[0] : 0;
  hex.AppendFromHex(text.get(), (flags & 1) != 0 ? "0x" : nullptr, flags & 2, 0);
  FUZZ_CHECK(hex.GetLength() <= size / 2 + 1);
  FUZZ_CHECK(digits.AppendHex(input.get(), n, 0) == 1 && digits.GetLength() == 2 * n);
  FUZZ_CHECK(back.AppendFromHex(digits.CStr(), nullptr, 0, 0) == 1 && back.GetLength() == n && Same(back.CStr(), input.get(), n));
  FUZZ_CHECK(html.EscapeHtml() == 1);
  masked.MaskNonPrintable('?');
  FUZZ_CHECK(IsPrintableRange(masked.CStr(), masked.GetLength()) == 1);
  SalOverrideAnsiCodePage(932);
  CCommonString dbcs(input.get(), n);
  FUZZ_CHECK(dbcs.EscapeHtml() == 1);
  dbcs.MaskNonPrintableMbcs('?');
  (void)(IsPrintableRangeMbcs(input.get(), n, 0) + IsPrintableOrHighRangeMbcs(input.get(), n) + IsPrintableText(text.get()) +
         IsPrintableOrHighText(text.get()));
  SalOverrideAnsiCodePage(0);
}

// ---- the parse stream: the first bytes choose the byte order and a script
// of reads, level entries and exits, the rest is the record they run on;
// the position never leaves the record and failed reads do not move.  (The
// unit tests read back what CBinOutputStream writes.)
void RunScript(CParseStream &stream, const char *start, size_t size, const uint8_t *script, size_t steps) {
  const char *stop = start + size;
  for (size_t i = 0; i < steps; ++i) {
    const char *before = stream.Position();
    const uint32_t level = stream.NestingLevel();
    const uint8_t op = script[i], arg = i + 1 < steps ? script[i + 1] : 0;
    uint32_t v;
    TextSpan span;
    char *text = nullptr;
    const char *at = start + arg % (size + 1);
    switch (op % 9) {
      case 0: FUZZ_CHECK(stream.ReadUInt32(&v) || stream.Position() == before); break;
      case 1:
        if (stream.ReadBytes(arg, nullptr, &span))
          FUZZ_CHECK(span.length == arg && (arg == 0 || (span.start >= start && span.start + arg <= stop)));
        break;
      case 2:
        if (stream.ReadString(&text)) {
          FUZZ_CHECK(text == nullptr || std::strlen(text) <= size);
          MemFree(text);
        } else {
          FUZZ_CHECK(stream.Position() == before);
        }
        break;
      case 3: stream.EnterLevelBytes(arg); break;
      case 4: if (arg <= size && stream.EnterLevel(start + arg)) FUZZ_CHECK(stream.NestingLevel() == level + 1); break;
      case 5: if (stream.LeaveLevel()) FUZZ_CHECK(stream.NestingLevel() + 1 == level); break;
      case 6: stream.ReadUInt32(&v, &at); FUZZ_CHECK(stream.Position() == before); break;  // at a given position
      case 7: (void)stream.IsAtEnd(arg & 1); break;
      default: stream.ReadBytes(static_cast<uint32_t>(arg) * 0x01010101u); break;
    }
    FUZZ_CHECK(stream.Position() >= start && stream.Position() <= stream.End() && stream.End() <= stop);
  }
}

void FuzzParseStream(const uint8_t *data, size_t size) {
  if (size < 2) return;
  const uint8_t order = data[0] & 1;
  const size_t steps = std::min<size_t>(data[1], size - 2), recordSize = size - 2 - steps;
  const Block record = Bytes(data + 2 + steps, recordSize);
  const TextSpan span{record.get(), recordSize};
  CCommonMsgBuffer messages(",\n");
  for (int k = 0; k < 2; ++k) {  // with messages in the given byte order, without them in the other
    CParseStream stream(span, order ^ k, k == 0 ? &messages : nullptr);
    RunScript(stream, record.get(), recordSize, data + 2, steps);
  }
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
  FUZZ_CHECK(n != 0 ? span.start == at && span.length == n && position == at + n && position <= g_end : position == at);
}

void FuzzTextMatchers(const uint8_t *data, size_t size) {
  if (size == 0) return;
  const unsigned base = data[0] % 40;  // also bases outside 2-36
  const Block text = Text(data + 1, size - 1);
  g_end = text.get() + std::strlen(text.get());
  const size_t length = static_cast<size_t>(g_end - text.get());
  for (size_t i = 0; i <= length; i += length > 512 ? length / 256 : 1) {  // long inputs: not every position
    const char *at = text.get() + i, *end = text.get() + std::min(i + data[0] % 7, length);
    uint32_t v32 = 0, low = 0, high = 0;
    uint8_t v8 = 0;
    TextSpan chars;
#define TRY(call) TryMatcher(at, [&](const char *&p, TextSpan *s) { return call; })
    TRY(MatchNumber(p, &v32, 0, 0xFFFFFFFFu, base, nullptr, s));
    TRY(MatchNumber(p, &v32, 3, 70000, base, end, s));
    TRY(MatchNumber(p, &v8, 0, 255, 16, end, s));
    TRY(MatchDottedQuad(p, &v32, s));
    TRY(MatchRange(p, &low, &high, "-", s));
    TRY(MatchUtf8Chars(p, nullptr, s));
    TRY(MatchUtf8Char(p, end, s));
    TRY(MatchCountedString(p, &chars, ~size_t{0}, 1, base, ":", s));
    TRY(MatchLiteralNoCase(p, "SeLeCt", s));
    TRY(MatchLiteral(p, "ab", end, s));
    TRY(MatchMany(p, Before(end, Not(InSet("\\\""))), s));
    TRY(MatchOneFollowedBy(p, IsByte('\r'), Not(IsByte('\n')), s));
    TRY(MatchLine(p, s));
#undef TRY
    TryMatcher(at, [&](const char *&p, TextSpan *s) {
      const size_t n = MatchCountedString(p, &chars, data[0], data[0] & 1, s);
      FUZZ_CHECK(n == 0 || (chars.length <= n && n <= data[0]));  // within its limit
      return n;
    });
    for (auto matcher : {MatchLinearWhiteSpace, MatchText, MatchAtom, MatchQuotedString, MatchWord, MatchPhrase})
      TryMatcher(at, matcher);
  }
}

// ---- the SQL layout over any bytes and settings: every quoted literal and
// every non-blank byte of the statement reaches the output, in order.
void FuzzSqlLayout(const uint8_t *data, size_t size) {
  if (size < 3) return;
  const std::string statement(reinterpret_cast<const char *>(data + 3), size - 3);
  CCommonString in(statement.data(), static_cast<uint32_t>(statement.size())), out;
  FUZZ_CHECK(FormatSqlStatement(out, in, data[0] & 1, (data[0] >> 1) & 1, data[1] % 12, data[2]) == 1);
  const std::string text(out.CStr(), out.GetLength());
  // An unterminated last literal gets the closing ";" or "]" appended: it need only begin with its original.
  const std::vector<std::string> before = SqlLiterals(statement), after = SqlLiterals(text);
  FUZZ_CHECK(after.size() == before.size());
  for (size_t i = 0; i < before.size(); ++i)
    FUZZ_CHECK(i + 1 == before.size() ? after[i].compare(0, before[i].size(), before[i]) == 0 : after[i] == before[i]);
  size_t j = 0;
  for (char c : statement)
    if (std::strchr(" \t\r\n,", c) == nullptr) FUZZ_CHECK((j = text.find(c, j)) != std::string::npos && ++j);
}

// ---- number layout: DecodeNumber over any bytes; EncodeNumber of any
// double into a buffer of any size stays inside it and decodes back.
void FuzzNumberLayout(const uint8_t *data, size_t size) {
  double decoded = 0, value, back = 0;
  FUZZ_CHECK(static_cast<unsigned>(DecodeNumber(data, static_cast<uint32_t>(size), &decoded)) <= 1u);  // 0 or 1
  if (size < 10) return;
  std::memcpy(&value, data, sizeof value);
  const uint32_t room = data[8] % 24, flags = data[9] & 3, skip = (flags & kNumberVarnum) != 0 ? 1 : 0;
  std::vector<uint8_t> buffer(room + 4, 0xA5);
  uint32_t length = room;
  const int encoded = EncodeNumber(value, buffer.data(), &length, flags);
  FUZZ_CHECK(length <= room && std::count(buffer.begin() + room, buffer.end(), 0xA5) == 4);
  if (encoded != kNumberExact || length <= skip) return;
  FUZZ_CHECK(skip == 0 || buffer[0] == length - 1);
  FUZZ_CHECK(DecodeNumber(buffer.data() + skip, length - skip, &back) == 0);
  const double magnitude = std::fabs(value);
  if (magnitude > 1e-120 && magnitude < 1e120) FUZZ_CHECK(std::fabs(back - value) <= 1e-13 * magnitude);
}

// ---- the Unicode conversions, one direction each.  Byte 0 picks the mode
// (bit 0: lenient), byte 1 the target size; the rest is the source.  The
// result is one of the four, both positions stay in their ranges, a complete
// conversion consumed everything; a stop for want of room resumes where it
// stopped (the pieces through a small target add up to the whole); a stop in
// UTF-8 names the right reason; valid input comes back through both other
// encodings.
template <int B> using UnitOf = std::conditional_t<B == 8, uint8_t, std::conditional_t<B == 16, char16_t, char32_t>>;
template <int B> using Str = std::basic_string<UnitOf<B>>;

template <int From, int To>
auto ConverterOf() {
  if constexpr (From == 32 && To == 16) return SalUtf32ToUtf16;
  else if constexpr (From == 32 && To == 8) return SalUtf32ToUtf8;
  else if constexpr (From == 16 && To == 32) return SalUtf16ToUtf32;
  else if constexpr (From == 16 && To == 8) return SalUtf16ToUtf8;
  else if constexpr (From == 8 && To == 16) return SalUtf8ToUtf16;
  else return SalUtf8ToUtf32;
}

constexpr size_t WorstCase(int to, size_t n) { return to == 8 ? n * 4 : n * 2; }  // units n source units can need

template <int From, int To>
std::pair<int, size_t> Convert(const UnitOf<From> *source, size_t n, size_t capacity, int flags, Str<To> &output) {
  std::unique_ptr<UnitOf<To>[]> target(new UnitOf<To>[capacity > 0 ? capacity : 1]);
  const UnitOf<From> *s = source;
  UnitOf<To> *t = target.get();
  const int result = ConverterOf<From, To>()(&s, source + n, &t, target.get() + capacity, flags);
  FUZZ_CHECK(result >= SAL_CONV_OK && result <= SAL_CONV_SOURCE_ILLEGAL && (result != SAL_CONV_OK || s == source + n));
  FUZZ_CHECK(s >= source && s <= source + n && t >= target.get() && t <= target.get() + capacity);
  output.append(target.get(), t);
  return {result, static_cast<size_t>(s - source)};
}

template <int From, int To>
void FuzzUnicode(const uint8_t *data, size_t size) {
  if (size < 2) return;
  const int flags = (data[0] & 1) != 0 ? SAL_CONV_LENIENT : SAL_CONV_STRICT;
  const size_t n = (size - 2) / sizeof(UnitOf<From>);
  Str<From> source(n, 0);
  if (n > 0) std::memcpy(&source[0], data + 2, n * sizeof(UnitOf<From>));
  Str<To> whole, pieces;
  const auto [result, consumed] = Convert<From, To>(source.data(), n, WorstCase(To, n), flags, whole);
  FUZZ_CHECK(result != SAL_CONV_TARGET_EXHAUSTED);
  if constexpr (From == 8) {  // the sequence it stopped at: cut short, or present and refused by SalIsLegalUtf8
    const uint8_t lead = consumed < n ? source[consumed] : 0;
    const size_t announced = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF8 ? 4 : lead < 0xFC ? 5 : 6;
    FUZZ_CHECK(result != SAL_CONV_SOURCE_EXHAUSTED || announced > n - consumed);
    FUZZ_CHECK(result != SAL_CONV_SOURCE_ILLEGAL || (announced <= n - consumed && !SalIsLegalUtf8(&source[consumed], announced)));
  }
  size_t at = 0;
  int last = SAL_CONV_TARGET_EXHAUSTED;
  for (int rounds = 0; last == SAL_CONV_TARGET_EXHAUSTED; ++rounds) {
    FUZZ_CHECK(rounds <= static_cast<int>(n) * 5 + 10);  // resuming makes progress
    const auto part = Convert<From, To>(source.data() + at, n - at, data[1] % 16 + rounds % 5, flags, pieces);
    at += part.second;
    last = part.first;
  }
  // A skipped or replaced value sets SOURCE_ILLEGAL only in the piece that met it; everything else matches.
  FUZZ_CHECK(pieces == whole && at == consumed && (last == result || (last == SAL_CONV_OK && result == SAL_CONV_SOURCE_ILLEGAL)));
  if (flags != SAL_CONV_STRICT || result != SAL_CONV_OK) return;
  constexpr int Third = 56 - From - To;  // the encoding not yet involved
  Str<From> back, home;
  Str<Third> third;
  FUZZ_CHECK(Convert<To, From>(whole.data(), whole.size(), WorstCase(From, whole.size()), 0, back).first == SAL_CONV_OK && back == source);
  FUZZ_CHECK(Convert<To, Third>(whole.data(), whole.size(), WorstCase(Third, whole.size()), 0, third).first == SAL_CONV_OK);
  FUZZ_CHECK(Convert<Third, From>(third.data(), third.size(), WorstCase(From, third.size()), 0, home).first == SAL_CONV_OK && home == source);
}

// The tokenisers walk untrusted text by an index: every walk ends, stays
// inside the text, and the tokens together are its non-delimiter bytes.
void FuzzTokenizer(const uint8_t *data, size_t size) {
  if (size < 2) return;
  const std::string body(reinterpret_cast<const char *>(data + 1), size - 1);
  const std::string text(body.c_str());  // up to the first zero byte
  const char delimiters[] = {static_cast<char>(data[0]), ';', '\0'};
  std::vector<char> buffer(text.c_str(), text.c_str() + text.size() + 1);
  size_t state = 0, rounds = 0;
  std::string joined, expected;
  while (const char *token = NextToken(&state, buffer.data(), delimiters)) {
    FUZZ_CHECK(++rounds <= text.size() + 1 && state <= text.size());
    joined += token;
  }
  for (char c : text)
    if (std::strchr(delimiters, c) == nullptr) expected += c;
  FUZZ_CHECK(joined == expected);
  buffer.assign(text.c_str(), text.c_str() + text.size() + 1);
  for (state = 0; const char *word = NextWord(&state, buffer.data());)
    FUZZ_CHECK(*word != '\0' && std::strpbrk(word, " \r\n") == nullptr && state <= text.size());
  char out[8];
  state = rounds = 0;
  while (NextWordCopy(&state, text.c_str(), out, sizeof out) == 1) FUZZ_CHECK(std::strlen(out) < sizeof out && ++rounds <= text.size());
  std::string list = body + std::string(2, '\0');  // zero bytes separate the list's texts
  for (state = rounds = 0; NextMultiString(&state, list.c_str()) != nullptr;) FUZZ_CHECK(++rounds <= body.size() && state <= list.size());
}

void (*const kTargets[])(const uint8_t *, size_t) = {
    FuzzBase64,         FuzzPercent,         FuzzEscape,          FuzzParseStream,     FuzzTextMatchers,
    FuzzSqlLayout,      FuzzNumberLayout,    FuzzTokenizer,       FuzzUnicode<8, 16>,   FuzzUnicode<8, 32>,
    FuzzUnicode<16, 8>, FuzzUnicode<16, 32>, FuzzUnicode<32, 8>,  FuzzUnicode<32, 16>,
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size > 0) kTargets[data[0] % (sizeof kTargets / sizeof kTargets[0])](data + 1, size - 1);
  return 0;
}
