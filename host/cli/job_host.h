// JobHost: what every zevo-host command that runs jobs needs around them —
// the configuration store (the given one, or a temporary one with the
// cleaning settings), the reference host with its modules, and the plug-in
// module loaded and started. The destructor stops the module.
#ifndef ZEVO_HOST_CLI_JOB_HOST_H_
#define ZEVO_HOST_CLI_JOB_HOST_H_

#include <filesystem>
#include <memory>

#include "sim/plugin_module.h"
#include "sim/reference_host.h"
#include "temp_config.h"

namespace zevo::cli {

struct HostOptions {
  std::filesystem::path module;
  std::filesystem::path engineFolder;
  std::filesystem::path configStore;  // empty: a temporary one with `settings`
  CleanSettings settings;             // used by the temporary store only
};

class JobHost {
 public:
  // Throws Failure (module_open.h) with the message for the person, or a
  // standard exception.
  explicit JobHost(const HostOptions& options);
  ~JobHost();
  JobHost(const JobHost&) = delete;
  JobHost& operator=(const JobHost&) = delete;

  const PluginExportTable& Exports() const noexcept { return module_.Exports(); }
  hostsim::ReferenceHost& Host() noexcept { return *host_; }

 private:
  std::unique_ptr<TemporaryConfigStore> temporary_;
  std::unique_ptr<hostsim::ReferenceHost> host_;
  hostsim::PluginModule module_;
};

}  // namespace zevo::cli

#endif  // ZEVO_HOST_CLI_JOB_HOST_H_
