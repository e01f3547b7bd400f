// bexscan.cpp - prints the model of a Bex file, read through the library's
// fourteen exports only (as text, or as JSON with --json).
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "vortBexScanner.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitReadFailed = 1;
constexpr int kExitUsage = 2;

const char kUsage[] =
    "usage: bexscan [--json] FILE\n"
    "\n"
    "Reads the Bex file FILE and prints its model: version, global flags and\n"
    "their four masks, benchmark name, every user group (node, position, name,\n"
    "value, four attributes) and per node its transaction calls (name, value).\n"
    "\n"
    "  --json   print one JSON object instead of text; a name that is not UTF-8\n"
    "           is given with U+FFFD for each bad byte plus a \"...Hex\" field\n"
    "           holding its exact bytes\n"
    "  --help   print this text\n"
    "\n"
    "Exit status: 0 read and printed, 1 the file could not be read (the\n"
    "library's message goes to standard error), 2 usage error.\n";

// Highest node index the format can hold (MAXUSRGRP is signed 16-bit).
constexpr int kMaxNode = 32767;
// Names start in a buffer of this size and are fetched again with a larger
// one when they fill it: a name can be as long as the whole name pool.
constexpr uint32_t kFirstCapacity = 4096;
constexpr uint32_t kLastCapacity = 1u << 30;

struct UserGroup {
  uint16_t node = 0;
  uint16_t position = 0;
  std::string name;
  uint32_t value = 0;
  uint32_t attributes[4] = {0, 0, 0, 0};
};

struct TraCall {
  std::string name;
  uint32_t value = 0;
};

struct NodeCalls {
  int node = 0;
  std::vector<TraCall> calls;
};

struct Model {
  uint32_t version = 0;
  uint32_t flags = 0;
  uint32_t masks[4] = {0, 0, 0, 0};  // & 0x7F000, & 0x42, & 0x4, & 0x8
  std::string benchmark;
  std::vector<UserGroup> groups;
  std::vector<NodeCalls> nodes;  // nodes with user groups or transaction calls
};

// A name copied into a buffer of capacity bytes may have been cut when it
// fills the buffer completely.
bool MayBeCut(const std::vector<char> &buffer) {
  return std::strlen(buffer.data()) + 1 >= buffer.size();
}

std::string BenchmarkName() {
  std::vector<char> buffer(kFirstCapacity);
  for (;;) {
    buffer[0] = '\0';
    GetBenchmarkName(buffer.data(), static_cast<uint32_t>(buffer.size()));
    if (!MayBeCut(buffer) || buffer.size() >= kLastCapacity) return buffer.data();
    buffer.assign(buffer.size() * 2, '\0');
  }
}

// The full name of one user group; GetUserGroupName does not move the walk.
std::string FullUserGroupName(uint16_t node, uint16_t position, std::string cut) {
  std::vector<char> buffer(kFirstCapacity * 2);
  for (;;) {
    buffer[0] = '\0';
    if (GetUserGroupName(static_cast<int16_t>(node), static_cast<int16_t>(position), buffer.data(),
                         static_cast<uint32_t>(buffer.size())) == 0)
      return cut;
    if (!MayBeCut(buffer) || buffer.size() >= kLastCapacity) return buffer.data();
    buffer.assign(buffer.size() * 2, '\0');
  }
}

std::vector<UserGroup> WalkUserGroups() {
  std::vector<UserGroup> groups;
  std::vector<char> name(kFirstCapacity);
  UserGroup g;
  auto fetch = [&](bool first) {
    name[0] = '\0';
    const auto capacity = static_cast<uint32_t>(name.size());
    return first ? GetFirstUserGroup(name.data(), capacity, &g.value, &g.node, &g.position,
                                     &g.attributes[0], &g.attributes[1], &g.attributes[2],
                                     &g.attributes[3])
                 : GetNextUserGroup(name.data(), capacity, &g.value, &g.node, &g.position,
                                    &g.attributes[0], &g.attributes[1], &g.attributes[2],
                                    &g.attributes[3]);
  };
  for (int more = fetch(true); more != 0; more = fetch(false)) {
    g.name = MayBeCut(name) ? FullUserGroupName(g.node, g.position, name.data()) : name.data();
    groups.push_back(g);
  }
  return groups;
}

// One node's calls.  The transaction cursor is shared, so a cut name is
// resolved by walking the node again with a larger buffer.
std::vector<TraCall> WalkTraCalls(int node) {
  for (uint32_t capacity = kFirstCapacity;; capacity *= 2) {
    std::vector<TraCall> calls;
    std::vector<char> name(capacity);
    bool cut = false;
    TraCall c;
    name[0] = '\0';
    for (int more = GetFirstTraCall(static_cast<int16_t>(node), name.data(), capacity, &c.value);
         more != 0;
         more = GetNextTraCall(static_cast<int16_t>(node), name.data(), capacity, &c.value)) {
      c.name = name.data();
      cut = cut || MayBeCut(name);
      calls.push_back(c);
      name[0] = '\0';
    }
    if (!cut || capacity >= kLastCapacity) return calls;
  }
}

