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
#include <array>
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

// One file per fuzzing process, so that parallel jobs do not share it.
// $TMPDIR when set, else /dev/shm (memory, when there is one), else /tmp.
const std::string &InputPath() {
  static const std::string path = [] {
    const char *tmp = std::getenv("TMPDIR");
    struct stat st;
    std::string dir = tmp != nullptr && *tmp != '\0'                              ? tmp
                      : stat("/dev/shm", &st) == 0 && S_ISDIR(st.st_mode) ? "/dev/shm"
                                                                             : "/tmp";
    if (dir.back() != '/') dir += '/';
    return dir + "vbs-fuzz-" + std::to_string(getpid()) + ".bex";
  }();
  return path;
}

// Rewrites the file in place and cuts it to size.  Opening with truncation
// would make some file systems (ext4) flush the file on every close, which
// costs more than the read being fuzzed.
void WriteInput(const uint8_t *data, size_t size) {
  const int fd = open(InputPath().c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) Fail("cannot write the input file");
  size_t done = 0;
  while (done < size) {
    const ssize_t n = pwrite(fd, data + done, size - done, static_cast<off_t>(done));
    if (n <= 0) Fail("cannot write the input file");
    done += static_cast<size_t>(n);
  }
  if (ftruncate(fd, static_cast<off_t>(size)) != 0 || close(fd) != 0) Fail("cannot write the input file");
}

void RemoveInput() { std::remove(InputPath().c_str()); }

// A buffer with guard bytes behind the capacity the export is told.
class Guarded {
 public:
  static constexpr uint32_t kGuard = 16;
  explicit Guarded(uint32_t capacity) : capacity_(capacity) {
    std::memset(bytes_, kFill, sizeof bytes_);
  }
  char *Data() { return bytes_; }
  uint32_t Capacity() const { return capacity_; }
  // After an export that copied a name: terminated inside the capacity, and
  // the guard untouched.  wrote says whether the export claimed a delivery.
  void Check(bool wrote, const char *what) const {
    static const auto guard = [] {
      std::array<char, kGuard> g;
      g.fill(static_cast<char>(kFill));
      return g;
    }();
    if (std::memcmp(bytes_ + capacity_, guard.data(), kGuard) != 0) Fail(what);
    if (wrote && capacity_ > 0 && std::memchr(bytes_, 0, capacity_) == nullptr) Fail(what);
    if (capacity_ == 0 && static_cast<unsigned char>(bytes_[0]) != kFill) Fail(what);
  }

 private:
  static constexpr unsigned char kFill = 0xA7;
  uint32_t capacity_;
  char bytes_[300 + kGuard];
};

void CheckText(const char *text, size_t limit, const char *what) {
  if (text == nullptr) Fail(what);
  if (std::memchr(text, 0, limit) == nullptr) Fail(what);
}

// The user-group walk, with every out-parameter, then once more with none.
void WalkUserGroups(size_t inputSize, int16_t *lastNode, int16_t *lastPosition) {
  // Each delivery needs at least 4 bytes of value stream in the file.
  const size_t limit = inputSize / 4 + 2;
  size_t delivered = 0;
  Guarded name(64);
  uint32_t value = 0, a1 = 0, a2 = 0, a3 = 0, a4 = 0;
  uint16_t node = 0, position = 0;
  int32_t more = GetFirstUserGroup(name.Data(), name.Capacity(), &value, &node, &position, &a1,
                                   &a2, &a3, &a4);
  while (more != 0) {
    name.Check(true, "user-group name overflows its buffer");
    if (++delivered > limit) Fail("the user-group walk delivers more groups than the file holds");
    *lastNode = static_cast<int16_t>(node);
    *lastPosition = static_cast<int16_t>(position);
    more = GetNextUserGroup(name.Data(), name.Capacity(), &value, &node, &position, &a1, &a2, &a3,
                            &a4);
  }
  name.Check(false, "user-group name overflows its buffer");
  if (GetNextUserGroup(nullptr, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr) != 0)
    Fail("the user-group walk goes on after its end");
  // The same walk with every pointer null and tiny capacities.
  Guarded tiny(1);
  more = GetFirstUserGroup(tiny.Data(), tiny.Capacity(), nullptr, nullptr, nullptr, nullptr,
                           nullptr, nullptr, nullptr);
  for (size_t n = 0; more != 0 && n <= limit; ++n) {
    tiny.Check(true, "user-group name overflows a 1-byte buffer");
    more = GetNextUserGroup(nullptr, 5, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr);
  }
}

