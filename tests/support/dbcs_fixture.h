// dbcs_fixture.h - fixture of the "Dbcs" suites: tests that need the
// process's ANSI code page to be 932 (Shift_JIS).
#ifndef VBS_TESTS_DBCS_FIXTURE_H
#define VBS_TESTS_DBCS_FIXTURE_H

#include <gtest/gtest.h>

#include "base/code_page.h"

/// In the cp932 test runs the process really is in code page 932 (its
/// locale, or Wine's, says so) and the fixture changes nothing; in the
/// ordinary runs it overrides the library's ANSI code page for the test.
/// Suites whose names contain "Dbcs" run in both.
class Cp932Test : public testing::Test {
 protected:
  void SetUp() override {
    if (SalGetAnsiCodePage() != 932) SalOverrideAnsiCodePage(932);
  }
  void TearDown() override { SalOverrideAnsiCodePage(0); }
};

#endif  // VBS_TESTS_DBCS_FIXTURE_H
