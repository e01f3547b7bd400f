// event_log.cpp - CSalEventLog over the platform's event log or an event sink.
#include "messages/event_log.h"

#include <atomic>
#include <new>

#include "base/common_string.h"
#include "base/sal_config.h"
#include "base/text.h"
#include "messages/error_format.h"
#include "messages/log_file.h"
#include "platform/directory.h"
#include "platform/event_source.h"
#include "platform/message_table.h"

namespace {
constexpr const char *kMirrorFile = "vortanaEventLog.log";
constexpr size_t kMirrorTextCapacity = 512;

std::atomic<SalEventSink> g_sink{nullptr};
std::atomic<void *> g_sinkContext{nullptr};
}  // namespace

/// One registration of the event source, on the platform or with the sink.
struct SalEventRegistration {
  sal::os::EventSource *os;  // the platform's registration; null with a sink
  char machine[68];          // "" for this machine, else "\\\\name"
};

/// The working record of a CSalEventLog.
struct CSalEventLogRecord {
  SalEventRegistration *local;   // registration on this machine; null between reports
  SalEventRegistration *remote;  // registration on the remote machine; null between reports
  char logFilePath[256];         // mirror file; "" when the temporary folder is not available
  char localMachine[64];         // non-empty: report to this machine
  char remoteMachine[64];        // non-empty (and not this machine): report there too
  uint32_t flags;                // SAL_EVENT_LOG_MIRROR
};

namespace {
SalEventRegistration *Register(const char *machine, const char *source) {
  SalEventRegistration *r = new (std::nothrow) SalEventRegistration{};
  if (r == nullptr) return nullptr;
  BoundedCopy(r->machine, sizeof r->machine, machine != nullptr ? machine : "");
  bool ok;
  if (SalEventSink sink = g_sink.load()) {
    SalEventCall call{SalEventCall::kRegister, r->machine, source, 0, 0, 0, nullptr};
    ok = sink(g_sinkContext.load(), call) != 0;
  } else {
    r->os = sal::os::OpenEventSource(machine, source);
    ok = r->os != nullptr;
  }
  if (!ok) {
    delete r;
    return nullptr;
  }
  return r;
}

bool Write(const SalEventRegistration *r, const char *source, uint16_t type, uint32_t id,
           const char *const *strings, uint16_t count) {
  if (r == nullptr) return false;
  if (SalEventSink sink = g_sink.load()) {
    SalEventCall call{SalEventCall::kReport, r->machine, source, type, id, count, strings};
    return sink(g_sinkContext.load(), call) != 0;
  }
  return sal::os::WriteEvent(r->os, type, 0, id, strings, count);
}

void Deregister(SalEventRegistration *&r, const char *source) {
  if (r == nullptr) return;
  if (SalEventSink sink = g_sink.load()) {
    SalEventCall call{SalEventCall::kDeregister, r->machine, source, 0, 0, 0, nullptr};
    (void)sink(g_sinkContext.load(), call);
  } else {
    sal::os::CloseEventSource(r->os);
  }
  delete r;
  r = nullptr;
}

// The mirror path: the temporary folder when it is there and writable,
// else the root folder; "" when the folder's name is not available.
void MirrorPath(char *path, size_t capacity) {
  CCommonString folder;
  if (!CSalDirectory::GetSpecialFolder(SAL_FOLDER_TEMP, folder, 1)) return;
  CSalDirectory directory;
  if (directory.SetPath(folder.CStr()) && directory.Exists() == 1 && directory.IsReadOnly() == 0) {
    CCommonString file(folder);
    if (file.Append(kMirrorFile) != 0) BoundedCopy(path, capacity, file.CStr());
    return;
  }
  BoundedFormat(path, capacity, "%c%s", SAL_PATH_SEPARATOR, kMirrorFile);
}
}  // namespace

CSalEventLog::CSalEventLog(const char *sourceName)
    : record_(new (std::nothrow) CSalEventLogRecord{}), sourceName_{} {
  if (record_ != nullptr) {
    BoundedCopy(record_->localMachine, sizeof record_->localMachine, "local");
    MirrorPath(record_->logFilePath, sizeof record_->logFilePath);
  }
  BoundedCopy(sourceName_, sizeof sourceName_, sourceName != nullptr ? sourceName : "");
}

CSalEventLog::~CSalEventLog() {
  if (record_ != nullptr) DeregisterSources();
  delete record_;
}

const char *CSalEventLog::GetLogFilePath() const {
  return record_ != nullptr ? record_->logFilePath : "";
}

int CSalEventLog::Open(const char *localMachine, const char *remoteMachine, uint32_t flags) {
  if (record_ == nullptr) return 1;
  if (localMachine != nullptr)
    BoundedCopy(record_->localMachine, sizeof record_->localMachine, localMachine);
  if (remoteMachine != nullptr)
    BoundedCopy(record_->remoteMachine, sizeof record_->remoteMachine, remoteMachine);
  record_->flags = flags;
  return 1;
}

int CSalEventLog::RegisterSources() {
  char remoteName[64];
  BoundedFormat(remoteName, sizeof remoteName, "\\\\%s", record_->remoteMachine);
  const char *remote = record_->remoteMachine;
  const bool useRemote = remote[0] != '\0' && SafeStrICmp(remote, record_->localMachine) != 0 &&
                         SafeStrICmp(remote, "local") != 0 && SafeStrICmp(remote, "localhost") != 0;
  if (record_->local == nullptr) record_->local = Register(nullptr, sourceName_);
  if (useRemote && record_->remote == nullptr) record_->remote = Register(remoteName, sourceName_);
  if (useRemote && record_->remote == nullptr) return 0;
  return record_->local != nullptr ? 1 : 0;
}

void CSalEventLog::DeregisterSources() {
  Deregister(record_->local, sourceName_);
  Deregister(record_->remote, sourceName_);
}

int CSalEventLog::ReportStrings(uint32_t eventId, uint16_t type, const char *const *strings,
                                uint16_t count) {
  if (record_ == nullptr) return 0;
  if (record_->flags & SAL_EVENT_LOG_MIRROR) {
    char text[kMirrorTextCapacity];
    if (sal::os::FormatMessageWithStrings(SalGetMessageModule(), eventId, strings, count, text,
                                          sizeof text))
      (void)WriteLogLine(record_->logFilePath, "%s", text);
  }
  int result = 1;
  if (!RegisterSources()) result = 0;
  if (record_->localMachine[0] != '\0' &&
      !Write(record_->local, sourceName_, type, eventId, strings, count))
    result = 0;
  if (record_->remoteMachine[0] != '\0' &&
      !Write(record_->remote, sourceName_, type, eventId, strings, count))
    result = 0;
  DeregisterSources();
  return result;
}

int CSalEventLog::ReportText(uint32_t eventId, uint16_t type, const char *text) {
  const char *strings[1] = {text != nullptr ? text : ""};
  return ReportStrings(eventId, type, strings, 1);
}

int CSalEventLog::ReportNumber(uint32_t eventId, uint16_t type, int32_t number) {
  char text[64];
  BoundedFormat(text, sizeof text, "%ld", static_cast<long>(number));
  return ReportText(eventId, type, text);
}

int CSalEventLog::Report(uint32_t eventId, uint16_t type) {
  return ReportStrings(eventId, type, nullptr, 0);
}

void SalSetEventSink(SalEventSink sink, void *context) {
  g_sinkContext.store(context);
  g_sink.store(sink);
}

void SalSetRemoteEventPort(uint16_t port) { sal::os::SetRemoteEventPort(port); }
