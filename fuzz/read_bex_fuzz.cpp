// read_bex_fuzz.cpp - libFuzzer target: every input is written to a file, read
// with ReadBex and walked through every export, successful read or not.
//
// Besides the sanitizers, the target checks what the exports promise: a name
// copied into a buffer is terminated inside the capacity and nothing is
// written past it, looked-up texts are terminated, the walks end.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "messages/event_log.h"
#include "vortBexScanner.h"

namespace {

[[noreturn]] void Fail(const char *what) {
  std::fprintf(stderr, "read_bex_fuzz: %s\n", what);
  std::abort();
}

// One file per fuzzing process, so that parallel jobs do not share it:
// in $TMPDIR when set, else /dev/shm (memory, when there is one), else /tmp.
const std::string &InputPath() {
  static const std::string path = [] {
    const char *tmp = std::getenv("TMPDIR");
    struct stat st;
    std::string dir = tmp != nullptr && *tmp != '\0' ? tmp : stat("/dev/shm", &st) == 0 && S_ISDIR(st.st_mode) ? "/dev/shm" : "/tmp";
    return dir + (dir.back() == '/' ? "" : "/") + "vbs-fuzz-" + std::to_string(getpid()) + ".bex";
  }();
  return path;
}

// Rewrites the file in place and cuts it to size.  Opening with truncation
// would make some file systems (ext4) flush the file on every close, which
// costs more than the read being fuzzed.
void WriteInput(const uint8_t *data, size_t size) {
  const int fd = open(InputPath().c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  size_t done = 0;
  for (ssize_t n = 1; fd >= 0 && done < size && n > 0; done += n > 0 ? static_cast<size_t>(n) : 0)
    n = pwrite(fd, data + done, size - done, static_cast<off_t>(done));
  if (fd < 0 || done < size || ftruncate(fd, static_cast<off_t>(size)) != 0 || close(fd) != 0) Fail("cannot write the input file");
}

// A buffer with 16 guard bytes behind the capacity the export is told.
struct Guarded {
  explicit Guarded(uint32_t size) : capacity(size) { std::memset(bytes, 0xA7, sizeof bytes); }
  // After an export that copied a name (wrote: it claimed a delivery): terminated
  // inside the capacity, the guard untouched, nothing written into no room.
  void Check(bool wrote, const char *what) const {
    if (std::any_of(bytes + capacity, bytes + capacity + 16, [](char c) { return c != '\xA7'; }) ||
        (wrote && capacity > 0 && std::memchr(bytes, 0, capacity) == nullptr) || (capacity == 0 && bytes[0] != '\xA7'))
      Fail(what);
  }
  uint32_t capacity;
  char bytes[300 + 16];
};

void CheckText(const char *text, size_t limit, const char *what) {
  if (text == nullptr || std::memchr(text, 0, limit) == nullptr) Fail(what);
}

// The user-group walk with every out-parameter, then with none and a tiny
// buffer; each delivery needs at least 4 bytes of value stream in the file.
void WalkUserGroups(size_t inputSize, int16_t *lastNode, int16_t *lastPosition) {
  const size_t limit = inputSize / 4 + 2;
  Guarded name(64), tiny(1);
  uint32_t value = 0, a[4] = {0, 0, 0, 0};
  uint16_t node = 0, position = 0;
  size_t delivered = 0;
  for (int32_t more = GetFirstUserGroup(name.bytes, name.capacity, &value, &node, &position, &a[0], &a[1], &a[2], &a[3]);
       more != 0; more = GetNextUserGroup(name.bytes, name.capacity, &value, &node, &position, &a[0], &a[1], &a[2], &a[3])) {
    name.Check(true, "user-group name overflows its buffer");
    if (++delivered > limit) Fail("the user-group walk delivers more groups than the file holds");
    *lastNode = static_cast<int16_t>(node);
    *lastPosition = static_cast<int16_t>(position);
  }
  name.Check(false, "user-group name overflows its buffer");
  if (GetNextUserGroup(nullptr, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr) != 0)
    Fail("the user-group walk goes on after its end");
  int32_t more = GetFirstUserGroup(tiny.bytes, tiny.capacity, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  for (size_t n = 0; more != 0 && n <= limit; ++n) {
    tiny.Check(true, "user-group name overflows a 1-byte buffer");
    more = GetNextUserGroup(nullptr, 5, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  }
}

// Nodes take 32 bytes each in the file: beyond that no node can exist, but
// the edges of the index range are asked too.
void WalkTraCalls(size_t inputSize) {
  const int highest = static_cast<int>(std::min<size_t>(32767, inputSize / 32 + 2));
  Guarded name(40);
  uint32_t value = 0;
  for (int node = -2; node <= highest + 2; ++node) {
    const auto index = static_cast<int16_t>(node <= highest ? node : node == highest + 1 ? 32767 : -32768);
    int delivered = 0;
    for (int32_t more = GetFirstTraCall(index, name.bytes, name.capacity, &value); more != 0;
         more = GetNextTraCall(index, name.bytes, name.capacity, &value)) {
      name.Check(true, "transaction name overflows its buffer");
      if (++delivered > 65536) Fail("a transaction walk does not end");  // a 16-bit cursor's range at most
    }
    name.Check(false, "transaction name overflows its buffer");
    // The cursor is shared: continuing with another node must stay safe.
    for (int k = 0; k < 3 && GetNextTraCall(static_cast<int16_t>(index + 1), nullptr, 0, nullptr) != 0; ++k) {
    }
  }
}

void QueryNames(const uint8_t *data, size_t size, int16_t lastNode, int16_t lastPosition) {
  const int16_t pairs[][2] = {{0, 0}, {0, 1}, {1, 0}, {-1, 0}, {0, -1}, {32767, 0}, {0, 32767}, {-32768, -32768},
                              {lastNode, lastPosition}, {lastNode, static_cast<int16_t>(lastPosition + 1)},
                              {static_cast<int16_t>(lastNode + 1), 0}};
  for (const auto &p : pairs) {
    for (uint32_t capacity : {0u, 1u, 2u, 7u, 300u}) {
      Guarded buffer(capacity);
      buffer.Check(GetUserGroupName(p[0], p[1], buffer.bytes, capacity) != 0, "GetUserGroupName overflows its buffer");
    }
    (void)GetUserGroupName(p[0], p[1], nullptr, 100);
  }
  int32_t fromInput = 0;
  if (size >= 12) std::memcpy(&fromInput, data + 8, 4);
  for (int32_t offset : {INT32_MIN, -2, -1, 0, 1, 7, static_cast<int32_t>(size), static_cast<int32_t>(size) + 1, INT32_MAX, fromInput})
    // A name can be as long as the pool, which is no longer than the input.
    CheckText(GetNameFromNamelist(offset), size + 17, "GetNameFromNamelist gives no terminated text");
  for (uint32_t capacity : {0u, 1u, 2u, 3u, 16u, 300u}) {
    Guarded buffer(capacity);
    GetBenchmarkName(buffer.bytes, capacity);
    buffer.Check(capacity > 0, "GetBenchmarkName overflows its buffer");
  }
  GetBenchmarkName(nullptr, 50);
}

void QueryGlobals() {
  uint32_t v = 0, f = 0, p[4] = {0, 0, 0, 0};
  if (GetBexInfo(&v, &f) != 1 || GetBexInfo(nullptr, nullptr) != 1 || GetGlobalBexInfo(&v, &p[0], &p[1]) != 1 ||
      GetGlobalBexInfo(nullptr, nullptr, nullptr) != 1 || GetGlobalBexInfoEx(&v, &p[0], &p[1], &p[2], &p[3]) != 1)
    Fail("an information export does not answer 1");
  if (p[0] != (f & 0x7F000) || p[1] != (f & 0x42) || p[2] != (f & 0x4) || p[3] != (f & 0x8))
    Fail("the masks do not match the flags word");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  std::atexit([] { std::remove(InputPath().c_str()); });
  // Every failed read reports a severe-error event: keep them out of the
  // system's log, but let them pass through the whole reporting path.
  SalSetEventSink([](void *, const SalEventCall &call) {
    if (call.kind == SalEventCall::kReport && (call.count != 1 || call.strings[0] == nullptr))
      Fail("a severe-error event without its one text");
    return 1;
  }, nullptr);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  WriteInput(data, size);
  const int32_t read = ReadBex(InputPath().c_str());
  CheckText(LastRBexErr(), 500, "LastRBexErr is not terminated inside its 500 bytes");
  if ((read == 1 && LastRBexErr()[0] != '\0') || (read != 1 && read != 0)) Fail("ReadBex's result and error text disagree");
  // A failed read keeps what it read: the walks must be safe on that too.
  int16_t lastNode = 0, lastPosition = 0;
  QueryGlobals();
  WalkUserGroups(size, &lastNode, &lastPosition);
  WalkTraCalls(size);
  QueryNames(data, size, lastNode, lastPosition);
  FreeBex();
  // After the release every walk is empty and the globals stay readable.
  QueryGlobals();
  if (GetFirstUserGroup(nullptr, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr) != 0 ||
      GetFirstTraCall(0, nullptr, 0, nullptr) != 0)
    Fail("a user group or transaction call after FreeBex");
  CheckText(GetNameFromNamelist(0), 17, "GetNameFromNamelist after FreeBex");
  FreeBex();
  return 0;
}
