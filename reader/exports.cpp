// exports.cpp - the fourteen C exports: argument checks and bounded copies.
#include "vortBexScanner.h"

#include "base/sal_config.h"
#include "base/text.h"
#include "reader/bex_format.h"
#include "reader/bex_reader.h"
#include "reader/bex_state.h"
#include "reader/bex_walk.h"
#include "reader/name_list.h"
#include "reader/presenter.h"

namespace {
void CopyName(char *buffer, uint32_t capacity, const char *name) {
  if (buffer != nullptr) BoundedFormatString(buffer, capacity, name);
}

template <typename T>
void Put(T *out, T value) {
  if (out != nullptr) *out = value;
}

// One step of the user-group walk (FirstUserGroup or NextUserGroup), its
// group delivered into the caller's fields.
int32_t DeliverUserGroup(bool (*step)(UserGroupView *), char *name, uint32_t capacity,
                         uint32_t *value, uint16_t *node, uint16_t *position, uint32_t *a1,
                         uint32_t *a2, uint32_t *a3, uint32_t *a4) {
  UserGroupView g{};
  if (!step(&g)) return 0;
  CopyName(name, capacity, g.name);
  Put(value, g.value);
  Put(node, g.node);
  Put(position, g.position);
  Put(a1, g.attributes[0]);
  Put(a2, g.attributes[1]);
  Put(a3, g.attributes[2]);
  Put(a4, g.attributes[3]);
  return 1;
}

// One step of a node's transaction walk (FirstTraCall or NextTraCall).
int32_t DeliverTraCall(bool (*step)(int16_t, TraCallView *), int16_t node, char *name,
                       uint32_t capacity, uint32_t *value) {
  TraCallView t{};
  if (!step(node, &t)) return 0;
  CopyName(name, capacity, t.name);
  Put(value, t.value);
  return 1;
}
}  // namespace

extern "C" {

VBS_EXPORT int32_t ReadBex(const char *path) { return ReadBexFile(path); }

VBS_EXPORT void FreeBex(void) { FreeBexModel(); }

VBS_EXPORT void TestVortRBex(const char *path) {
  (void)ReadBex(path);
  char group[100];
  uint32_t groupValue = 0;
  uint16_t node = 0;
  uint16_t position = 0;
  uint32_t a[4];
  for (int32_t more = GetFirstUserGroup(group, sizeof group, &groupValue, &node, &position, &a[0],
                                        &a[1], &a[2], &a[3]);
       more != 0; more = GetNextUserGroup(group, sizeof group, &groupValue, &node, &position,
                                          &a[0], &a[1], &a[2], &a[3])) {
    char call[100];
    uint32_t callValue = 0;
    const auto n = static_cast<int16_t>(node);
    for (int32_t t = GetFirstTraCall(n, call, sizeof call, &callValue); t != 0;
         t = GetNextTraCall(n, call, sizeof call, &callValue)) {
      char line[200];
      BoundedFormat(line, sizeof line, "usergroup: %s(%d) transaction: %s(%d)", group,
                    static_cast<int>(groupValue), call, static_cast<int>(callValue));
      PresentBexText("Test", line);
    }
  }
  FreeBex();
}

VBS_EXPORT const char *LastRBexErr(void) { return BexState().lastError; }

VBS_EXPORT int32_t GetBexInfo(uint32_t *version, uint32_t *flags) {
  const BexReaderState &s = BexState();
  Put(version, s.Version());
  Put(flags, s.Flags());
  return 1;
}

VBS_EXPORT int32_t GetGlobalBexInfoEx(uint32_t *version, uint32_t *p1, uint32_t *p2,
                                      uint32_t *p3, uint32_t *p4) {
  const BexReaderState &s = BexState();
  const uint32_t flags = s.Flags();
  Put(version, s.Version());
  Put(p1, flags & bex::kFlagMaskGroup1);
  Put(p2, flags & bex::kFlagMaskGroup2);
  Put(p3, flags & bex::kFlagMaskGroup3);
  Put(p4, flags & bex::kFlagMaskGroup4);
  return 1;
}

VBS_EXPORT int32_t GetGlobalBexInfo(uint32_t *version, uint32_t *p1, uint32_t *p2) {
  return GetGlobalBexInfoEx(version, p1, p2, nullptr, nullptr);
}

VBS_EXPORT void GetBenchmarkName(char *buffer, uint32_t capacity) {
  if (buffer == nullptr) return;
  CopyName(buffer, capacity, CurrentNameList().GetName(BexState().BenchmarkNameOffset()));
}

VBS_EXPORT int32_t GetFirstUserGroup(char *name, uint32_t capacity, uint32_t *value,
                                     uint16_t *node, uint16_t *position, uint32_t *a1,
                                     uint32_t *a2, uint32_t *a3, uint32_t *a4) {
  return DeliverUserGroup(FirstUserGroup, name, capacity, value, node, position, a1, a2, a3, a4);
}

VBS_EXPORT int32_t GetNextUserGroup(char *name, uint32_t capacity, uint32_t *value,
                                    uint16_t *node, uint16_t *position, uint32_t *a1,
                                    uint32_t *a2, uint32_t *a3, uint32_t *a4) {
  return DeliverUserGroup(NextUserGroup, name, capacity, value, node, position, a1, a2, a3, a4);
}

VBS_EXPORT int32_t GetUserGroupName(int16_t node, int16_t position, char *buffer,
                                    uint32_t capacity) {
  const char *name = nullptr;
  if (!UserGroupName(node, position, &name)) return 0;
  CopyName(buffer, capacity, name);
  return 1;
}

VBS_EXPORT int32_t GetFirstTraCall(int16_t node, char *name, uint32_t capacity,
                                   uint32_t *value) {
  return DeliverTraCall(FirstTraCall, node, name, capacity, value);
}

VBS_EXPORT int32_t GetNextTraCall(int16_t node, char *name, uint32_t capacity,
                                  uint32_t *value) {
  return DeliverTraCall(NextTraCall, node, name, capacity, value);
}

VBS_EXPORT const char *GetNameFromNamelist(int32_t offset) {
  return CurrentNameList().GetName(offset);
}

}  // extern "C"
