#include "config/config_value_bool.h"

#include <new>

#include "config/value_encoding.h"

namespace zevo::config {

std::optional<bool> CConfigValueBool::Datum() const noexcept {
  std::int32_t stored = 0;
  if (!GetDatum(Message(), stored)) return std::nullopt;
  return stored != 0;
}

std::int32_t CConfigValueBool::Store(bool datum) noexcept {
  auto fresh = NewValueMessage(std::int32_t{datum ? 1 : 0});
  if (!fresh) return kUnsupported;
  Replace(*fresh);
  return kCommonOk;
}

std::int32_t CConfigValueBool::GetValue(bool& out) const noexcept {
  const std::optional<bool> datum = Datum();
  if (!datum) return kUnsupported;
  out = *datum;
  return kCommonOk;
}

std::int32_t CConfigValueBool::GetValue(std::u16string& out) const noexcept {
  const std::optional<bool> datum = Datum();
  if (!datum) return kUnsupported;
  try {
    out = *datum ? u"1" : u"0";
  } catch (const std::bad_alloc&) {
    return kUnsupported;
  }
  return kCommonOk;
}

std::int32_t CConfigValueBool::SetValue(const std::u16string& value) noexcept {
  if (value == u"1") return Store(true);
  if (value == u"0") return Store(false);
  return kUnsupported;
}

}  // namespace zevo::config
