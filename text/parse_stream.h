// parse_stream.h - CParseStream, the reader of binary records in memory:
// unsigned 32-bit numbers in a declared byte order, length-prefixed texts
// and raw byte spans, with sub-records nested by narrowing the end.
#ifndef COMMON_PARSE_STREAM_H
#define COMMON_PARSE_STREAM_H

#include <cstdint>

#include "base/text_span.h"

class CCommonMsgBuffer;

/// Reads a record that lies in memory; it never copies or owns the data,
/// which the caller keeps alive and unchanged while the stream is used.
/// Positions are addresses inside the data.  Failures are not raised: a
/// read that finds too few bytes before the end writes a message saying
/// where (see ReportError) into the message buffer and returns 0, leaving
/// the position where it was.
class CParseStream {
 public:
  /// data: the record (a null start counts as no data); byteOrder: 0 for
  /// little-endian data, anything else for big-endian; messages: where
  /// error messages go, or null for a buffer of the stream's own with the
  /// separator ",\n".
  CParseStream(TextSpan data, uint8_t byteOrder, CCommonMsgBuffer *messages);
  CParseStream(const CParseStream &) = delete;
  CParseStream &operator=(const CParseStream &) = delete;
  /// Destroys the stream's own message buffer, if any.
  virtual ~CParseStream();

  /// 1 when the position is at the end and, with checkLevels nonzero, no
  /// level is entered; else 0.
  int IsAtEnd(int checkLevels) const;
  /// Makes newEnd, which must lie between the position and the current end
  /// (both included), the end until LeaveLevel, and counts one nesting
  /// level more.  Returns 1, or 0 (nothing changed) for an end outside that
  /// range or when storage was not obtained (last-error 0xE00303EB).
  int EnterLevel(const char *newEnd);
  /// EnterLevel with the end count bytes after the position; 0 when fewer
  /// bytes remain.
  int EnterLevelBytes(uint32_t count);
  /// Restores the end saved by the latest EnterLevel and counts one level
  /// less; the position stays.  0 when no level is entered.
  int LeaveLevel();

  /// Reads an unsigned 32-bit number into *value (when given).  Without
  /// position it reads at the stream's position and advances it; with it,
  /// at *position, advancing *position instead.  Fewer than 4 bytes before
  /// the end (or a position outside the data): reports "unexpected end of
  /// data" and returns 0.
  int ReadUInt32(uint32_t *value, const char **position = nullptr);
  /// Delivers the next count bytes in *span (when given; {null, 0} at a
  /// null position) without copying them, and advances the position (or
  /// *position) by count.  Too few bytes: reports the text of string 38211
  /// and returns 0.
  int ReadBytes(uint32_t count, const char **position = nullptr, TextSpan *span = nullptr);
  /// Reads a length-prefixed text into new zero-terminated storage that the
  /// caller releases with MemFree; the length 0xFFFFFFFF stands for a null
  /// text (*text = null, result 1).  On failure returns 0, moves the
  /// position back to the start of the record and leaves *text alone; a
  /// short record has been reported, storage not obtained sets last-error
  /// 0xE00303EB.  A null text pointer reads and drops the text.
  int ReadString(char **text);

  /// Adds two messages with the level: the offset of the position from the
  /// data's start (string 38209, "at binary offset dec %u (hex %X)"), then
  /// text (null: "") -- followed, inside a nested level, by string 38210
  /// (" on nesting level %u").  Returns 0.
  int ReportError(const char *text, uint32_t level);

  /// The byte order given to the constructor.
  uint32_t ByteOrder() const { return byteOrder_; }
  const char *Position() const { return position_; }
  const char *End() const { return end_; }
  /// Bytes from the data's start to the position.
  size_t Offset() const { return static_cast<size_t>(position_ - data_.start); }
  uint32_t NestingLevel() const { return level_; }
  /// The buffer that receives the messages (null only when the stream's own
  /// buffer could not be created).
  CCommonMsgBuffer *Messages() const { return messages_; }

 private:
  // Whether count bytes from at lie before the end; never for a place
  // outside the readable data.
  bool CanRead(const char *at, size_t count) const;

  uint32_t byteOrder_;                       // of the data: 0 little-, else big-endian
  uint32_t swap_;                            // 1 when that differs from the machine's
  TextSpan data_;                            // the record, not owned
  CCommonMsgBuffer *messages_;               // receives error messages
  CCommonMsgBuffer *ownMessages_ = nullptr;  // owned; set when none was given
  const char *end_;                          // one past the last readable byte
  const char *position_;                     // the next byte to read
  uint32_t level_ = 0;                       // nesting level
  const char **savedEnds_ = nullptr;         // ends saved by EnterLevel (owned)
  uint32_t savedCount_ = 0;
  uint32_t savedCapacity_ = 0;
};

#endif  // COMMON_PARSE_STREAM_H
