// event_log.h - CSalEventLog: events to the event log of this machine and of
// one remote machine, with an optional mirror file.
#ifndef SAL_EVENT_LOG_H
#define SAL_EVENT_LOG_H

#include <cstdint>

#include "base/core.h"

/// Event types (the platform's event-log types; they pass through unchanged).
enum : uint16_t {
  SAL_EVENT_ERROR = 1,
  SAL_EVENT_WARNING = 2,
  SAL_EVENT_INFORMATION = 4,
  SAL_EVENT_AUDIT_SUCCESS = 8,
  SAL_EVENT_AUDIT_FAILURE = 16,
};

/// Flag of CSalEventLog::Open: also append each event's message text to
/// the mirror file "vortanaEventLog.log" in the temporary folder.
constexpr uint32_t SAL_EVENT_LOG_MIRROR = 1;

/// Event id of the reader's severe error.
constexpr uint32_t kSalEventSevereError = 0xE01A0020;

struct CSalEventLogRecord;

/// Writes events under one event source name.  Each report registers the
/// source, writes and deregisters again; no registration is held between
/// reports.  One thread at a time.
///
/// Windows: the event-log service (RegisterEventSourceA, ReportEventA).
/// POSIX: syslog(3) with the source name as identity on this machine; a
/// remote machine receives an RFC 5424 message over UDP (port 514).
class CSalEventLog : public CSalCore {
 public:
  /// sourceName: the event source, cut to 127 bytes (null: empty).  Works
  /// out the mirror path: the temporary folder (created when missing) when
  /// it exists and is writable, else the file in the root folder; empty
  /// when the temporary folder's name is not available.  Local machine
  /// "local", no remote machine, flags 0.
  explicit CSalEventLog(const char *sourceName);
  ~CSalEventLog() override;

  /// Copies each non-null machine name (cut to 63 bytes) over the current
  /// one and stores flags.  A non-empty local name reports to this machine;
  /// a non-empty remote name that is not "local", "localhost" or the local
  /// name (ignoring case) reports to that machine too.  Returns 1.
  int Open(const char *localMachine, const char *remoteMachine, uint32_t flags);

  /// Reports an event with one insertion string.  Returns 1 when every
  /// step that was due succeeded: the registrations, the local report when
  /// a local name is set, the remote report when a remote name is set (a
  /// remote name that names this machine therefore gives 0).  The mirror
  /// line, when asked for, never changes the result.
  int ReportText(uint32_t eventId, uint16_t type, const char *text);
  /// Reports number, formatted with "%ld", as the one insertion string.
  int ReportNumber(uint32_t eventId, uint16_t type, int32_t number);
  /// Reports count insertion strings.
  int ReportStrings(uint32_t eventId, uint16_t type, const char *const *strings, uint16_t count);
  /// Reports without insertion strings.
  int Report(uint32_t eventId, uint16_t type);

  /// The source name as registered.
  const char *GetSourceName() const { return sourceName_; }
  /// The mirror path worked out at construction; "" when there is none.
  const char *GetLogFilePath() const;

 private:
  int RegisterSources();
  void DeregisterSources();

  CSalEventLogRecord *record_;  // owned working record; null when it could not be allocated
  char sourceName_[128];        // the event source, terminated
};

/// One call into the event log, as an event sink sees it.
struct SalEventCall {
  enum Kind { kRegister, kReport, kDeregister };
  Kind kind;
  const char *machine;         // "" for this machine, else "\\\\name"
  const char *source;          // the event source name
  uint16_t type;               // kReport only
  uint32_t id;                 // kReport only
  uint16_t count;              // kReport only: insertion strings
  const char *const *strings;  // kReport only
};

/// An event sink replaces the platform's event log for every CSalEventLog
/// of the process: it receives each registration, report and
/// deregistration and answers 1 (success) or 0 (refused; for kDeregister
/// the answer is ignored).  For tests and for hosts without an event-log
/// service.  context is passed back unchanged.  A null sink restores the
/// platform's event log.  Install it while no report is running.
using SalEventSink = int (*)(void *context, const SalEventCall &call);
void SalSetEventSink(SalEventSink sink, void *context);

/// The UDP port of remote reports on POSIX (514 until changed); Windows
/// leaves remote reports to its event-log service and ignores it.
void SalSetRemoteEventPort(uint16_t port);

#endif  // SAL_EVENT_LOG_H
