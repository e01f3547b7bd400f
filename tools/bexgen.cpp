// bexgen.cpp - writes Bex files: the demo, every header variant, large
// synthetic bodies, deliberately broken variants and a fuzzing seed corpus.
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "tools/bex_synthetic.h"
#include "tools/bex_writer.h"
#include "tools/command_line.h"

namespace {

using bexgen::BexSpec;
using tools::kExitFailure;
using tools::kExitOk;

const char kUsage[] =
    "usage: bexgen COMMAND ARGS... OUT\n"
    "\n"
    "Writes Bex files. The output depends only on the arguments.\n"
    "\n"
    "commands:\n"
    "  demo OUT                          the small sample file (every feature of the format)\n"
    "  header b SWITCH1 SWITCH2 OUT      B header (312 bytes, no body)\n"
    "  header v SWITCH1 SWITCH2 SWITCH3 OUT\n"
    "                                    V header (336 bytes, no body)\n"
    "  header early VERSION LENGTH FLAGS OUT\n"
    "                                    early numbered header of LENGTH bytes, no body\n"
    "  header full VERSION FLAGS OUT     full numbered header with an empty body\n"
    "  synthetic [OPTIONS] OUT           a large generated file:\n"
    "      --size N[K|M|G]   target file size (binary units; default 1M; 0: no padding)\n"
    "      --nodes N         user-group nodes, at most 32768 (default 256)\n"
    "      --calls N         transaction calls, at most 32768 (default 1024)\n"
    "      --users N         users per node (default 4; varied 0..2N unless --fixed-users)\n"
    "      --fixed-users     exactly --users users in every node\n"
    "      --mix S:M:L       weights of skipped-stream sizes 0-64 / 65-4096 / 4097-65536 bytes\n"
    "                        (default 70:25:5)\n"
    "      --pool-names N    distinct names shared by all references (default 0: one each)\n"
    "      --no-leading      no leading stream; the last call's stream takes the padding\n"
    "      --version V       full numbered version word (default 891696910)\n"
    "      --seed N          generator seed (default 1)\n"
    "  broken KIND [--from FILE] [--at OFFSET] OUT\n"
    "                                    a faulty variant of FILE (default: the demo file)\n"
    "  broken --list                     the fault kinds\n"
    "  corpus DIR                        a fuzzing seed set: every header variant, the demo,\n"
    "                                    small synthetic files, truncations, broken kinds\n"
    "\n"
    "Numbers may be decimal or 0x-prefixed hexadecimal.\n"
    "Exit status: 0 written, 1 cannot write or cannot build the variant, 2 usage error.\n";

int Usage(const std::string &message) { return tools::UsageError("bexgen", message); }

std::optional<uint64_t> ParseNumber(const std::string &text, uint64_t max) {
  if (text.empty() || text[0] == '-' || text[0] == '+') return std::nullopt;
  errno = 0;
  char *end = nullptr;
  const unsigned long long v = std::strtoull(text.c_str(), &end, 0);
  if (errno != 0 || *end != '\0' || v > max) return std::nullopt;
  return v;
}

// "16M", "4MiB", "1024", "2G".
std::optional<uint64_t> ParseSize(const std::string &text) {
  size_t digits = 0;
  while (digits < text.size() && (std::isxdigit(static_cast<unsigned char>(text[digits])) ||
                                  text[digits] == 'x' || text[digits] == 'X'))
    ++digits;
  std::string unit = text.substr(digits);
  uint64_t scale = 1;
  if (unit == "K" || unit == "KiB" || unit == "k") scale = 1ull << 10;
  else if (unit == "M" || unit == "MiB") scale = 1ull << 20;
  else if (unit == "G" || unit == "GiB") scale = 1ull << 30;
  else if (!unit.empty()) return std::nullopt;
  const std::optional<uint64_t> n = ParseNumber(text.substr(0, digits), (1ull << 40) / scale);
  if (!n) return std::nullopt;
  return *n * scale;
}

bool WriteFile(const std::string &path, const std::vector<uint8_t> &bytes, bool report = true) {
  std::FILE *f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) {
    std::fprintf(stderr, "bexgen: cannot create %s: %s\n", path.c_str(), std::strerror(errno));
    return false;
  }
  const bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  const bool closed = std::fclose(f) == 0;
  if (!written || !closed) {
    std::fprintf(stderr, "bexgen: cannot write %s\n", path.c_str());
    return false;
  }
  if (report) std::printf("%s: %zu bytes\n", path.c_str(), bytes.size());
  return true;
}

