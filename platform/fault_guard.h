// fault_guard.h - runs code so that an access fault inside it becomes a C++
// exception thrown at the faulting instruction.
#ifndef SAL_FAULT_GUARD_H
#define SAL_FAULT_GUARD_H

#include <cstdint>

/// An access fault, thrown as a C++ exception from the instruction that
/// faulted.
struct SalAccessFault {
  uint32_t code;     // the system's exception code (0xC0000005: access violation)
  uint64_t address;  // the address that could not be accessed; 0 when not known
                     // (an emulated 32-bit Wine reports access faults as illegal
                     // instructions, 0xC000001D, without one)
};

/// While a CSalFaultGuard lives, an access fault of its thread (an access
/// violation, an in-page error, a misaligned access, an array-bounds fault,
/// an illegal or privileged instruction) whose instruction lies in this
/// module's code is thrown as
/// SalAccessFault from that instruction.  The frames between the fault and
/// the catch then unwind as for any C++ exception: their destructors run.
/// For that the code that may fault is compiled with -fnon-call-exceptions,
/// which the platform library passes on to everything that links it on
/// Windows.  The first fault disarms the guard (a fault while the exception
/// travels is not caught again).  Guards nest: the innermost one takes the
/// fault.
///
/// Not caught: a fault inside another module's code, such as a system DLL
/// (its frames carry no tables the C++ runtime can unwind on 32-bit
/// Windows, and that code may handle its own faults), and a fault inside a
/// destructor or a noexcept function, which ends the process as any
/// exception there does.
///
/// On POSIX systems the guard arms nothing: there, faults are excluded by
/// construction (every length checked, every copy bounded).
class CSalFaultGuard {
 public:
  CSalFaultGuard();
  ~CSalFaultGuard();
  CSalFaultGuard(const CSalFaultGuard &) = delete;
  CSalFaultGuard &operator=(const CSalFaultGuard &) = delete;

  /// Whether faults are caught while this guard lives (false on POSIX, or
  /// when the system refused the handler).
  bool Armed() const { return armed_ != nullptr; }

 private:
  void *armed_;
};

/// Runs body() under a CSalFaultGuard.  Returns true when body returned,
/// false with *fault filled (when fault is not null) when an access fault
/// ended it.  Other exceptions pass through.
template <typename Body>
bool SalRunFaultGuarded(Body &&body, SalAccessFault *fault) {
  try {
    CSalFaultGuard guard;
    body();
    return true;
  } catch (const SalAccessFault &caught) {
    if (fault != nullptr) *fault = caught;
    return false;
  }
}

#endif  // SAL_FAULT_GUARD_H
