// zevo-host: the reference host. Loads the plug-in module by path as the
// platform's core service does and drives it.
#include <filesystem>
#include <iostream>
#include <string>

#include <CLI/CLI.hpp>

#include "info_command.h"
#include "info_report.h"
#include "sim/executable_folder.h"
#include "zevo/plugin_exports.h"

namespace {

namespace fs = std::filesystem;

// The build tree's module and engine, found from this program's folder.
zevo::cli::InfoOptions Defaults() {
  const fs::path bin = zevo::hostsim::ExecutableFolder();
  zevo::cli::InfoOptions options;
  options.module = bin / zevo::kPluginFileName;
  options.engineFolder = (bin / ZEVO_HOST_ENGINE_FROM_BIN).lexically_normal();
  return options;
}

}  // namespace

int main(int argc, char** argv) {
  zevo::cli::InfoOptions options;
  try {
    options = Defaults();
  } catch (const std::exception& e) {
    std::cerr << "zevo-host: cannot find the program's folder: " << e.what() << '\n';
    return 1;
  }
  CLI::App app{"zevo-host: the reference host of the plugEngineTARSK module"};
  app.require_subcommand(1);
  CLI::App* info = app.add_subcommand("info", "Start the module with the engine, print its versions, stop it");
  std::string module = zevo::cli::PathText(options.module);
  std::string engine = zevo::cli::PathText(options.engineFolder);
  std::string config;
  info->add_option("--module", module, "The plug-in module file")->capture_default_str();
  info->add_option("--engine-dir", engine, "The engine folder (holds tarsk64.dll)")->capture_default_str();
  info->add_option("--config", config, "JSON configuration store (default: a temporary one)");
  CLI11_PARSE(app, argc, argv);

  options.module = fs::path(std::u8string(module.begin(), module.end()));
  options.engineFolder = fs::path(std::u8string(engine.begin(), engine.end()));
  if (!config.empty()) options.configStore = fs::path(std::u8string(config.begin(), config.end()));
  return zevo::cli::RunInfo(options, std::cout, std::cerr);
}