Model ReadModel() {
  Model m;
  GetBexInfo(&m.version, &m.flags);
  uint32_t version = 0;
  GetGlobalBexInfoEx(&version, &m.masks[0], &m.masks[1], &m.masks[2], &m.masks[3]);
  m.benchmark = BenchmarkName();
  m.groups = WalkUserGroups();
  // No export tells how many nodes there are: every index the format allows
  // is asked for its calls, and a node shows when it has groups or calls.
  std::vector<bool> hasGroups(kMaxNode + 1, false);
  for (const UserGroup &g : m.groups)
    if (g.node <= kMaxNode) hasGroups[g.node] = true;
  for (int node = 0; node <= kMaxNode; ++node) {
    NodeCalls n;
    n.node = node;
    n.calls = WalkTraCalls(node);
    if (!n.calls.empty() || hasGroups[node]) m.nodes.push_back(std::move(n));
  }
  return m;
}

const char *VariantName(uint32_t version) {
  const auto v = static_cast<int32_t>(version);
  if (version == 891696450) return "B header";
  if (version == 891696470) return "V header";
  if (v % 10 == 0 && v >= 891696480 && v <= 891696610) return "early numbered header";
  if (v % 10 == 0 && v > 891696610 && v <= 891696910) return "full numbered header";
  return "unknown";
}

// ---------------------------------------------------------------------------
// Text of arbitrary bytes
// ---------------------------------------------------------------------------

