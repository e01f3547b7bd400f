// posix/event_source_os.cpp - events through syslog(3) on this machine and as
// RFC 5424 messages over UDP to another machine.
//
// syslog(3) keeps one identity per process: a report sets the source name
// with openlog, writes, and closes the log again under a lock, so reports
// from several threads never mix their identities.  A host program that
// opened the log itself finds it closed afterwards, and its next syslog
// call opens it again with the default identity.
//
// A remote report is one datagram: "<PRI>1 TIMESTAMP HOST APP-NAME PROCID
// MSGID - MSG" with the user facility, the event type as severity, the
// source name as application name, the event id in hexadecimal as message
// id, and the insertion strings, joined by " | ", as the message.
#include <netdb.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <syslog.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <new>

#include "platform/event_source.h"

namespace sal::os {

struct EventSource {
  bool remote;        // false: syslog on this machine
  int socket;         // remote: the connected UDP socket
  char source[128];   // the identity, cut to 127 bytes
};

namespace {
constexpr size_t kMaxDatagram = 2048;  // what every RFC 5424 receiver should accept
std::atomic<uint16_t> g_port{514};
std::mutex g_syslogLock;

int SyslogLevel(uint16_t type) {
  switch (type) {
    case 1: return LOG_ERR;
    case 2: return LOG_WARNING;
    case 4: return LOG_INFO;
    default: return LOG_NOTICE;  // audit success and failure
  }
}

// Appends text to out (capacity bytes, always terminated) at *length.
void Append(char *out, size_t capacity, size_t *length, const char *text) {
  const size_t n = std::strlen(text);
  const size_t room = capacity - 1 - *length;
  const size_t take = n < room ? n : room;
  std::memcpy(out + *length, text, take);
  *length += take;
  out[*length] = '\0';
}

// The insertion strings joined by " | ", cut to capacity - 1 bytes.
size_t JoinStrings(const char *const *strings, uint16_t count, char *out, size_t capacity,
                   size_t length) {
  for (uint16_t i = 0; i < count; ++i) {
    if (i != 0) Append(out, capacity, &length, " | ");
    Append(out, capacity, &length, strings != nullptr && strings[i] != nullptr ? strings[i] : "");
  }
  return length;
}

// An RFC 5424 field: printable ASCII without blanks, at most max bytes; "-"
// when nothing is left.
void Field(const char *text, size_t max, char *out) {
  size_t n = 0;
  for (const char *p = text; *p != '\0' && n < max; ++p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    out[n++] = (c > 32 && c < 127) ? static_cast<char>(c) : '_';
  }
  if (n == 0) out[n++] = '-';
  out[n] = '\0';
}

int ConnectUdp(const char *host) {
  char port[8];
  std::snprintf(port, sizeof port, "%u", static_cast<unsigned>(g_port.load()));
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_DGRAM;
  addrinfo *found = nullptr;
  if (getaddrinfo(host, port, &hints, &found) != 0) return -1;
  int fd = -1;
  for (addrinfo *a = found; a != nullptr && fd < 0; a = a->ai_next) {
    fd = socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
    if (fd >= 0 && connect(fd, a->ai_addr, a->ai_addrlen) != 0) {
      close(fd);
      fd = -1;
    }
  }
  freeaddrinfo(found);
  return fd;
}

bool SendRemote(const EventSource &s, uint16_t type, uint32_t id, const char *const *strings,
                uint16_t count) {
  const int severity = SyslogLevel(type);
  timeval now{};
  gettimeofday(&now, nullptr);
  tm utc{};
  const time_t seconds = now.tv_sec;
  gmtime_r(&seconds, &utc);
  char host[256] = "";
  if (gethostname(host, sizeof host) != 0) host[0] = '\0';
  host[sizeof host - 1] = '\0';
  char hostField[256];
  Field(host, 255, hostField);
  char appField[49];
  Field(s.source, 48, appField);
  char datagram[kMaxDatagram + 1];
  const int header = std::snprintf(
      datagram, sizeof datagram, "<%d>1 %04d-%02d-%02dT%02d:%02d:%02d.%06ldZ %s %s %ld %08X - ",
      LOG_USER | severity, utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday, utc.tm_hour,
      utc.tm_min, utc.tm_sec, static_cast<long>(now.tv_usec), hostField, appField,
      static_cast<long>(getpid()), id);
  if (header < 0 || static_cast<size_t>(header) >= sizeof datagram) return false;
  const size_t length = JoinStrings(strings, count, datagram, sizeof datagram, static_cast<size_t>(header));
  return send(s.socket, datagram, length, 0) == static_cast<ssize_t>(length);
}
}  // namespace

EventSource *OpenEventSource(const char *machine, const char *source) {
  EventSource *s = new (std::nothrow) EventSource{};
  if (s == nullptr) return nullptr;
  std::snprintf(s->source, sizeof s->source, "%s", source != nullptr ? source : "");
  s->socket = -1;
  if (machine == nullptr) return s;
  while (*machine == '\\') ++machine;  // "\\\\name" names the machine
  s->remote = true;
  s->socket = *machine != '\0' ? ConnectUdp(machine) : -1;
  if (s->socket < 0) {
    delete s;
    return nullptr;
  }
  return s;
}

bool WriteEvent(EventSource *source, uint16_t type, uint16_t /*category*/, uint32_t id,
                const char *const *strings, uint16_t count) {
  if (source == nullptr) return false;
  if (source->remote) return SendRemote(*source, type, id, strings, count);
  char text[kMaxDatagram];
  text[0] = '\0';
  JoinStrings(strings, count, text, sizeof text, 0);
  std::lock_guard<std::mutex> guard(g_syslogLock);
  openlog(source->source, LOG_PID, LOG_USER);
  syslog(SyslogLevel(type), "[%08X] %s", id, text);
  closelog();
  return true;
}

void CloseEventSource(EventSource *source) {
  if (source == nullptr) return;
  if (source->socket >= 0) close(source->socket);
  delete source;
}

void SetRemoteEventPort(uint16_t port) { g_port.store(port); }

}  // namespace sal::os
