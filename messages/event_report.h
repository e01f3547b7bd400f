// event_report.h - the severe-error event of the reader.
#ifndef SAL_EVENT_REPORT_H
#define SAL_EVENT_REPORT_H

#include <cstdint>

/// Event id of the reader's severe error.
constexpr uint32_t kEventSevereError = 0xE01A0020;

/// One reported event, as a sink sees it.
struct SalEventRecord {
  const char *source;
  uint16_t type;  // 1 error, 2 warning, 4 information
  uint32_t id;
  const char *text;  // the one insertion string
};

/// Reports text as an error event with id to the local machine's event log.
/// Failures are ignored: the caller's path does not depend on the log.
void SalReportErrorEvent(uint32_t id, const char *text);

/// Routes every event to sink instead of the system's log (null restores
/// the system's log).  For tests.
using SalEventSink = void (*)(const SalEventRecord &event);
void SalSetEventSink(SalEventSink sink);

#endif  // SAL_EVENT_REPORT_H
