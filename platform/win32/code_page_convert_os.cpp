// win32/code_page_convert_os.cpp - the system's code-page converters, its
// code-page information and enumeration.
#include <windows.h>

#include <atomic>

#include "platform/module.h"
#include "platform/os/code_page_convert_os.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 units are wchar_t on Windows");

namespace sal::os {
namespace {

using GetCPInfoExAFunction = BOOL(WINAPI *)(UINT, DWORD, LPCPINFOEXA);
std::atomic<GetCPInfoExAFunction> g_getCpInfoEx{nullptr};

bool NameViaGetCPInfoEx(uint32_t codePage, CCommonString *name) {
  const GetCPInfoExAFunction getInfoEx = g_getCpInfoEx.load(std::memory_order_relaxed);
  CPINFOEXA info;
  ZeroMemory(&info, sizeof info);
  if (getInfoEx == nullptr || !getInfoEx(codePage, 0, &info)) return false;
  info.CodePageName[sizeof info.CodePageName - 1] = '\0';
  return name->Assign(info.CodePageName) != 0;
}

BOOL CALLBACK EnumThunk(LPSTR codePageText) { return sal::EnumCodePageProc(codePageText) != 0 ? TRUE : FALSE; }

}  // namespace

int MultiByteToWide(uint32_t codePage, const char *source, int sourceLength, char16_t *target,
                    int targetCapacity, uint32_t flags) {
  return MultiByteToWideChar(codePage, flags, source, sourceLength, reinterpret_cast<wchar_t *>(target),
                             targetCapacity);
}

int WideToMultiByte(uint32_t codePage, const char16_t *source, int sourceLength, char *target,
                    int targetCapacity, uint32_t flags, const char *defaultChar, int *usedDefault) {
  BOOL used = FALSE;
  const int n = WideCharToMultiByte(codePage, flags, reinterpret_cast<const wchar_t *>(source), sourceLength,
                                    target, targetCapacity, defaultChar, usedDefault != nullptr ? &used : nullptr);
  if (usedDefault != nullptr) *usedDefault = used != FALSE ? 1 : 0;
  return n;
}

bool IsValidCodePage(uint32_t codePage) {
  CPINFO info;
  return GetCPInfo(codePage, &info) != FALSE;
}

CodePageNameFunction CodePageNamer() {
  auto getInfoEx = reinterpret_cast<GetCPInfoExAFunction>(GetKernel32Proc("GetCPInfoExA"));
  if (getInfoEx == nullptr) return nullptr;
  g_getCpInfoEx.store(getInfoEx, std::memory_order_relaxed);
  return &NameViaGetCPInfoEx;
}

void EnumerateCodePages() { EnumSystemCodePagesA(&EnumThunk, CP_INSTALLED); }

}  // namespace sal::os
