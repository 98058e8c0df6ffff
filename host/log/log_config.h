// Module levels as configured by the ZEVO_LOG environment variable.
#ifndef ZEVO_HOST_LOG_LOG_CONFIG_H_
#define ZEVO_HOST_LOG_LOG_CONFIG_H_

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace zevo::hostlog {

class ModuleLevels {
 public:
  // Parses "name=level;name=level;...". Malformed entries are skipped; the
  // rules are those documented in zevo/log.h.
  static ModuleLevels Parse(std::u16string_view text);

  // 0 for a module that was not configured.
  int32_t LevelOf(std::u16string_view module) const;

 private:
  std::map<std::u16string, int32_t, std::less<>> levels_;
};

}  // namespace zevo::hostlog

#endif  // ZEVO_HOST_LOG_LOG_CONFIG_H_
