// win32/fault_guard_os.cpp - the fault guard on Windows: a vectored
// exception handler that turns an access fault of a guarded thread into a
// C++ exception thrown at the faulting instruction.
//
// The handler cannot throw itself: it runs inside the system's exception
// dispatch, whose frames the C++ runtime cannot unwind.  Instead it changes
// the thread's context so that, when the dispatch resumes the thread, the
// thread enters a small thunk as if the faulting instruction had called it:
// the thunk pushes the fault's address plus one as its return address and
// calls vbs_throw_pending_fault, which throws.  The unwinder then looks the
// faulting frame up at the faulting instruction (return address minus one)
// and runs its landing pads, which -fnon-call-exceptions gives every
// instruction that may fault.  The handler only writes two registers: the
// return address in the accumulator, a scratch register that no landing
// pad reads, and the instruction pointer.  Nothing is written to the stack
// while the dispatch still uses it.
#include <windows.h>

#include <cstdint>
#include <new>

#include "platform/fault_guard.h"
#include "platform/os/fault_guard_os.h"

namespace {

// One record per armed guard, the innermost found through a TLS slot, so
// that the handler needs no lock and no allocation.
struct ArmedGuard {
  ArmedGuard *outer;  // the guard armed before this one on the thread
  PVOID handler;      // the vectored handler's registration
  bool pending;       // a fault was taken: the guard is spent
  SalAccessFault fault;
};

struct TlsSlot {
  DWORD index = TlsAlloc();
  ~TlsSlot() {
    if (index != TLS_OUT_OF_INDEXES) TlsFree(index);
  }
};

DWORD Slot() {
  static TlsSlot slot;
  return slot.index;
}

// The code of the module that holds the guard (the DLL, or a test program):
// faults elsewhere are not ours to unwind.
struct ModuleRange {
  uintptr_t begin = 0;
  uintptr_t end = 0;
};

ModuleRange OwnModule() {
  ModuleRange range;
  HMODULE module = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                              GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCWSTR>(&Slot), &module))
    return range;
  const auto *base = reinterpret_cast<const uint8_t *>(module);
  const auto *dos = reinterpret_cast<const IMAGE_DOS_HEADER *>(base);
  const auto *nt = reinterpret_cast<const IMAGE_NT_HEADERS *>(base + dos->e_lfanew);
  range.begin = reinterpret_cast<uintptr_t>(base);
  range.end = range.begin + nt->OptionalHeader.SizeOfImage;
  return range;
}

const ModuleRange &Module() {
  static const ModuleRange range = OwnModule();
  return range;
}

// Access faults, and the instruction faults that a jump through a corrupt
// pointer gives.  Wine run by a user-mode emulator (the i686 tests under
// qemu-i386) reports every access fault as an illegal instruction without
// an address, as the emulator's signal carries no trap number.
bool IsAccessFault(DWORD code) {
  return code == EXCEPTION_ACCESS_VIOLATION || code == EXCEPTION_IN_PAGE_ERROR ||
         code == EXCEPTION_DATATYPE_MISALIGNMENT || code == EXCEPTION_ARRAY_BOUNDS_EXCEEDED ||
         code == EXCEPTION_ILLEGAL_INSTRUCTION || code == EXCEPTION_PRIV_INSTRUCTION;
}

}  // namespace

// Called by the thunks, on the faulting thread's stack, with the faulting
// instruction's address plus one as its return address.
extern "C" [[noreturn]] __attribute__((used, force_align_arg_pointer)) void
vbs_throw_pending_fault() __asm__("vbs_throw_pending_fault");
extern "C" void vbs_throw_pending_fault() {
  const auto *guard = static_cast<const ArmedGuard *>(TlsGetValue(Slot()));
  throw guard->fault;
}

