// scoped_env.cpp - ScopedEnv over putenv, which both runtimes have.
#include "support/scoped_env.h"

#include <cstdlib>
#include <list>

#include "base/sal_config.h"

ScopedEnv::ScopedEnv(const char *name, const char *value) : name_(name) {
  const char *old = std::getenv(name);
  had_ = old != nullptr;
  if (had_) old_ = old;
  Put(value);
}

ScopedEnv::~ScopedEnv() { Put(had_ ? old_.c_str() : nullptr); }

void ScopedEnv::Put(const char *value) {
  // putenv keeps the string itself: these live to the end of the process.
  static std::list<std::string> keep;
  if (value != nullptr)
    keep.push_back(name_ + "=" + value);
  else  // each runtime's way of removing a variable
    keep.push_back(SAL_OS_WINDOWS ? name_ + "=" : name_);
  putenv(const_cast<char *>(keep.back().c_str()));
}
