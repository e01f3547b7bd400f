// cpu_id.cpp - CPUID through the compiler's <cpuid.h>, which exists for x86
// targets only; the architecture decides, not the system.
#include "platform/cpu_id.h"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

namespace sal {

bool Cpuid(uint32_t leaf, uint32_t regs[4]) {
#if defined(__i386__) || defined(__x86_64__)
  unsigned a = 0, b = 0, c = 0, d = 0;
  if (__get_cpuid_count(leaf, 0, &a, &b, &c, &d) == 0) return false;
  regs[0] = a;
  regs[1] = b;
  regs[2] = c;
  regs[3] = d;
  return true;
#else
  (void)leaf;
  (void)regs;
  return false;
#endif
}

}  // namespace sal
