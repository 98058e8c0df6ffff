#include "config/config_value_factory.h"

#include <new>

#include "config/config_value_bool.h"
#include "config/config_value_complex.h"
#include "config/config_value_int.h"
#include "config/config_value_wstr.h"

namespace zevo::config {
namespace {

template <class T>
struct ClassOf {
  using type = CConfigValueInt<T>;
};
template <>
struct ClassOf<bool> {
  using type = CConfigValueBool;
};
template <>
struct ClassOf<std::u16string> {
  using type = CConfigValueWstr;
};
template <>
struct ClassOf<ZEVO_DataHandleWrapper> {
  using type = CConfigValueComplex;
};

// Builds the tag's class with `args` (nothing, or a value message).
template <class... Args>
std::shared_ptr<CConfigValue> Make(std::uint32_t tag, const Args&... args) noexcept {
  try {
    return VisitTagType(tag, std::shared_ptr<CConfigValue>{}, [&]<class T>(T*) -> std::shared_ptr<CConfigValue> {
      return std::make_shared<typename ClassOf<T>::type>(args...);
    });
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

}  // namespace

std::shared_ptr<CConfigValue> CreateConfigValue(std::uint32_t tag) noexcept { return Make(tag); }

std::shared_ptr<CConfigValue> ReadConfigValue(const ZEVO_DataHandleWrapper& command) noexcept {
  std::int32_t tag = 0;
  if (command.GetInt32At(kCommandTagIndex, 0, &tag) < 0) return nullptr;
  if (tag < static_cast<std::int32_t>(kTagComplex) || tag > static_cast<std::int32_t>(kTagWString)) return nullptr;
  ZEVO_DataHandleWrapper value(std::uint32_t{0});
  if (command.GetDataAt(kValueNameId, 0, value) < 0) return nullptr;
  return Make(static_cast<std::uint32_t>(tag), value);
}

}  // namespace zevo::config
