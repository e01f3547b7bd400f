// scoped_env.h - sets or removes an environment variable for one test.
#ifndef VBS_TESTS_SCOPED_ENV_H
#define VBS_TESTS_SCOPED_ENV_H

#include <string>

/// Sets name to value (null: removes it) and restores the old state when
/// it goes out of scope.  Both the runtime's and the process's environment
/// change, so system calls that read the environment see the value too.
class ScopedEnv {
 public:
  ScopedEnv(const char *name, const char *value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv &) = delete;
  ScopedEnv &operator=(const ScopedEnv &) = delete;

 private:
  void Put(const char *value);

  std::string name_;
  std::string old_;
  bool had_ = false;
};

#endif  // VBS_TESTS_SCOPED_ENV_H
