// bex_walk.h - the user-group and transaction walks over the loaded model.
#ifndef VBS_READER_BEX_WALK_H
#define VBS_READER_BEX_WALK_H

#include <cstdint>

class CNameListBase;

/// One delivered user group.
struct UserGroupView {
  const char *name;
  uint32_t value;
  uint16_t node;
  uint16_t position;
  const uint32_t *attributes;  // four, in file order
};

/// One delivered transaction call.
struct TraCallView {
  const char *name;
  uint32_t value;
};

/// Restarts the walk at node 0 and delivers its first user group.
bool FirstUserGroup(UserGroupView *out);
/// Next user group: every position of every node in order.  Nodes without
/// users are passed over.  After the last node it keeps returning false.
bool NextUserGroup(UserGroupView *out);
/// The name of the user group at (node, position) without moving the walk.
bool UserGroupName(int16_t node, int16_t position, const char **name);

/// Starts the walk of node's transaction range.
bool FirstTraCall(int16_t node, TraCallView *out);
/// Advances the one shared transaction cursor inside node's range.
bool NextTraCall(int16_t node, TraCallView *out);

/// The state's name list, or an empty one when no model is held.
CNameListBase &CurrentNameList();

#endif  // VBS_READER_BEX_WALK_H
