// name_list.cpp - name lookup with its placeholders.
#include "reader/name_list.h"

#include "base/text.h"

const char *CNameListBase::GetName(int32_t offset) {
  if (offset > poolLength) {
    BoundedFormat(answer, sizeof answer, "$%d", offset);
    return answer;
  }
  if (offset < 0 || pool == nullptr) {
    BoundedCopy(answer, sizeof answer, "XUNDEF");
    return answer;
  }
  return pool + offset;
}
