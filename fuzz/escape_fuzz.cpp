// escape_fuzz.cpp - libFuzzer target for the C-style unescaping and the hex
// text reader (the decoders), with the escape round trips, HTML escaping and
// the printable tests and masking on the same input.
#include <cstdint>
#include <cstring>
#include <memory>

#include "base/code_page.h"
#include "base/common_string.h"
#include "fuzz_support.h"
#include "text/escape.h"
#include "text/printable.h"

namespace {
const char kTarget[] = "escape_fuzz";

void Check(bool ok, const char *what) {
  if (!ok) fuzz::Fail(kTarget, what);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const fuzz::Block input(data, size);
  const uint32_t n = static_cast<uint32_t>(size);

  // Unescaping arbitrary bytes (zero bytes included, explicit length).
  std::unique_ptr<CCommonString> unescaped(UnescapeCText(input.Data(), n));
  if (unescaped) Check(unescaped->GetLength() <= n, "unescaping grew the text");
  const fuzz::Block text = fuzz::Block::Text(data, size);
  std::unique_ptr<CCommonString> unescapedText(UnescapeCText(text.Data(), 0xFFFFFFFFu));

  // Escaping, then unescaping, gives the bytes back.
  CCommonString s(input.Data(), n);
  if (s.EscapeC() == 1) {
    for (uint32_t i = 0; i < s.GetLength(); ++i) {
      const unsigned char c = static_cast<unsigned char>(s.CStr()[i]);
      Check(c == '\r' || c == '\n' || c == '\t' || (c >= 32 && c <= 127), "escaped text holds a raw byte");
    }
    Check(s.UnescapeC() == 1, "escaped text does not unescape");
  }
  Check(s.GetLength() == n && (n == 0 || std::memcmp(s.CStr(), input.Data(), n) == 0), "escape round trip");

  // Hex text: reading arbitrary text, and the round trip of the bytes.
  CCommonString hex;
  const uint8_t flags = size > 0 ? data[0] : 0;
  hex.AppendFromHex(text.Data(), (flags & 1) != 0 ? "0x" : nullptr, flags & 2, 0);
  Check(hex.GetLength() <= size / 2 + 1, "hex reading made too many bytes");
  CCommonString digits;
  Check(digits.AppendHex(input.Data(), n, 0) == 1 && digits.GetLength() == 2 * n, "hex writing");
  CCommonString back;
  Check(back.AppendFromHex(digits.CStr(), nullptr, 0, 0) == 1, "own hex not readable");
  Check(back.GetLength() == n && (n == 0 || std::memcmp(back.CStr(), input.Data(), n) == 0), "hex round trip");

  // HTML escaping and masking on the same bytes, single- and double-byte.
  CCommonString html(input.Data(), n);
  Check(html.EscapeHtml() == 1, "HTML escaping failed");
  CCommonString masked(input.Data(), n);
  masked.MaskNonPrintable('?');
  Check(IsPrintableRange(masked.CStr(), masked.GetLength()) == 1, "masking left an unprintable byte");
  SalOverrideAnsiCodePage(932);
  CCommonString dbcs(input.Data(), n);
  Check(dbcs.EscapeHtml() == 1, "HTML escaping failed in 932");
  dbcs.MaskNonPrintableMbcs('?');
  (void)IsPrintableRangeMbcs(input.Data(), n, 0);
  (void)IsPrintableOrHighRangeMbcs(input.Data(), n);
  SalOverrideAnsiCodePage(0);
  (void)IsPrintableText(text.Data());
  (void)IsPrintableOrHighText(text.Data());
  return 0;
}