// Length of the well-formed UTF-8 sequence at s[i] (no overlong forms, no
// surrogates, nothing above U+10FFFF), or 0 when the byte there starts none.
size_t Utf8Sequence(const std::string &s, size_t i) {
  const auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char c = b(i);
  if (c < 0x80) return 1;
  size_t n = 0;
  unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
  if (c >= 0xC2 && c <= 0xDF) {
    n = 2;
  } else if (c >= 0xE0 && c <= 0xEF) {
    n = 3;
    if (c == 0xE0) low = 0xA0;
    if (c == 0xED) high = 0x9F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    n = 4;
    if (c == 0xF0) low = 0x90;
    if (c == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (i + n > s.size()) return 0;
  if (b(i + 1) < low || b(i + 1) > high) return 0;
  for (size_t k = 2; k < n; ++k)
    if (b(i + k) < 0x80 || b(i + k) > 0xBF) return 0;
  return n;
}

bool IsUtf8(const std::string &s) {
  for (size_t i = 0; i < s.size();) {
    const size_t n = Utf8Sequence(s, i);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

void AppendHexByte(std::string &out, const char *prefix, unsigned char c) {
  char hex[8];
  std::snprintf(hex, sizeof hex, "%s%02X", prefix, c);
  out += hex;
}

// For the text output: quoted, with C-style escapes for control bytes,
// quotes, backslashes and bytes that are not part of valid UTF-8.
std::string Quoted(const std::string &s) {
  std::string out = "\"";
  for (size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    const size_t n = Utf8Sequence(s, i);
    if (n > 1) {
      out.append(s, i, n);
      i += n;
      continue;
    }
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c < 0x20 || c >= 0x7F) {
      AppendHexByte(out, "\\x", c);
    } else {
      out += static_cast<char>(c);
    }
    ++i;
  }
  out += '"';
  return out;
}

// A JSON string: valid UTF-8 passes through, control characters and the
// separators U+2028/U+2029 are escaped, each byte outside valid UTF-8
// becomes U+FFFD (the caller adds the exact bytes in hex).
std::string JsonString(const std::string &s) {
  std::string out = "\"";
  for (size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    const size_t n = Utf8Sequence(s, i);
    if (n == 0) {
      out += "\\ufffd";
      ++i;
      continue;
    }
    if (n > 1) {
      // U+2028 and U+2029 are valid JSON but break JavaScript readers.
      if (n == 3 && c == 0xE2 && static_cast<unsigned char>(s[i + 1]) == 0x80 &&
          (static_cast<unsigned char>(s[i + 2]) & 0xFE) == 0xA8) {
        out += static_cast<unsigned char>(s[i + 2]) == 0xA8 ? "\\u2028" : "\\u2029";
      } else {
        out.append(s, i, n);
      }
      i += n;
      continue;
    }
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      default:
        if (c < 0x20 || c == 0x7F) {
          AppendHexByte(out, "\\u00", c);
        } else {
          out += static_cast<char>(c);
        }
    }
    ++i;
  }
  out += '"';
  return out;
}

std::string Hex(const std::string &s) {
  std::string out;
  for (unsigned char c : s) AppendHexByte(out, "", c);
  return out;
}

// "key": "text" and, when the text is not UTF-8, "keyHex": "...".
std::string JsonNameField(const char *key, const std::string &value) {
  std::string out = "\"" + std::string(key) + "\": " + JsonString(value);
  if (!IsUtf8(value)) out += ", \"" + std::string(key) + "Hex\": \"" + Hex(value) + "\"";
  return out;
}

std::string Format(const char *format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char *format, ...) {
  char buffer[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  return buffer;
}

// ---------------------------------------------------------------------------
// Output
// ---------------------------------------------------------------------------

std::string TextReport(const std::string &path, const Model &m) {
  std::string out;
  out += "file         " + Quoted(path) + "\n";
  out += Format("version      %u (0x%08X, %s)\n", m.version, m.version, VariantName(m.version));
  out += Format("flags        0x%08X\n", m.flags);
  out += Format("masks        0x7F000: 0x%08X  0x42: 0x%08X  0x4: 0x%08X  0x8: 0x%08X\n",
                m.masks[0], m.masks[1], m.masks[2], m.masks[3]);
  out += "benchmark    " + Quoted(m.benchmark) + "\n";
  out += "user groups  " + std::to_string(m.groups.size()) + "\n";
  for (const UserGroup &g : m.groups) {
    out += Format("  node %u position %u ", g.node, g.position);
    out += Quoted(g.name);
    out += Format(" value %u attributes %u %u %u %u\n", g.value, g.attributes[0], g.attributes[1],
                  g.attributes[2], g.attributes[3]);
  }
  size_t total = 0;
  for (const NodeCalls &n : m.nodes) total += n.calls.size();
  out += "transaction calls  " + std::to_string(total) + "\n";
  for (const NodeCalls &n : m.nodes) {
    out += Format("  node %d: ", n.node) + std::to_string(n.calls.size()) +
           (n.calls.size() == 1 ? " call\n" : " calls\n");
    for (const TraCall &c : n.calls) out += "    " + Quoted(c.name) + Format(" value %u\n", c.value);
  }
  return out;
}

std::string JsonReport(const std::string &path, const Model &m) {
  std::string out = "{\n";
  out += "  " + JsonNameField("file", path) + ",\n";
  out += Format("  \"version\": %u,\n", m.version);
  out += std::string("  \"variant\": \"") + VariantName(m.version) + "\",\n";
  out += Format("  \"flags\": %u,\n", m.flags);
  out += Format("  \"masks\": {\"0x7F000\": %u, \"0x42\": %u, \"0x4\": %u, \"0x8\": %u},\n",
                m.masks[0], m.masks[1], m.masks[2], m.masks[3]);
  out += "  " + JsonNameField("benchmark", m.benchmark) + ",\n";
  out += "  \"userGroups\": [";
  for (size_t i = 0; i < m.groups.size(); ++i) {
    const UserGroup &g = m.groups[i];
    out += i == 0 ? "\n" : ",\n";
    out += Format("    {\"node\": %u, \"position\": %u, ", g.node, g.position);
    out += JsonNameField("name", g.name);
    out += Format(", \"value\": %u, \"attributes\": [%u, %u, %u, %u]}", g.value, g.attributes[0],
                  g.attributes[1], g.attributes[2], g.attributes[3]);
  }
  out += m.groups.empty() ? "],\n" : "\n  ],\n";
  out += "  \"nodes\": [";
  for (size_t i = 0; i < m.nodes.size(); ++i) {
    const NodeCalls &n = m.nodes[i];
    out += i == 0 ? "\n" : ",\n";
    out += Format("    {\"node\": %d, \"transactionCalls\": [", n.node);
    for (size_t k = 0; k < n.calls.size(); ++k) {
      out += k == 0 ? "" : ", ";
      out += "{" + JsonNameField("name", n.calls[k].name) +
             Format(", \"value\": %u}", n.calls[k].value);
    }
    out += "]}";
  }
  out += m.nodes.empty() ? "]\n" : "\n  ]\n";
  out += "}\n";
  return out;
}

int Usage(const std::string &message) {
  std::fprintf(stderr, "bexscan: %s\nTry 'bexscan --help'.\n", message.c_str());
  return kExitUsage;
}

}  // namespace

int main(int argc, char **argv) {
  bool json = false;
  bool optionsEnded = false;
  const char *path = nullptr;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (!optionsEnded && (a == "--help" || a == "-h")) {
      std::fputs(kUsage, stdout);
      return kExitOk;
    }
    if (!optionsEnded && a == "--json") {
      json = true;
    } else if (!optionsEnded && a == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && a.size() > 1 && a[0] == '-') {
      return Usage("unknown option: " + a);
    } else if (path == nullptr) {
      path = argv[i];
    } else {
      return Usage("one FILE only");
    }
  }
  if (path == nullptr) return Usage("no FILE given");

  if (ReadBex(path) == 0) {
    std::string message = LastRBexErr();
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) message.pop_back();
    if (message.empty()) message = "the library gave no message";
    std::fprintf(stderr, "bexscan: cannot read %s: %s\n", path, message.c_str());
    FreeBex();  // a failed read keeps what it had read so far
    return kExitReadFailed;
  }
  const Model model = ReadModel();
  FreeBex();
  const std::string report = json ? JsonReport(path, model) : TextReport(path, model);
  if (std::fwrite(report.data(), 1, report.size(), stdout) != report.size() || std::fflush(stdout) != 0) {
    std::fprintf(stderr, "bexscan: cannot write the report\n");
    return kExitReadFailed;
  }
  return kExitOk;
}
