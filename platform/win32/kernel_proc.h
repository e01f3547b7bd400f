// win32/kernel_proc.h - private: functions of kernel32.dll resolved at run
// time, for the Windows backends.
#ifndef SAL_WIN32_KERNEL_PROC_H
#define SAL_WIN32_KERNEL_PROC_H

namespace sal::os {
/// The address of a kernel32.dll export, null when it has none.  Seam: the
/// module layer's GetKernel32Proc takes its place once it is part of the
/// library.
void *SalKernelProcSeam(const char *name);
}  // namespace sal::os

#endif  // SAL_WIN32_KERNEL_PROC_H