#if defined(__x86_64__)
// The Windows x64 calling convention wants the stack 16-byte aligned at a
// call, with 32 bytes of home space.  After the push the stack is aligned
// or 8 bytes off depending on where the fault left it: one thunk for each,
// each a function of its own with the unwind data of its allocation.  The
// push stands before the function, where the unwinder never looks.
extern "C" void vbs_fault_entry_even() __asm__("vbs_fault_entry_even");
extern "C" void vbs_fault_entry_odd() __asm__("vbs_fault_entry_odd");
__asm__(
    "  .text\n"
    "  .globl vbs_fault_entry_even\n"
    "vbs_fault_entry_even:\n"
    "  pushq %rax\n"
    "  .def vbs_fault_thunk_even; .scl 3; .type 32; .endef\n"
    "  .seh_proc vbs_fault_thunk_even\n"
    "vbs_fault_thunk_even:\n"
    "  subq $40, %rsp\n"
    "  .seh_stackalloc 40\n"
    "  .seh_endprologue\n"
    "  call vbs_throw_pending_fault\n"
    "  nop\n"
    "  .seh_endproc\n"
    "  .globl vbs_fault_entry_odd\n"
    "vbs_fault_entry_odd:\n"
    "  pushq %rax\n"
    "  .def vbs_fault_thunk_odd; .scl 3; .type 32; .endef\n"
    "  .seh_proc vbs_fault_thunk_odd\n"
    "vbs_fault_thunk_odd:\n"
    "  subq $32, %rsp\n"
    "  .seh_stackalloc 32\n"
    "  .seh_endprologue\n"
    "  call vbs_throw_pending_fault\n"
    "  nop\n"
    "  .seh_endproc\n");
#else
// x86: after the push, vbs_throw_pending_fault starts as if called from the
// fault; it realigns its own stack (force_align_arg_pointer).
extern "C" void vbs_fault_entry() __asm__("vbs_fault_entry");
__asm__(
    "  .text\n"
    "  .globl vbs_fault_entry\n"
    "vbs_fault_entry:\n"
    "  pushl %eax\n"
    "  jmp vbs_throw_pending_fault\n");
#endif

namespace {

LONG CALLBACK OnException(EXCEPTION_POINTERS *info) {
  const EXCEPTION_RECORD *record = info->ExceptionRecord;
  if (!IsAccessFault(record->ExceptionCode) || (record->ExceptionFlags & EXCEPTION_NONCONTINUABLE) != 0)
    return EXCEPTION_CONTINUE_SEARCH;
  const DWORD slot = Slot();
  if (slot == TLS_OUT_OF_INDEXES) return EXCEPTION_CONTINUE_SEARCH;
  // TlsGetValue sets the thread's last error; the fault leaves it as it was.
  const DWORD lastError = GetLastError();
  auto *guard = static_cast<ArmedGuard *>(TlsGetValue(slot));
  SetLastError(lastError);
  if (guard == nullptr || guard->pending) return EXCEPTION_CONTINUE_SEARCH;
  CONTEXT *context = info->ContextRecord;
#if defined(__x86_64__)
  const uintptr_t pc = context->Rip;
#else
  const uintptr_t pc = context->Eip;
#endif
  const ModuleRange &own = Module();
  if (pc < own.begin || pc >= own.end) return EXCEPTION_CONTINUE_SEARCH;

  guard->pending = true;
  guard->fault.code = record->ExceptionCode;
  guard->fault.address =
      (record->ExceptionCode == EXCEPTION_ACCESS_VIOLATION || record->ExceptionCode == EXCEPTION_IN_PAGE_ERROR) &&
              record->NumberParameters >= 2
          ? static_cast<uint64_t>(record->ExceptionInformation[1])
          : 0;
#if defined(__x86_64__)
  context->Rax = pc + 1;
  context->Rip = reinterpret_cast<uintptr_t>((context->Rsp & 8) != 0 ? &vbs_fault_entry_odd
                                                                     : &vbs_fault_entry_even);
#else
  context->Eax = pc + 1;
  context->Eip = reinterpret_cast<uintptr_t>(&vbs_fault_entry);
#endif
  return EXCEPTION_CONTINUE_EXECUTION;
}

}  // namespace

namespace sal::os {

void *ArmFaultGuard() {
  const DWORD slot = Slot();
  if (slot == TLS_OUT_OF_INDEXES || Module().begin == 0) return nullptr;
  auto *guard = new (std::nothrow) ArmedGuard{};
  if (guard == nullptr) return nullptr;
  guard->outer = static_cast<ArmedGuard *>(TlsGetValue(slot));
  if (!TlsSetValue(slot, guard)) {
    delete guard;
    return nullptr;
  }
  // One registration per guard, removed with it: no handler stays behind
  // when the library is unloaded.
  guard->handler = AddVectoredExceptionHandler(1, OnException);
  if (guard->handler == nullptr) {
    TlsSetValue(slot, guard->outer);
    delete guard;
    return nullptr;
  }
  return guard;
}

void DisarmFaultGuard(void *armed) {
  auto *guard = static_cast<ArmedGuard *>(armed);
  if (guard == nullptr) return;
  RemoveVectoredExceptionHandler(guard->handler);
  TlsSetValue(Slot(), guard->outer);
  delete guard;
}

}  // namespace sal::os
