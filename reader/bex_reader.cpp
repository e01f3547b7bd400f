// bex_reader.cpp - the read sequence and the release of the model.
#include "reader/bex_reader.h"

#include <cstring>
#include <new>

#include "base/mem.h"
#include "base/text.h"
#include "platform/fault_guard.h"
#include "platform/file.h"
#include "reader/bex_body.h"
#include "reader/bex_error.h"
#include "reader/bex_header.h"
#include "reader/bex_input.h"
#include "reader/bex_state.h"
#include "reader/bex_stream_store.h"
#include "reader/name_list.h"
#include "text/common_file.h"

BexReaderState &BexState() {
  static BexReaderState state;  // zero-initialised static storage
  return state;
}

namespace {
// The name list goes through MemAlloc like every other part of the model,
// so allocation failure can be injected for it too.
CNameListBase *NewNameList() {
  void *p = nullptr;
  if (!MemAlloc(&p, 1, sizeof(CNameListBase), "CNameListBase")) return nullptr;
  return new (p) CNameListBase();
}

void DeleteNameList(CNameListBase *names) {
  names->~CNameListBase();
  MemFree(names);
}

void ReadSequence(const char *path, BexReaderState &state) {
  CCommonFile file;
  char localPath[256];
  BoundedCopy(localPath, sizeof localPath, path != nullptr ? path : "");
  if (!file.OpenPath(localPath, SAL_FILE_ACCESS_READ, SAL_FILE_OPEN_EXISTING, SAL_FILE_SHARE_READ))
    RaiseBexError(localPath, kBexErrOpen);
  BexInput in(file);
  ReadBexHeader(in, state);
  if (state.bodyFlag != 0) ReadBexBody(in, state);
  // The destructor closes the file, also when a severe error unwinds.
  (void)file.Close();
}
}  // namespace

int ReadBexFile(const char *path) {
  BexReaderState &state = BexState();
  // A model still held would be unreachable once the state is zeroed.
  FreeBexModel();
  std::memset(&state, 0, sizeof state);
  state.nameList = NewNameList();
  if (state.nameList == nullptr) return 0;
  try {
    // An access fault inside the read (a path pointer that leads nowhere,
    // a fault that no check foresaw) unwinds to here like a severe error:
    // the file closes, what was read stays for FreeBex.  Windows only: on
    // POSIX systems the guard arms nothing.
    SalAccessFault fault{};
    if (!SalRunFaultGuarded([&] { ReadSequence(path, state); }, &fault))
      RaiseBexAccessFault(fault.code, fault.address);
    return 1;
  } catch (...) {  // severe errors, and anything unforeseen, end here
    return 0;
  }
}

void FreeBexModel() {
  BexReaderState &state = BexState();
  if (state.nameList != nullptr) {
    MemFree(state.nameList->pool);
    state.nameList->pool = nullptr;
    DeleteNameList(state.nameList);
    state.nameList = nullptr;
  }
  if (state.traCall != nullptr) {
    MemFree(state.traCall);
    state.traCall = nullptr;
  }
  if (state.usrGrp != nullptr) {
    FreeUsrGrp(state.usrGrp, state.streams);
    state.usrGrp = nullptr;
  }
  // Streams exist only with a table; released here too so that no path can
  // leave a chunk behind.
  ReleaseStreams(state.streams);
}