void WalkTraCalls(size_t inputSize) {
  // Nodes take 32 bytes each in the file: beyond that no node can exist, but
  // the edges of the index range are asked too.
  const int highest = static_cast<int>(std::min<size_t>(32767, inputSize / 32 + 2));
  Guarded name(40);
  uint32_t value = 0;
  auto walk = [&](int node) {
    const auto index = static_cast<int16_t>(node);
    int delivered = 0;
    for (int32_t more = GetFirstTraCall(index, name.Data(), name.Capacity(), &value); more != 0;
         more = GetNextTraCall(index, name.Data(), name.Capacity(), &value)) {
      name.Check(true, "transaction name overflows its buffer");
      // A range covers at most 65536 indexes of a 16-bit cursor.
      if (++delivered > 65536) Fail("a transaction walk does not end");
    }
    name.Check(false, "transaction name overflows its buffer");
    // The cursor is shared: continuing with another node must stay safe.
    for (int k = 0; k < 3; ++k)
      if (GetNextTraCall(static_cast<int16_t>(node + 1), nullptr, 0, nullptr) == 0) break;
  };
  for (int node = -2; node <= highest; ++node) walk(node);
  walk(32767);
  walk(-32768);
}

void QueryNames(const uint8_t *data, size_t size, int16_t lastNode, int16_t lastPosition) {
  const int16_t pairs[][2] = {{0, 0},    {0, 1},      {1, 0},         {-1, 0},
                              {0, -1},   {32767, 0},  {0, 32767},     {-32768, -32768},
                              {lastNode, lastPosition}, {lastNode, static_cast<int16_t>(lastPosition + 1)},
                              {static_cast<int16_t>(lastNode + 1), 0}};
  for (const auto &p : pairs) {
    for (uint32_t capacity : {0u, 1u, 2u, 7u, 300u}) {
      Guarded buffer(capacity);
      const int32_t found = GetUserGroupName(p[0], p[1], buffer.Data(), capacity);
      buffer.Check(found != 0, "GetUserGroupName overflows its buffer");
    }
    (void)GetUserGroupName(p[0], p[1], nullptr, 100);
  }

  int32_t fromInput = 0;
  if (size >= 12) std::memcpy(&fromInput, data + 8, 4);
  const int32_t offsets[] = {INT32_MIN, -2, -1, 0, 1, 7, static_cast<int32_t>(size),
                             static_cast<int32_t>(size) + 1, INT32_MAX, fromInput};
  for (int32_t offset : offsets) {
    const char *text = GetNameFromNamelist(offset);
    if (text == nullptr) Fail("GetNameFromNamelist returned null");
    // A name can be as long as the pool, which is no longer than the input.
    CheckText(text, size + 17, "GetNameFromNamelist gives an unterminated text");
  }

  for (uint32_t capacity : {0u, 1u, 2u, 3u, 16u, 300u}) {
    Guarded buffer(capacity);
    GetBenchmarkName(buffer.Data(), capacity);
    buffer.Check(capacity > 0, "GetBenchmarkName overflows its buffer");
  }
  GetBenchmarkName(nullptr, 50);
}

void QueryGlobals() {
  uint32_t v = 0, f = 0, p[4] = {0, 0, 0, 0};
  if (GetBexInfo(&v, &f) != 1 || GetBexInfo(nullptr, nullptr) != 1) Fail("GetBexInfo not 1");
  if (GetGlobalBexInfo(&v, &p[0], &p[1]) != 1 || GetGlobalBexInfo(nullptr, nullptr, nullptr) != 1)
    Fail("GetGlobalBexInfo not 1");
  if (GetGlobalBexInfoEx(&v, &p[0], &p[1], &p[2], &p[3]) != 1) Fail("GetGlobalBexInfoEx not 1");
  if (p[0] != (f & 0x7F000) || p[1] != (f & 0x42) || p[2] != (f & 0x4) || p[3] != (f & 0x8))
    Fail("the masks do not match the flags word");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  std::atexit(RemoveInput);
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
  if (read == 1 && LastRBexErr()[0] != '\0') Fail("a successful read left an error text");
  if (read != 1 && read != 0) Fail("ReadBex returned neither 1 nor 0");

  // A failed read keeps what it read: the walks must be safe on that too.
  int16_t lastNode = 0, lastPosition = 0;
  QueryGlobals();
  WalkUserGroups(size, &lastNode, &lastPosition);
  WalkTraCalls(size);
  QueryNames(data, size, lastNode, lastPosition);

  FreeBex();
  // After the release every walk is empty and the globals stay readable.
  QueryGlobals();
  if (GetFirstUserGroup(nullptr, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr) != 0)
    Fail("a user group after FreeBex");
  if (GetFirstTraCall(0, nullptr, 0, nullptr) != 0) Fail("a transaction call after FreeBex");
  CheckText(GetNameFromNamelist(0), 17, "GetNameFromNamelist after FreeBex");
  FreeBex();
  return 0;
}
