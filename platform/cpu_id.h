// cpu_id.h - the CPUID instruction of x86 processors, for the system
// information of every system.
#ifndef SAL_CPU_ID_H
#define SAL_CPU_ID_H

#include <cstdint>

namespace sal {

/// Executes CPUID with leaf in EAX (and 0 in ECX) and stores EAX, EBX, ECX,
/// EDX in regs; false when the processor has no CPUID (not an x86 one) or
/// does not know the leaf.
bool Cpuid(uint32_t leaf, uint32_t regs[4]);

}  // namespace sal

#endif  // SAL_CPU_ID_H
