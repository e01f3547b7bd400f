// message_box.h - shows a text to the person at the machine.
#ifndef SAL_MESSAGE_BOX_H
#define SAL_MESSAGE_BOX_H

/// Shows text with caption and one OK button and waits for the user
/// (Windows: MessageBoxA owned by the active window).  On POSIX writes
/// "caption: text" as one line to standard error.
void SalShowMessageBox(const char *caption, const char *text);

#endif  // SAL_MESSAGE_BOX_H
