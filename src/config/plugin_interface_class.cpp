#include "config/plugin_interface_class.h"

#include "zevo/result.h"

namespace zevo::config {

PluginInterfaceClass::PluginInterfaceClass(SPluginInterfaceOrganizer* organizer, std::uint32_t moduleId,
                                           std::uint32_t interfaceId) noexcept
    : organizer_(organizer) {
  if (organizer_ == nullptr || organizer_->OpenInterface == nullptr) return;
  handle_ = organizer_->OpenInterface(organizer_, MakeModulePair(moduleId, interfaceId));
  valid_ = handle_ != 0;
}

PluginInterfaceClass::~PluginInterfaceClass() {
  if (organizer_ != nullptr && organizer_->ReleaseInterface != nullptr) {
    organizer_->ReleaseInterface(organizer_, handle_);
  }
}

std::int32_t PluginInterfaceClass::CallFunc(std::uint32_t function, void* input, void* output) noexcept {
  if (handle_ == 0 || organizer_->CallInterface == nullptr) return kNoConnection;
  return organizer_->CallInterface(organizer_, handle_, function, input, output);
}

}  // namespace zevo::config
