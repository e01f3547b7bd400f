// win32/message_box_os.cpp - a modal message box owned by the active window.
#include <windows.h>

#include "platform/message_box.h"

void SalShowMessageBox(const char *caption, const char *text) {
  MessageBoxA(GetActiveWindow(), text != nullptr ? text : "",
              caption != nullptr ? caption : "", 0);
}
