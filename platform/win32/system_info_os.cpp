// win32/system_info_os.cpp - the system and version records, the registry's
// clock rate and the memory status from the system.
#include <windows.h>

#include "base/text.h"
#include "platform/module.h"
#include "platform/os/system_info_os.h"
#include "platform/system_info.h"

namespace sal::os {

void ReadSystemRecord(SalSystemRecord *record) {
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  record->architecture = info.wProcessorArchitecture;
  record->processorCount = info.dwNumberOfProcessors;
  record->processorType = info.dwProcessorType;
  record->level = info.wProcessorLevel;
  record->revision = info.wProcessorRevision;
  record->authenticAmd = static_cast<uint32_t>(IsAuthenticAMD());
}

void ReadVersionRecord(SalVersionRecord *record) {
  OSVERSIONINFOA info;
  ZeroMemory(&info, sizeof info);
  info.dwOSVersionInfoSize = sizeof info;  // 148
  if (!GetVersionExA(&info)) return;
  record->majorVersion = info.dwMajorVersion;
  record->minorVersion = info.dwMinorVersion;
  record->buildNumber = info.dwBuildNumber;
  record->platformId = info.dwPlatformId;
  (void)BoundedCopy(record->servicePack, sizeof record->servicePack, info.szCSDVersion);
}

bool ReadClockMhz(uint32_t *mhz) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0", 0, KEY_READ,
                    &key) != ERROR_SUCCESS)
    return false;
  DWORD value = 0;
  DWORD size = sizeof value;
  DWORD type = 0;
  const LONG status = RegQueryValueExA(key, "~MHz", nullptr, &type, reinterpret_cast<BYTE *>(&value), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS || size != sizeof value) return false;
  *mhz = value;
  return true;
}

bool ReadMemory(bool virtualSpace, bool ntFive, uint64_t *total, uint64_t *available) {
  using StatusEx = BOOL(WINAPI *)(MEMORYSTATUSEX *);
  // GlobalMemoryStatusEx, looked up at run time since systems before NT 5
  // lack it, gives 64-bit figures.
  if (ntFive) {
    auto statusEx = reinterpret_cast<StatusEx>(GetKernel32Proc("GlobalMemoryStatusEx"));
    if (statusEx != nullptr) {
      MEMORYSTATUSEX status;
      ZeroMemory(&status, sizeof status);
      status.dwLength = sizeof status;  // 64
      if (!statusEx(&status)) return false;
      *total = virtualSpace ? status.ullTotalVirtual : status.ullTotalPhys;
      *available = virtualSpace ? status.ullAvailVirtual : status.ullAvailPhys;
      return true;
    }
  }
  MEMORYSTATUS status;
  ZeroMemory(&status, sizeof status);
  status.dwLength = sizeof status;
  GlobalMemoryStatus(&status);
  *total = virtualSpace ? status.dwTotalVirtual : status.dwTotalPhys;
  *available = virtualSpace ? status.dwAvailVirtual : status.dwAvailPhys;
  return true;
}

}  // namespace sal::os
