// event_log_udp_test.cpp - POSIX: a remote machine receives the event as an
// RFC 5424 message over UDP.  The test binds its own port on the loopback
// interface and points the remote reports at it.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cctype>
#include <sstream>
#include <string>

#include "messages/event_log.h"

namespace {
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

// "<PRI>1 TIMESTAMP HOST APP-NAME PROCID MSGID - MSG" with the timestamp's
// digits shown as 'd' and a host name, whatever it is, as HOST.
std::string Shape(const std::string &datagram) {
  std::istringstream in(datagram);
  std::string head, stamp, host, rest;
  in >> head >> stamp >> host;
  std::getline(in, rest);
  for (char &c : stamp)
    if (std::isdigit(static_cast<unsigned char>(c))) c = 'd';
  return head + " " + stamp + (host.empty() ? " " : " HOST") + rest;
}
}  // namespace

TEST(EventLogUdp, RemoteMachineReceivesAnRfc5424Message) {
  Receiver receiver;
  ASSERT_NE(receiver.Port(), 0);
  SalSetRemoteEventPort(receiver.Port());
  CSalEventLog log("vortBexScanner test");
  EXPECT_EQ(log.Open("", "127.0.0.1", 0), 1);  // no local report: nothing goes to syslog
  EXPECT_EQ(log.ReportText(0xE01A0020u, SAL_EVENT_ERROR, "Severe Error x(19) in vortBexScanner.dll"), 1);
  const char *two[] = {"a", "b"};
  EXPECT_EQ(log.ReportStrings(0x60010002u, SAL_EVENT_INFORMATION, two, 2), 1);
  SalSetRemoteEventPort(514);
  // User facility (8) + error (3) or informational (6); blanks in the source
  // name become "_".
  const std::string head = " dddd-dd-ddTdd:dd:dd.ddddddZ HOST vortBexScanner_test " + std::to_string(getpid());
  EXPECT_EQ(Shape(receiver.Next()), "<11>1" + head + " E01A0020 - Severe Error x(19) in vortBexScanner.dll");
  EXPECT_EQ(Shape(receiver.Next()), "<14>1" + head + " 60010002 - a | b");

  // With a local machine and no remote one the report goes to the system log.
  CSalEventLog local("vortBexScanner test");
  EXPECT_EQ(local.Open("localhost", "", 0), 1);
  EXPECT_EQ(local.ReportText(0x60010002u, SAL_EVENT_INFORMATION, "a local report"), 1);

  CSalEventLog unresolvable("vortTest");
  unresolvable.Open("", "no-such-host.invalid", 0);
  EXPECT_EQ(unresolvable.Report(1, SAL_EVENT_ERROR), 0);
}
