/* msvc_host.c - a host for Microsoft's linker that needs nothing but the
 * import library vortBexScanner.lib: no C library, its own entry point.
 * Compiled for the MSVC ABI (clang --target=...-windows-msvc) and linked
 * with lld-link /nodefaultlib, it references all fourteen functions with
 * the names and cdecl decoration a host built by Microsoft's compiler uses.
 *
 * Run in a folder holding demo.bex, vortBexScanner.dll and its companion
 * DLLs, it reads the file, walks it and checks that a missing file fails
 * with a message.  Exit status 0 when all holds, else the number of the
 * first check that failed.
 */
#include <vortBexScanner.h>

static int failed(int check) { return check; }

int vbs_entry(void)
{
  char name[256];
  uint32_t version = 0, flags = 0, value = 0;
  uint32_t a1 = 0, a2 = 0, a3 = 0, a4 = 0;
  uint16_t node = 0, position = 0;
  int32_t more;
  unsigned long groups = 0;
  void (*volatile selfTest)(const char *) = TestVortRBex; /* shows message boxes: not called */

  if (!ReadBex("demo.bex")) return failed(10);
  if (LastRBexErr()[0] != '\0') return failed(11);
  GetBexInfo(&version, &flags);
  GetGlobalBexInfo(&version, &a1, &a2);
  GetGlobalBexInfoEx(&version, &a1, &a2, &a3, &a4);
  if (version == 0) return failed(12);
  GetBenchmarkName(name, sizeof name);
  if (name[0] == '\0') return failed(13);
  for (more = GetFirstUserGroup(name, sizeof name, &value, &node, &position, &a1, &a2, &a3, &a4);
       more;
       more = GetNextUserGroup(name, sizeof name, &value, &node, &position, &a1, &a2, &a3, &a4)) {
    uint32_t callValue = 0;
    ++groups;
    if (!GetUserGroupName((int16_t)node, (int16_t)position, name, sizeof name)) return failed(14);
    if (GetFirstTraCall((int16_t)node, name, sizeof name, &callValue))
      while (GetNextTraCall((int16_t)node, name, sizeof name, &callValue)) {
      }
  }
  if (groups == 0) return failed(15);
  if (GetNameFromNamelist(-1)[0] == '\0') return failed(16);
  FreeBex();
  if (ReadBex("no-such-folder\\missing.bex")) return failed(17);
  if (LastRBexErr()[0] == '\0') return failed(18);
  if (selfTest == 0) return failed(19);
  return 0;
}