bool ReadFile(const std::string &path, std::vector<uint8_t> *bytes) {
  std::FILE *f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) {
    std::fprintf(stderr, "bexgen: cannot open %s: %s\n", path.c_str(), std::strerror(errno));
    return false;
  }
  bytes->clear();
  unsigned char buffer[65536];
  size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes->insert(bytes->end(), buffer, buffer + n);
  const bool ok = std::ferror(f) == 0;
  std::fclose(f);
  if (!ok) std::fprintf(stderr, "bexgen: cannot read %s\n", path.c_str());
  return ok;
}

// A full numbered file whose body holds nothing: empty pool, no nodes, no calls.
std::vector<uint8_t> EmptyBody(uint32_t version, uint32_t flags) {
  BexSpec spec;
  spec.version = version;
  spec.flags = flags;
  return bexgen::WriteBex(spec);
}

int CmdDemo(const std::vector<std::string> &args) {
  if (args.size() != 1) return Usage("demo takes exactly one argument: OUT");
  return WriteFile(args[0], bexgen::WriteBex(bexgen::DemoSpec())) ? kExitOk : kExitFailure;
}

int CmdHeader(const std::vector<std::string> &args) {
  if (args.empty()) return Usage("header needs a variant: b, v, early or full");
  const std::string &variant = args[0];
  std::vector<uint32_t> n;
  for (size_t i = 1; i + 1 < args.size(); ++i) {
    const std::optional<uint64_t> v = ParseNumber(args[i], 0xFFFFFFFF);
    if (!v) return Usage("not a 32-bit number: " + args[i]);
    n.push_back(static_cast<uint32_t>(*v));
  }
  const std::string &out = args.back();
  std::vector<uint8_t> bytes;
  if (variant == "b" && n.size() == 2) {
    bytes = bexgen::WriteBHeader(n[0], n[1]);
  } else if (variant == "v" && n.size() == 3) {
    bytes = bexgen::WriteVHeader(n[0], n[1], n[2]);
  } else if (variant == "early" && n.size() == 3) {
    // The composer writes LENGTH bytes; a length above a sane header size
    // is written as asked (the reader must cope), but not beyond 1 MiB.
    if (n[1] > (1u << 20)) return Usage("early header LENGTH above 1 MiB");
    bytes = bexgen::WriteEarlyHeader(n[0], n[1], n[2]);
  } else if (variant == "full" && n.size() == 2) {
    bytes = EmptyBody(n[0], n[1]);
  } else {
    return Usage("header " + variant + ": wrong variant or number of arguments");
  }
  return WriteFile(out, bytes) ? kExitOk : kExitFailure;
}

int CmdSynthetic(const std::vector<std::string> &args) {
  bexgen::SyntheticParams params;
  std::optional<std::string> out;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string &a = args[i];
    auto value = [&](uint64_t max) -> std::optional<uint64_t> {
      if (i + 1 >= args.size()) return std::nullopt;
      return ParseNumber(args[++i], max);
    };
    if (a == "--size") {
      if (i + 1 >= args.size()) return Usage("--size needs a value");
      const std::optional<uint64_t> size = ParseSize(args[++i]);
      if (!size) return Usage("bad --size: " + args[i]);
      params.targetBytes = *size;
    } else if (a == "--nodes" || a == "--calls" || a == "--users" || a == "--pool-names" ||
               a == "--version" || a == "--seed") {
      const std::optional<uint64_t> v = value(a == "--seed" ? ~0ull : 0xFFFFFFFF);
      if (!v) return Usage("bad or missing value for " + a);
      if (a == "--nodes") params.nodes = static_cast<uint32_t>(*v);
      if (a == "--calls") params.calls = static_cast<uint32_t>(*v);
      if (a == "--users") params.usersPerNode = static_cast<uint32_t>(*v);
      if (a == "--pool-names") params.poolNames = static_cast<uint32_t>(*v);
      if (a == "--version") params.version = static_cast<uint32_t>(*v);
      if (a == "--seed") params.seed = *v;
    } else if (a == "--fixed-users") {
      params.varyUsers = false;
    } else if (a == "--no-leading") {
      params.leadingStream = false;
    } else if (a == "--mix") {
      if (i + 1 >= args.size()) return Usage("--mix needs S:M:L");
      const std::string &m = args[++i];
      const size_t c1 = m.find(':');
      const size_t c2 = c1 == std::string::npos ? c1 : m.find(':', c1 + 1);
      if (c2 == std::string::npos) return Usage("bad --mix: " + m);
      const auto s = ParseNumber(m.substr(0, c1), 1000000);
      const auto md = ParseNumber(m.substr(c1 + 1, c2 - c1 - 1), 1000000);
      const auto l = ParseNumber(m.substr(c2 + 1), 1000000);
      if (!s || !md || !l) return Usage("bad --mix: " + m);
      params.mix = {static_cast<uint32_t>(*s), static_cast<uint32_t>(*md), static_cast<uint32_t>(*l)};
    } else if (a.size() > 1 && a[0] == '-') {
      return Usage("unknown option: " + a);
    } else if (!out) {
      out = a;
    } else {
      return Usage("synthetic takes one OUT");
    }
  }
  if (!out) return Usage("synthetic needs OUT");
  const std::string problem = bexgen::CheckSyntheticParams(params);
  if (!problem.empty()) return Usage(problem);
  return WriteFile(*out, bexgen::WriteBex(bexgen::SyntheticSpec(params))) ? kExitOk : kExitFailure;
}

