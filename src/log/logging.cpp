#include "log/logging.h"

#include <algorithm>
#include <limits>

#include "log/log_api.h"

namespace zevo::logging {

void* HandleIfEnabled(const Site& site, int32_t level) noexcept {
  const LogApi& api = CurrentLogApi();
  void* const handle = api.get_default_handle();
  if (handle == nullptr) return nullptr;
  const int32_t configured = api.get_log_level(handle, site.module);
  return configured >= 1 && configured <= level ? handle : nullptr;
}

void Flush(void* handle, const Site& site, int32_t level, int32_t line, std::u16string_view text) noexcept {
  constexpr size_t kMaxChars = std::numeric_limits<uint32_t>::max() / sizeof(char16_t);
  const size_t chars = std::min(text.size(), kMaxChars);
  CurrentLogApi().flush(handle, site.module, level, site.file, line, text.data(),
                        static_cast<uint32_t>(chars * sizeof(char16_t)));
}

}  // namespace zevo::logging
