// posix/message_box_os.cpp - message boxes become lines on standard error.
#include <cstdio>

#include "platform/message_box.h"

void SalShowMessageBox(const char *caption, const char *text) {
  std::fprintf(stderr, "%s: %s\n", caption != nullptr ? caption : "",
               text != nullptr ? text : "");
  std::fflush(stderr);
}
