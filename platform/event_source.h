// event_source.h - an event source registered with the system's event log,
// and its reports.  The messages layer's CSalEventLog is built on it.
//
// Windows: RegisterEventSourceA, ReportEventA, DeregisterEventSource.
// POSIX: syslog(3) with the source name as identity on this machine, and an
// RFC 5424 message over UDP for another machine.
#ifndef SAL_EVENT_SOURCE_H
#define SAL_EVENT_SOURCE_H

#include <cstdint>

namespace sal::os {

struct EventSource;  // laid out by the backend

/// Registers source on this machine (machine null) or on the machine
/// named "\\\\name".  Null when the registration fails.
EventSource *OpenEventSource(const char *machine, const char *source);

/// Reports one event through a registration: type (1 error, 2 warning,
/// 4 information, 8 and 16 audit), category, event id, and count insertion
/// strings.  False when the report is refused.
bool WriteEvent(EventSource *source, uint16_t type, uint16_t category, uint32_t id,
                 const char *const *strings, uint16_t count);

/// Ends a registration from OpenEventSource; null is ignored.
void CloseEventSource(EventSource *source);

/// The UDP port of remote reports (514 until changed); POSIX only, Windows
/// reports through its own event-log service and ignores it.
void SetRemoteEventPort(uint16_t port);

}  // namespace sal::os

#endif  // SAL_EVENT_SOURCE_H
