// bexscan.cpp - prints the model of a Bex file, read through the library's
// fourteen exports only (as text, or as JSON with --json).
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/unicode.h"
#include "reader/bex_format.h"
#include "tools/command_line.h"
#include "vortBexScanner.h"

namespace {

using tools::kExitOk;
constexpr int kExitReadFailed = tools::kExitFailure;

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
  switch (bex::VariantOf(version)) {
    case bex::Variant::kB: return "B header";
    case bex::Variant::kV: return "V header";
    case bex::Variant::kEarlyNumbered: return "early numbered header";
    case bex::Variant::kFullNumbered: return "full numbered header";
    case bex::Variant::kUnknown: break;
  }
  return "unknown";
}

// ---------------------------------------------------------------------------
// Text of arbitrary bytes
// ---------------------------------------------------------------------------

// Length of the well-formed UTF-8 sequence at s[i] (no overlong forms, no
// surrogates, nothing above U+10FFFF), or 0 when the byte there starts none.
size_t Utf8Sequence(const std::string &s, size_t i) {
  const auto *p = reinterpret_cast<const uint8_t *>(s.data()) + i;
  const size_t n = SalUtf8WellFormedPrefix(p, s.size() - i);
  return n == static_cast<size_t>(SalUtf8LeadOf(p[0]).length) ? n : 0;
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

// How a quoted text escapes its bytes.  Whole UTF-8 sequences pass through;
// a byte with a short escape gets it; other control bytes, DEL and (for the
// text output) bytes outside valid UTF-8 are written in hex.
struct Escapes {
  const char *shortBytes;    // the bytes with a short escape
  const char *shortLetters;  // the letter after the backslash of each
  const char *hexPrefix;
  bool json;  // bytes outside valid UTF-8 become U+FFFD; U+2028 and U+2029 are escaped
};

constexpr Escapes kTextEscapes = {"\"\\\n\t\r", "\"\\ntr", "\\x", false};
constexpr Escapes kJsonEscapes = {"\"\\\n\r\t\b\f", "\"\\nrtbf", "\\u00", true};

std::string Quoted(const std::string &s, const Escapes &e) {
  std::string out = "\"";
  for (size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    const size_t n = Utf8Sequence(s, i);
    if (n == 0 && e.json) {
      out += "\\ufffd";
      ++i;
      continue;
    }
    if (n > 1) {
      // U+2028 and U+2029 are valid JSON but break JavaScript readers.
      if (e.json && n == 3 && c == 0xE2 && static_cast<unsigned char>(s[i + 1]) == 0x80 &&
          (static_cast<unsigned char>(s[i + 2]) & 0xFE) == 0xA8) {
        out += static_cast<unsigned char>(s[i + 2]) == 0xA8 ? "\\u2028" : "\\u2029";
      } else {
        out.append(s, i, n);
      }
      i += n;
      continue;
    }
    const char *form = c == 0 ? nullptr : std::strchr(e.shortBytes, c);
    if (form != nullptr) {
      out += '\\';
      out += e.shortLetters[form - e.shortBytes];
    } else if (c < 0x20 || c >= 0x7F) {
      AppendHexByte(out, e.hexPrefix, c);
    } else {
      out += static_cast<char>(c);
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
  std::string out = "\"" + std::string(key) + "\": " + Quoted(value, kJsonEscapes);
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
  out += "file         " + Quoted(path, kTextEscapes) + "\n";
  out += Format("version      %u (0x%08X, %s)\n", m.version, m.version, VariantName(m.version));
  out += Format("flags        0x%08X\n", m.flags);
  out += Format("masks        0x7F000: 0x%08X  0x42: 0x%08X  0x4: 0x%08X  0x8: 0x%08X\n",
                m.masks[0], m.masks[1], m.masks[2], m.masks[3]);
  out += "benchmark    " + Quoted(m.benchmark, kTextEscapes) + "\n";
  out += "user groups  " + std::to_string(m.groups.size()) + "\n";
  for (const UserGroup &g : m.groups) {
    out += Format("  node %u position %u ", g.node, g.position);
    out += Quoted(g.name, kTextEscapes);
    out += Format(" value %u attributes %u %u %u %u\n", g.value, g.attributes[0], g.attributes[1],
                  g.attributes[2], g.attributes[3]);
  }
  size_t total = 0;
  for (const NodeCalls &n : m.nodes) total += n.calls.size();
  out += "transaction calls  " + std::to_string(total) + "\n";
  for (const NodeCalls &n : m.nodes) {
    out += Format("  node %d: ", n.node) + std::to_string(n.calls.size()) +
           (n.calls.size() == 1 ? " call\n" : " calls\n");
    for (const TraCall &c : n.calls) out += "    " + Quoted(c.name, kTextEscapes) + Format(" value %u\n", c.value);
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

int Usage(const std::string &message) { return tools::UsageError("bexscan", message); }

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
