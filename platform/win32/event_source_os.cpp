// win32/event_source_os.cpp - the event log over the Win32 event-log service.
#include <windows.h>

#include "platform/event_source.h"

namespace sal::os {

EventSource *OpenEventSource(const char *machine, const char *source) {
  return reinterpret_cast<EventSource *>(RegisterEventSourceA(machine, source));
}

bool WriteEvent(EventSource *source, uint16_t type, uint16_t category, uint32_t id,
                 const char *const *strings, uint16_t count) {
  return ReportEventA(reinterpret_cast<HANDLE>(source), type, category, id, nullptr, count, 0,
                      const_cast<const char **>(strings), nullptr) != FALSE;
}

void CloseEventSource(EventSource *source) {
  if (source != nullptr) ::DeregisterEventSource(reinterpret_cast<HANDLE>(source));
}

void SetRemoteEventPort(uint16_t) {}

}  // namespace sal::os