int CmdBroken(const std::vector<std::string> &args) {
  if (args.size() == 1 && args[0] == "--list") {
    for (const bexgen::BrokenKindInfo &info : bexgen::BrokenKinds())
      std::printf("%-22s %s\n", info.name, info.description);
    return kExitOk;
  }
  std::optional<std::string> kindName, from, out;
  std::optional<uint64_t> at;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--from" && i + 1 < args.size()) {
      from = args[++i];
    } else if (args[i] == "--at" && i + 1 < args.size()) {
      at = ParseNumber(args[++i], ~0ull);
      if (!at) return Usage("bad --at: " + args[i]);
    } else if (args[i].size() > 1 && args[i][0] == '-') {
      return Usage("unknown or incomplete option: " + args[i]);
    } else if (!kindName) {
      kindName = args[i];
    } else if (!out) {
      out = args[i];
    } else {
      return Usage("broken takes KIND and OUT");
    }
  }
  if (!kindName || !out) return Usage("broken needs KIND and OUT (see 'bexgen broken --list')");
  const std::optional<bexgen::BrokenKind> kind = bexgen::BrokenKindFromName(*kindName);
  if (!kind) return Usage("unknown fault kind: " + *kindName + " (see 'bexgen broken --list')");
  std::vector<uint8_t> good;
  if (from) {
    if (!ReadFile(*from, &good)) return kExitFailure;
  } else {
    good = bexgen::WriteBex(bexgen::DemoSpec());
  }
  const std::optional<std::vector<uint8_t>> bad = bexgen::MakeBroken(good, *kind, at);
  if (!bad) {
    std::fprintf(stderr,
                 "bexgen: cannot make %s: the input is not a well-formed full numbered file or "
                 "lacks what the fault changes\n",
                 kindName->c_str());
    return kExitFailure;
  }
  return WriteFile(*out, *bad) ? kExitOk : kExitFailure;
}

