// posix/code_page_os.cpp - the ANSI code page from the LC_CTYPE code set.
// Implementation here must contain only generic POSIX code.
#include <langinfo.h>
#include <strings.h>

#include <cstring>

#include "base/os/code_page_os.h"

namespace sal::os {
namespace {
uint32_t FromCodeSet(const char *set) {
  struct Name {
    const char *name;
    uint32_t codePage;
  };
  static const Name kNames[] = {
      {"UTF-8", 65001},     {"UTF8", 65001},     {"SHIFT_JIS", 932}, {"SHIFT-JIS", 932},
      {"SJIS", 932},        {"CP932", 932},      {"WINDOWS-31J", 932}, {"GBK", 936},
      {"GB2312", 936},      {"CP936", 936},      {"EUC-CN", 936},    {"EUC-KR", 949},
      {"UHC", 949},         {"CP949", 949},      {"BIG5", 950},      {"BIG5-HKSCS", 950},
      {"CP950", 950},       {"ISO-8859-1", 28591}, {"ANSI_X3.4-1968", 1252},
      {"CP1252", 1252},
  };
  if (set != nullptr)
    for (const Name &n : kNames)
      if (strcasecmp(set, n.name) == 0) return n.codePage;
  return 1252;
}
}  // namespace

uint32_t AnsiCodePage() {
  // nl_langinfo hands back the same pointer while LC_CTYPE is unchanged, so
  // the name comparison runs only when the locale changes.
  thread_local const char *lastSet = nullptr;
  thread_local uint32_t lastPage = 1252;
  const char *set = nl_langinfo(CODESET);
  if (set != lastSet) {
    lastSet = set;
    lastPage = FromCodeSet(set);
  }
  return lastPage;
}

bool IsLeadByteEx(uint32_t, unsigned char) { return false; }
}  // namespace sal::os
