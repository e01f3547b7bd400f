// event_report.cpp - delivery of the reader's error events.
//
// The system event log is not wired in yet: events reach an installed sink
// and are otherwise dropped, which the severe-error path tolerates by design.
#include "messages/event_report.h"

#include <atomic>

namespace {
std::atomic<SalEventSink> g_sink{nullptr};
}  // namespace

void SalReportErrorEvent(uint32_t id, const char *text) {
  if (SalEventSink sink = g_sink.load()) sink(SalEventRecord{"", 1, id, text != nullptr ? text : ""});
}

void SalSetEventSink(SalEventSink sink) { g_sink.store(sink); }