int CmdCorpus(const std::vector<std::string> &args) {
  if (args.size() != 1) return Usage("corpus takes exactly one argument: DIR");
  const std::filesystem::path dir(args[0]);
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (ec) {
    std::fprintf(stderr, "bexgen: cannot create %s: %s\n", args[0].c_str(), ec.message().c_str());
    return kExitFailure;
  }
  size_t count = 0;
  bool ok = true;
  auto put = [&](const std::string &name, const std::vector<uint8_t> &bytes) {
    ok = WriteFile((dir / name).string(), bytes, false) && ok;
    ++count;
  };

  // Header variants.
  std::vector<uint8_t> data300(300);
  for (size_t i = 0; i < data300.size(); ++i) data300[i] = static_cast<uint8_t>(i * 7);
  for (uint32_t s1 = 0; s1 < 2; ++s1)
    for (uint32_t s2 = 0; s2 < 2; ++s2)
      put("header-b-" + std::to_string(s1) + std::to_string(s2) + ".bex",
          bexgen::WriteBHeader(s1, s2 * 5, data300));
  for (uint32_t bits = 0; bits < 8; ++bits)
    put("header-v-" + std::to_string(bits) + ".bex",
        bexgen::WriteVHeader(bits & 1, bits & 2, bits & 4));
  const struct {
    uint32_t version, length, flags;
  } early[] = {{bexgen::kVersionEarlyFirst, 8, 0},  {891696600, 364, 0x4F},
               {bexgen::kVersionEarlyLast, 352, 1}, {891696500, 353, 0x7F04F},
               {891696550, 200, 0},                 {891696490, 364, 0xFFFFFFFF}};
  for (const auto &e : early)
    put("header-early-" + std::to_string(e.version) + "-" + std::to_string(e.length) + ".bex",
        bexgen::WriteEarlyHeader(e.version, e.length, e.flags));
  put("full-empty-first.bex", EmptyBody(bexgen::kVersionFullFirst, 0x4F));
  put("full-empty-current.bex", EmptyBody(bexgen::kVersionCurrent, 0x7F04F));

  // The demo and variants of its header length (the stream indicator lives
  // at offset 340, so a header shorter than 344 bytes cannot announce one).
  const BexSpec demo = bexgen::DemoSpec();
  const std::vector<uint8_t> demoImage = bexgen::WriteBex(demo);
  put("demo.bex", demoImage);
  BexSpec shortHeader = demo;
  shortHeader.headerLength = 344;
  put("demo-header-344.bex", bexgen::WriteBex(shortHeader));
  shortHeader.headerLength = 270;
  shortHeader.leadingStream.reset();
  put("demo-header-270.bex", bexgen::WriteBex(shortHeader));
  shortHeader.headerLength = 8;
  put("demo-header-8.bex", bexgen::WriteBex(shortHeader));

  // Small synthetic files: a few kilobytes, so that the fuzzer stays fast.
  for (uint64_t seed = 1; seed <= 4; ++seed) {
    bexgen::SyntheticParams p;
    p.seed = seed;
    p.nodes = static_cast<uint32_t>(2 + seed * 2);
    p.calls = static_cast<uint32_t>(seed * 5);
    p.usersPerNode = 2;
    p.mix = {1, 0, 0};
    p.poolNames = seed % 2 == 0 ? 6 : 0;
    p.leadingStream = seed % 2 == 1;
    p.targetBytes = 0;
    put("synthetic-" + std::to_string(seed) + ".bex", bexgen::WriteBex(bexgen::SyntheticSpec(p)));
  }

  // Truncations at and around every structure boundary of the demo.
  if (const std::optional<bexgen::BexLayout> layout = bexgen::LocateLayout(demoImage)) {
    std::vector<size_t> cuts = {7, 100, layout->headerLength - 1, layout->headerLength + 1,
                                layout->namelist + 2, layout->poolLength + 5,
                                layout->maxUsrGrp + 1, layout->maxTra + 1, layout->end - 1};
    if (!layout->nodes.empty()) {
      cuts.push_back(layout->nodes[0].record + 10);
      cuts.push_back(layout->nodes[0].valueStream + 2);
    }
    if (!layout->calls.empty()) {
      cuts.push_back(layout->calls.back().record + 20);
      cuts.push_back(layout->calls.back().skipped + 4);
    }
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    for (size_t cut : cuts)
      if (cut < demoImage.size())
        put("truncated-" + std::to_string(cut) + ".bex",
            std::vector<uint8_t>(demoImage.begin(), demoImage.begin() + static_cast<std::ptrdiff_t>(cut)));
  }

  // Every broken kind that applies to the demo.
  for (const bexgen::BrokenKindInfo &info : bexgen::BrokenKinds())
    if (const auto bad = bexgen::MakeBroken(demoImage, info.kind))
      put(std::string("broken-") + info.name + ".bex", *bad);

  if (!ok) return kExitFailure;
  std::printf("%s: %zu files\n", args[0].c_str(), count);
  return kExitOk;
}

}  // namespace

int main(int argc, char **argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) return Usage("no command");
  if (args[0] == "--help" || args[0] == "-h") {
    std::fputs(kUsage, stdout);
    return kExitOk;
  }
  const std::string command = args[0];
  args.erase(args.begin());
  if (command == "demo") return CmdDemo(args);
  if (command == "header") return CmdHeader(args);
  if (command == "synthetic") return CmdSynthetic(args);
  if (command == "broken") return CmdBroken(args);
  if (command == "corpus") return CmdCorpus(args);
  return Usage("unknown command: " + command);
}
