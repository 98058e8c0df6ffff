// Log lines the module writes while the object lives, by module name.
#ifndef ZEVO_TESTS_INTEGRATION_COMMON_MODULE_LOG_H_
#define ZEVO_TESTS_INTEGRATION_COMMON_MODULE_LOG_H_

#include <string>
#include <vector>

#include "../../unit/log/log_test_support.h"

namespace zevo::it {

class ModuleLog : public logtest::LineCapture {
 public:
  ModuleLog() { logtest::Configure("Plugin TARSK=1;Core Scan Manager=1;Util COMMON=1"); }
  ~ModuleLog() { logtest::Configure(nullptr); }

  // The texts of `module`'s lines at `level` or above, oldest first.
  std::vector<std::u16string> Texts(const std::u16string& module, int level = 5) const {
    std::vector<std::u16string> texts;
    for (const logtest::CapturedLine& line : Lines()) {
      if (line.module == module && line.level >= level) texts.push_back(line.text);
    }
    return texts;
  }
  std::vector<std::u16string> Plugin(int level = 5) const { return Texts(u"Plugin TARSK", level); }
};

}  // namespace zevo::it

#endif  // ZEVO_TESTS_INTEGRATION_COMMON_MODULE_LOG_H_
