// bex_walk.cpp - cursors over the user-group and transaction-call tables.
#include "reader/bex_walk.h"

#include "reader/bex_state.h"
#include "reader/name_list.h"

namespace {
bool HasUserGroups(const BexReaderState &s) { return s.bodyFlag != 0 && s.usrGrp != nullptr; }

bool IsNode(const BexReaderState &s, int32_t node) { return node >= 0 && node <= s.maxUsrGrp; }

// A position beyond a shorter name stream has no name offset; it reads as
// an undefined name, while its value is still delivered.
const char *NameAt(const bex::UsrGrpNode &node, int16_t position) {
  const int32_t offset = position < node.nameCount ? node.names[position] : -1;
  return CurrentNameList().GetName(offset);
}

void Deliver(const BexReaderState &s, UserGroupView *out) {
  const bex::UsrGrpNode &node = s.usrGrp[s.nodeCursor];
  out->name = NameAt(node, s.userCursor);
  out->value = node.values[s.userCursor];
  out->node = static_cast<uint16_t>(s.nodeCursor);
  out->position = static_cast<uint16_t>(s.userCursor);
  out->attributes = node.attributes;
}
}  // namespace

CNameListBase &CurrentNameList() {
  static CNameListBase empty;  // answers as a new, empty name list does
  CNameListBase *names = BexState().nameList;
  return names != nullptr ? *names : empty;
}

bool FirstUserGroup(UserGroupView *out) {
  BexReaderState &s = BexState();
  if (!HasUserGroups(s)) return false;
  s.nodeCursor = 0;
  s.userCursor = -1;
  return NextUserGroup(out);
}

bool NextUserGroup(UserGroupView *out) {
  BexReaderState &s = BexState();
  if (!HasUserGroups(s)) return false;
  if (s.nodeCursor > s.maxUsrGrp) return false;
  s.userCursor = static_cast<int16_t>(s.userCursor + 1);
  if (s.nodeCursor < 0 || s.userCursor >= s.usrGrp[s.nodeCursor].userCount) {
    s.userCursor = 0;
    // Nodes without users have no arrays to read: pass over them.  The
    // cursor is 32-bit, so the end after node 32767 does not wrap.
    do {
      ++s.nodeCursor;
    } while (s.nodeCursor <= s.maxUsrGrp && s.usrGrp[s.nodeCursor].userCount <= 0);
    if (s.nodeCursor > s.maxUsrGrp) return false;
  }
  Deliver(s, out);
  return true;
}

bool UserGroupName(int16_t node, int16_t position, const char **name) {
  BexReaderState &s = BexState();
  if (!HasUserGroups(s) || !IsNode(s, node)) return false;
  const bex::UsrGrpNode &n = s.usrGrp[node];
  if (position < 0 || position >= n.userCount) return false;
  *name = NameAt(n, position);
  return true;
}

bool NextTraCall(int16_t node, TraCallView *out) {
  BexReaderState &s = BexState();
  if (!HasUserGroups(s) || !IsNode(s, node)) return false;
  const bex::UsrGrpNode &n = s.usrGrp[node];
  s.traCursor = static_cast<int16_t>(s.traCursor + 1);
  if (s.traCursor < n.firstTra || s.traCursor > n.lastTra) return false;
  if (s.traCall == nullptr || s.traCursor < 0 || s.traCursor > s.maxTra) return false;
  const bex::TraCallNode &call = s.traCall[s.traCursor];
  out->name = CurrentNameList().GetName(call.nameOffset);
  out->value = call.value;
  return true;
}

bool FirstTraCall(int16_t node, TraCallView *out) {
  BexReaderState &s = BexState();
  if (!HasUserGroups(s) || !IsNode(s, node)) return false;
  s.traCursor = static_cast<int16_t>(s.usrGrp[node].firstTra - 1);
  return NextTraCall(node, out);
}
