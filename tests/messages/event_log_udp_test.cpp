// event_log_udp_test.cpp - POSIX: a remote machine receives the event as an
// RFC 5424 message over UDP.  The test binds its own port on the loopback
// interface and points the remote reports at it.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "messages/event_log.h"

namespace {
// The datagram split at its first n blanks: n fields and the rest.
std::vector<std::string> Fields(const std::string &datagram, size_t n) {
  std::vector<std::string> fields;
  size_t pos = 0;
  while (fields.size() < n) {
    const size_t blank = datagram.find(' ', pos);
    if (blank == std::string::npos) break;
    fields.push_back(datagram.substr(pos, blank - pos));
    pos = blank + 1;
  }
  fields.push_back(datagram.substr(std::min(pos, datagram.size())));
  return fields;
}

// "YYYY-MM-DDTHH:MM:SS.ffffffZ"
bool IsTimestamp(const std::string &t) {
  static const char kPattern[] = "dddd-dd-ddTdd:dd:dd.ddddddZ";
  if (t.size() != sizeof kPattern - 1) return false;
  for (size_t i = 0; i < t.size(); ++i) {
    if (kPattern[i] == 'd' ? (t[i] < '0' || t[i] > '9') : t[i] != kPattern[i]) return false;
  }
  return true;
}

class Receiver {
 public:
  Receiver() {
    fd_ = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;  // any free port
    socklen_t length = sizeof address;
    if (fd_ >= 0 && bind(fd_, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0 &&
        getsockname(fd_, reinterpret_cast<sockaddr *>(&address), &length) == 0)
      port_ = ntohs(address.sin_port);
  }
  ~Receiver() {
    if (fd_ >= 0) close(fd_);
  }
  uint16_t Port() const { return port_; }
  // The next datagram, or "" after five seconds.
  std::string Next() {
    pollfd p{fd_, POLLIN, 0};
    if (poll(&p, 1, 5000) != 1) return "";
    char buffer[4096];
    const ssize_t n = recv(fd_, buffer, sizeof buffer, 0);
    return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : "";
  }

 private:
  int fd_ = -1;
  uint16_t port_ = 0;
};
}  // namespace

TEST(EventLogUdp, RemoteMachineReceivesAnRfc5424Message) {
  Receiver receiver;
  ASSERT_NE(receiver.Port(), 0);
  SalSetRemoteEventPort(receiver.Port());
  CSalEventLog log("vortBexScanner test");
  log.Open("", "127.0.0.1", 0);  // no local report: nothing goes to syslog
  EXPECT_EQ(log.ReportText(0xE01A0020u, SAL_EVENT_ERROR, "Severe Error x(19) in vortBexScanner.dll"), 1);
  const char *two[] = {"a", "b"};
  EXPECT_EQ(log.ReportStrings(0x60010002u, SAL_EVENT_INFORMATION, two, 2), 1);
  SalSetRemoteEventPort(514);
  const std::string first = receiver.Next();
  const std::string second = receiver.Next();
  // <PRI>1 TIMESTAMP HOST APP-NAME PROCID MSGID - MSG; user facility (8) +
  // error (3) or informational (6); blanks in the source name become "_".
  const std::string pid = std::to_string(getpid());
  const std::vector<std::string> a = Fields(first, 7);
  ASSERT_EQ(a.size(), 8u) << first;
  EXPECT_EQ(a[0], "<11>1");
  EXPECT_TRUE(IsTimestamp(a[1])) << a[1];
  EXPECT_FALSE(a[2].empty());
  EXPECT_EQ(a[3], "vortBexScanner_test");
  EXPECT_EQ(a[4], pid);
  EXPECT_EQ(a[5], "E01A0020");
  EXPECT_EQ(a[6], "-");
  EXPECT_EQ(a[7], "Severe Error x(19) in vortBexScanner.dll");
  const std::vector<std::string> b = Fields(second, 7);
  ASSERT_EQ(b.size(), 8u) << second;
  EXPECT_EQ(b[0], "<14>1");
  EXPECT_EQ(b[5], "60010002");
  EXPECT_EQ(b[7], "a | b");
}

TEST(EventLogUdp, UnresolvableMachineFailsTheReport) {
  CSalEventLog log("vortTest");
  log.Open("", "no-such-host.invalid", 0);
  EXPECT_EQ(log.Report(1, SAL_EVENT_ERROR), 0);
}
