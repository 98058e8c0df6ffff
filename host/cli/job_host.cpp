#include "job_host.h"

#include "info_report.h"
#include "module_open.h"
#include "zevo/result.h"

namespace zevo::cli {

JobHost::JobHost(const HostOptions& options) {
  std::filesystem::path store = options.configStore;
  if (store.empty()) {
    temporary_ = std::make_unique<TemporaryConfigStore>(options.settings);
    store = temporary_->StoreFile();
  }
  host_ = std::make_unique<hostsim::ReferenceHost>(options.engineFolder);
  const auto repository = host_->UseConfigStore(store);
  if (!repository->Loaded()) throw Failure{"configuration store: " + repository->LoadError()};
  if (!host_->ProtectedPathsError().empty()) throw Failure{"configuration store: " + host_->ProtectedPathsError()};
  module_ = LoadModule(options.module);
  module_->Plugin_Interface_Initialize(host_->Organizer());
  const auto started = static_cast<std::int32_t>(module_->Plugin_Interface_PostInitialize());
  if (Succeeded(started)) return;
  module_->Plugin_Interface_PreUninitialize();
  module_->Plugin_Interface_Uninitialize();
  module_ = hostsim::PluginModule();
  throw Failure{StartFailure(started, options.engineFolder)};
}

JobHost::~JobHost() {
  if (!module_.Loaded()) return;
  module_->Plugin_Interface_PreUninitialize();
  module_->Plugin_Interface_Uninitialize();
}

}  // namespace zevo::cli
