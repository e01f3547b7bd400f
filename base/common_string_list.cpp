// common_string_list.cpp - CCommonStringList, Split, Join and stream output.
#include <cstring>
#include <new>
#include <ostream>

#include "base/common_string.h"
#include "base/common_string_chars.h"
#include "base/mem.h"

using common_string::NoStorage;

// ---- the list --------------------------------------------------------------------

CCommonStringList::~CCommonStringList() {
  Clear();
  MemFree(items_);
}

void CCommonStringList::Clear() {
  for (uint32_t i = 0; i < count_; ++i) items_[i].~CCommonString();
  count_ = 0;
}

bool CCommonStringList::Grow() {
  const uint64_t capacity = capacity_ == 0 ? 8 : static_cast<uint64_t>(capacity_) * 2;
  if (capacity > 0xFFFFFFFFu / sizeof(CCommonString)) return NoStorage() != 0;
  void *p = nullptr;
  if (!MemRealloc(&p, static_cast<size_t>(capacity) * sizeof(CCommonString))) return NoStorage() != 0;
  CCommonString *items = static_cast<CCommonString *>(p);
  for (uint32_t i = 0; i < count_; ++i) {
    new (&items[i]) CCommonString(static_cast<CCommonString &&>(items_[i]));
    items_[i].~CCommonString();
  }
  MemFree(items_);
  items_ = items;
  capacity_ = static_cast<uint32_t>(capacity);
  return true;
}

int CCommonStringList::Add(const char *bytes, uint32_t n) {
  if (count_ == capacity_ && !Grow()) return 0;
  CCommonString *item = new (&items_[count_]) CCommonString();
  if (!item->Assign(bytes, n)) {
    item->~CCommonString();
    return 0;
  }
  ++count_;
  return 1;
}

int CCommonStringList::Add(const char *text) {
  if (count_ == capacity_ && !Grow()) return 0;
  CCommonString *item = new (&items_[count_]) CCommonString();
  if (!item->Assign(text)) {
    item->~CCommonString();
    return 0;
  }
  ++count_;
  return 1;
}

// ---- split and join ----------------------------------------------------------------

CCommonStringList &CCommonString::Split(CCommonStringList &list, const char *delimiters) const {
  list.Clear();
  bool delimiter[256] = {};
  if (delimiters != nullptr)
    for (const char *d = delimiters; *d != '\0'; ++d) delimiter[static_cast<unsigned char>(*d)] = true;
  for (uint32_t i = 0; i < length_;) {
    while (i < length_ && delimiter[static_cast<unsigned char>(buffer_[i])]) ++i;
    const uint32_t start = i;
    while (i < length_ && !delimiter[static_cast<unsigned char>(buffer_[i])]) ++i;
    if (i > start && !list.Add(buffer_ + start, i - start)) break;
  }
  return list;
}

int CCommonString::Join(const CCommonStringList &list, const char *separator, uint32_t skip,
                        int32_t count) {
  const uint32_t first = skip < list.GetCount() ? skip : list.GetCount();
  uint32_t last = list.GetCount();
  if (count >= 0 && static_cast<uint32_t>(count) < last - first) last = first + static_cast<uint32_t>(count);
  const size_t separatorLength = separator != nullptr ? std::strlen(separator) : 0;
  // Sized once; built aside, as list may hold this very string's text.
  uint64_t total = 0;
  for (uint32_t i = first; i < last; ++i)
    total += list.At(i).GetLength() + (i > first ? separatorLength : 0);
  CCommonString joined;
  if (last > first) {
    if (total >= 0xFFFFFFFFu) return NoStorage();
    if (!joined.Reserve(static_cast<uint32_t>(total))) return 0;
    for (uint32_t i = first; i < last; ++i) {
      if (i > first) (void)joined.Append(separator, static_cast<uint32_t>(separatorLength));
      (void)joined.Append(list.At(i));
    }
  }
  Swap(joined);
  return 1;
}

std::ostream &operator<<(std::ostream &out, const CCommonString &string) {
  return out.write(string.CStr(), string.GetLength());
}
