// An environment variable set for one scope, removed after it.
#ifndef ZEVO_TESTS_INTEGRATION_COMMON_SCOPED_ENV_H_
#define ZEVO_TESTS_INTEGRATION_COMMON_SCOPED_ENV_H_

#include <string>

#include "../../unit/log/log_test_support.h"

namespace zevo::it {

class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) { logtest::SetEnv(name, value.c_str()); }
  ~ScopedEnv() { logtest::UnsetEnv(name_.c_str()); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
};

}  // namespace zevo::it

#endif  // ZEVO_TESTS_INTEGRATION_COMMON_SCOPED_ENV_H_
