// code_page.cpp - built-in lead-byte ranges and the per-code-page tables.
#include "base/code_page.h"

#include <array>
#include <atomic>
#include <mutex>

#include "base/os/code_page_os.h"

namespace {
std::atomic<uint32_t> g_override{0};

bool BuiltInLeadByte(uint32_t codePage, unsigned char b, bool *known) {
  *known = true;
  switch (codePage) {
    case 932:  // Shift_JIS
      return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    case 936:  // GBK
    case 949:  // Unified Hangul
    case 950:  // Big5
      return b >= 0x81 && b <= 0xFE;
    case 65001:  // UTF-8 has no double-byte characters
    case 1252:
      return false;
    default:
      *known = false;
      return false;
  }
}

using Table = std::array<uint8_t, 256>;

// Code pages without lead bytes (every single-byte one, and UTF-8) share
// one table of zeros.
const Table kNoLeadBytes{};

// Tables of the double-byte code pages seen so far, in static storage and
// built once: callers keep the pointer for the life of the process.  Only a
// handful of double-byte code pages exist, so the cache never fills in
// practice; should it, the page is treated as having no lead bytes.
const uint8_t *TableFor(uint32_t codePage) {
  struct Entry {
    uint32_t codePage;
    Table table;
  };
  constexpr int kCapacity = 32;
  static std::mutex lock;
  static Entry entries[kCapacity];
  static std::atomic<int> count{0};
  const int n = count.load(std::memory_order_acquire);
  for (int i = 0; i < n; ++i)
    if (entries[i].codePage == codePage) return entries[i].table.data();
  Table table{};
  bool anyLead = false;
  for (int b = 0; b < 256; ++b) {
    table[b] = SalIsDbcsLeadByteEx(codePage, static_cast<unsigned char>(b)) ? 1 : 0;
    anyLead = anyLead || table[b] != 0;
  }
  if (!anyLead) return kNoLeadBytes.data();
  std::lock_guard<std::mutex> guard(lock);
  const int m = count.load(std::memory_order_relaxed);
  for (int i = 0; i < m; ++i)
    if (entries[i].codePage == codePage) return entries[i].table.data();
  if (m == kCapacity) return kNoLeadBytes.data();
  entries[m].codePage = codePage;
  entries[m].table = table;
  count.store(m + 1, std::memory_order_release);
  return entries[m].table.data();
}
}  // namespace

uint32_t SalGetAnsiCodePage() {
  const uint32_t forced = g_override.load(std::memory_order_relaxed);
  return forced != 0 ? forced : sal::os::AnsiCodePage();
}

void SalOverrideAnsiCodePage(uint32_t codePage) {
  g_override.store(codePage, std::memory_order_relaxed);
}

bool SalIsDbcsLeadByteEx(uint32_t codePage, unsigned char byte) {
  bool known = false;
  const bool lead = BuiltInLeadByte(codePage, byte, &known);
  return known ? lead : sal::os::IsLeadByteEx(codePage, byte);
}

bool SalIsLeadByte(unsigned char byte) { return SalLeadByteTable()[byte] != 0; }

int SalIsLeadByte(unsigned char byte, uint32_t codePage) {
  if (codePage == 0) return SalIsLeadByte(byte) ? 1 : 0;
  return SalIsDbcsLeadByteEx(codePage, byte) ? 1 : 0;
}

const uint8_t *SalLeadByteTable() { return TableFor(SalGetAnsiCodePage()); }
