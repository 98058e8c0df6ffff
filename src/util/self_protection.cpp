#include "util/self_protection.h"

#include <atomic>
#include <cstddef>
#include <string>
#include <string_view>

#include "os/registry.h"
#include "util/install_path.h"
#include "util/reg_key.h"
#include "util/sys_config_manager.h"
#include "zevo/result.h"

namespace zevo::util {

namespace {

// Written on first use, never reset while the module lives. Atomic so that
// two first callers racing is well defined; both store the same answer.
std::atomic<std::int32_t> moduleLoadCheck{kModuleLoadCheckUnknown};

// The configuration name of a switch; empty for an unknown identifier.
std::u16string_view SwitchName(std::uint32_t id) {
  switch (id) {
    case kSpRestartAndRevert:
      return kSysConfigRestartAndRevert;
    case kSpModuleLoad:
      return kSysConfigModuleLoad;
    case kSpMainObjective:
      return kSysConfigMainObjective;
    default:
      return {};
  }
}

// The value of the text's leading decimal digits, after an optional '+', as
// far as it can matter here: anything above 1 stays above 1 without
// overflowing.
std::uint32_t LeadingNumber(std::u16string_view text) {
  if (text.starts_with(u'+')) text.remove_prefix(1);
  std::uint32_t value = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') break;
    value = value > 10 ? value : value * 10 + static_cast<std::uint32_t>(c - u'0');
  }
  return value;
}

}  // namespace

bool IsSelfProtectionOptionOn(std::uint32_t id) noexcept {
  try {
    RegKey key;
    if (key.Open(os::RegistryRoot::kLocalMachine, kInstallKeyPath, os::kKeyRead) != os::kRegSuccess) {
      return false;
    }
    std::u16string installFolder;
    if (key.QueryString(kInstallValueName, installFolder) != os::kRegSuccess) {
      return false;
    }
    key.Close();

    const std::u16string_view name = SwitchName(id);
    if (name.empty()) return false;

    SysConfigManager store(installFolder, std::u16string(kSysConfigFileName));
    store.Load();
    std::u16string value;
    const std::int32_t status = store.GetSysConfig(kSysConfigGroupAll, name, value);
    store.Close();
    return status == kCommonOk && LeadingNumber(value) == 1;
  } catch (...) {
    return false;  // out of memory: the switch counts as off
  }
}

bool IsModuleLoadCheckOn() noexcept {
  if (moduleLoadCheck.load(std::memory_order_relaxed) == kModuleLoadCheckUnknown) {
    moduleLoadCheck.store(IsSelfProtectionOptionOn(kSpModuleLoad) ? kModuleLoadCheckOn : kModuleLoadCheckOff,
                          std::memory_order_relaxed);
  }
  return moduleLoadCheck.load(std::memory_order_relaxed) == kModuleLoadCheckOn;
}

std::int32_t ModuleLoadCheckCacheForTesting() noexcept { return moduleLoadCheck.load(std::memory_order_relaxed); }

void SetModuleLoadCheckCacheForTesting(std::int32_t value) noexcept {
  moduleLoadCheck.store(value, std::memory_order_relaxed);
}

}  // namespace zevo::util
