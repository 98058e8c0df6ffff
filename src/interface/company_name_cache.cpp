#include "interface/company_name_cache.h"

#include <exception>

namespace zevo::iface {

bool CompanyNameCache::NameOf(std::int32_t id, std::u16string_view text, std::u16string& name) noexcept {
  try {
    Guard guard(mutex_);
    auto entry = names_.find(id);
    if (entry == names_.end()) entry = names_.emplace(id, text).first;
    name.assign(entry->second);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

std::size_t CompanyNameCache::size() const noexcept {
  Guard guard(mutex_);
  return names_.size();
}

}  // namespace zevo::iface
