// test_main.cpp - main of every GoogleTest program: with VBS_TEST_CTYPE set,
// the process takes its character type (and so its ANSI code page on POSIX)
// from the environment's locale before any test runs.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>

namespace {
// Exit status CTest reads as "skipped" (SKIP_RETURN_CODE of the code-page runs).
constexpr int kSkipped = 77;
}  // namespace

int main(int argc, char **argv) {
  testing::InitGoogleTest(&argc, argv);
  const char *adopt = std::getenv("VBS_TEST_CTYPE");
  if (adopt != nullptr && *adopt != '\0' && std::setlocale(LC_CTYPE, "") == nullptr) {
    // Without the locale these tests would run in the wrong code page and
    // prove nothing: say so and count as skipped, not as passed.
    const char *all = std::getenv("LC_ALL");
    const char *path = std::getenv("LOCPATH");
    std::fprintf(stderr,
                 "SKIPPED: the locale LC_ALL=%s is not installed%s%s; the fixture cp932_locale "
                 "generates it with localedef\n",
                 all != nullptr ? all : "(unset)", path != nullptr ? " in LOCPATH=" : "",
                 path != nullptr ? path : "");
    return kSkipped;
  }
  return RUN_ALL_TESTS();
}
