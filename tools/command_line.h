// command_line.h - what the command-line tools share: their exit statuses
// and the report of a usage error.  Header-only: bexscan links the shipped
// library alone.
#ifndef VBS_TOOLS_COMMAND_LINE_H
#define VBS_TOOLS_COMMAND_LINE_H

#include <cstdio>
#include <string>

namespace tools {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;  // the tool could not do its work
constexpr int kExitUsage = 2;

/// Writes "program: message" and a pointer to --help to standard error;
/// returns kExitUsage.
inline int UsageError(const char *program, const std::string &message) {
  std::fprintf(stderr, "%s: %s\nTry '%s --help'.\n", program, message.c_str(), program);
  return kExitUsage;
}

}  // namespace tools

#endif  // VBS_TOOLS_COMMAND_LINE_H
