// common_msg_buffer.h - CCommonMsgBuffer: messages collected into one text.
#ifndef COMMON_COMMON_MSG_BUFFER_H
#define COMMON_COMMON_MSG_BUFFER_H

#include <cstdarg>
#include <cstdint>

#include "base/common_string.h"
#include "base/sal_config.h"

/// Collects messages into one text, joined by a separator, and remembers
/// the highest level among them.  The text exists from the first message
/// on; messages are never removed.
class CCommonMsgBuffer {
 public:
  /// separator (null: none) goes between two messages.
  explicit CCommonMsgBuffer(const char *separator);
  CCommonMsgBuffer(const CCommonMsgBuffer &) = delete;
  CCommonMsgBuffer &operator=(const CCommonMsgBuffer &) = delete;
  virtual ~CCommonMsgBuffer();

  /// Called once, when the first message creates the text (still empty).
  /// Does nothing here; derived classes may prepare the text.
  virtual void OnTextCreated(CCommonString &text);

  /// Copies the text into out, or empties out when there is no text yet.
  void GetText(CCommonString &out) const;
  /// The highest level added so far (or the value last forced).
  uint32_t GetLevel() const { return level_; }
  /// force nonzero: level becomes value; otherwise the larger of the two.
  void SetLevel(uint32_t value, int force);

  /// Raises the level to level, then appends the separator (unless this is
  /// the first message) and text (null counts as "").  Returns 0.  When the
  /// text cannot be created or grown the message is lost and the thread's
  /// last-error value is 0xE00303EB.
  int Add(const char *text, uint32_t level);
  /// Formats into a temporary string and adds it (empty when the
  /// formatting fails).  A null format adds nothing.  Returns 0.
  int AddFormattedV(const char *format, uint32_t level, va_list args);
  int AddFormatted(uint32_t level, const char *format, ...)
      SAL_PRINTF_LIKE(3, 4);

  int AddLevel0(const char *text) { return Add(text, 0); }
  int AddLevel1(const char *text) { return Add(text, 1); }
  int AddLevel2(const char *text) { return Add(text, 2); }
  int AddLevel3(const char *text) { return Add(text, 3); }
  int AddLevel0Formatted(const char *format, ...) SAL_PRINTF_LIKE(2, 3);
  int AddLevel1Formatted(const char *format, ...) SAL_PRINTF_LIKE(2, 3);
  int AddLevel2Formatted(const char *format, ...) SAL_PRINTF_LIKE(2, 3);
  int AddLevel3Formatted(const char *format, ...) SAL_PRINTF_LIKE(2, 3);

 private:
  CCommonString *text_ = nullptr;  // owned; null until the first message
  uint32_t level_ = 0;             // highest level so far
  CCommonString separator_;        // goes between two messages
};

#endif  // COMMON_COMMON_MSG_BUFFER_H
