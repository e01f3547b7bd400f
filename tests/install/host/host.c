/* host.c - a C89 host of the installed vortBexScanner library.
 *
 * Reads the Bex file named on the command line through the fourteen
 * exports, prints what it walks, and checks that the library answers
 * consistently: each user group found by the walk is found again by
 * GetUserGroupName at its (node, position), and a file that does not exist
 * fails with a message.  Exit 0 when all holds, 1 otherwise.
 */
#include <stdio.h>
#include <string.h>

#include <vortBexScanner.h>

static int failures = 0;

static void fail(const char *what)
{
  fprintf(stderr, "host: %s\n", what);
  failures++;
}

int main(int argc, char **argv)
{
  char name[256];
  char again[256];
  char benchmark[256];
  uint32_t version = 0;
  uint32_t flags = 0;
  uint32_t value = 0;
  uint16_t node = 0;
  uint16_t position = 0;
  uint32_t a1 = 0, a2 = 0, a3 = 0, a4 = 0;
  unsigned long groups = 0;
  unsigned long calls = 0;
  int32_t more;

  if (argc != 3) {
    fprintf(stderr, "usage: host FILE.bex MISSING-PATH\n");
    return 2;
  }

  if (!ReadBex(argv[1])) {
    fprintf(stderr, "host: ReadBex failed: %s\n", LastRBexErr());
    return 1;
  }
  if (LastRBexErr()[0] != '\0')
    fail("LastRBexErr is not empty after a successful ReadBex");

  GetBexInfo(&version, &flags);
  GetBenchmarkName(benchmark, sizeof benchmark);
  printf("version %lu flags 0x%lx benchmark %s\n", (unsigned long)version,
         (unsigned long)flags, benchmark);

  for (more = GetFirstUserGroup(name, sizeof name, &value, &node, &position,
                                &a1, &a2, &a3, &a4);
       more;
       more = GetNextUserGroup(name, sizeof name, &value, &node, &position,
                               &a1, &a2, &a3, &a4)) {
    uint32_t callValue = 0;
    int32_t call;
    groups++;
    printf("usergroup %s value %lu node %u position %u\n", name,
           (unsigned long)value, (unsigned)node, (unsigned)position);
    if (!GetUserGroupName((int16_t)node, (int16_t)position, again, sizeof again))
      fail("GetUserGroupName does not find a walked user group");
    else if (strcmp(again, name) != 0)
      fail("GetUserGroupName gives another name than the walk");
    for (call = GetFirstTraCall((int16_t)node, name, sizeof name, &callValue);
         call;
         call = GetNextTraCall((int16_t)node, name, sizeof name, &callValue)) {
      calls++;
      printf("  transaction %s value %lu\n", name, (unsigned long)callValue);
    }
  }
  printf("%lu user groups, %lu transaction calls\n", groups, calls);
  if (groups == 0)
    fail("the walk delivered no user group");
  FreeBex();

  if (ReadBex(argv[2]))
    fail("ReadBex succeeded on a path that does not exist");
  else if (LastRBexErr()[0] == '\0')
    fail("ReadBex failed without a message");
  else
    printf("missing file: %s\n", LastRBexErr());

  return failures == 0 ? 0 : 1;
}
