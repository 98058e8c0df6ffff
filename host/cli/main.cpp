// zevo-host: the reference host. Loads the plug-in module by path as the
// platform's core service does and drives it.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "info_command.h"
#include "info_report.h"
#include "scan_command.h"
#include "sim/executable_folder.h"
#include "zevo/plugin_exports.h"

namespace {

namespace fs = std::filesystem;

fs::path FromUtf8(const std::string& text) { return fs::path(std::u8string(text.begin(), text.end())); }

// The build tree's module and engine, found from this program's folder.
zevo::cli::InfoOptions Defaults() {
  const fs::path bin = zevo::hostsim::ExecutableFolder();
  zevo::cli::InfoOptions options;
  options.module = bin / zevo::kPluginFileName;
  options.engineFolder = (bin / ZEVO_HOST_ENGINE_FROM_BIN).lexically_normal();
  return options;
}

// The options every command that starts the module takes.
struct ModuleArguments {
  std::string module;
  std::string engine;
  std::string config;

  void AddTo(CLI::App* command) {
    command->add_option("--module", module, "The plug-in module file")->capture_default_str();
    command->add_option("--engine-dir", engine, "The engine folder (holds tarsk64.dll)")->capture_default_str();
    command->add_option("--config", config, "JSON configuration store (default: a temporary one)");
  }
};

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
  ModuleArguments arguments{zevo::cli::PathText(options.module), zevo::cli::PathText(options.engineFolder), {}};

  CLI::App* info = app.add_subcommand("info", "Start the module with the engine, print its versions, stop it");
  arguments.AddTo(info);

  CLI::App* scan = app.add_subcommand("scan", "Scan folders through the module (exit 0 clean, 1 items found, 2 error)");
  arguments.AddTo(scan);
  std::vector<std::string> folders;
  bool json = false;
  std::string caller = "zevo-host";
  scan->add_option("PATH", folders, "Folders to scan (default: the current folder)");
  scan->add_flag("--json", json, "Print one JSON document instead of the table");
  scan->add_option("--caller", caller, "The caller name of the scan session")->capture_default_str();

  CLI::App* samples = app.add_subcommand("samples", "Write the reference engine's sample tree into DIR");
  std::string samplesFolder;
  samples->add_option("DIR", samplesFolder, "The folder to write (created if missing)")->required();
  CLI11_PARSE(app, argc, argv);

  if (samples->parsed()) return zevo::cli::RunSamples(FromUtf8(samplesFolder), std::cout, std::cerr);
  options.module = FromUtf8(arguments.module);
  options.engineFolder = FromUtf8(arguments.engine);
  if (!arguments.config.empty()) options.configStore = FromUtf8(arguments.config);
  if (info->parsed()) return zevo::cli::RunInfo(options, std::cout, std::cerr);

  zevo::cli::ScanOptions scanOptions{options.module, options.engineFolder, options.configStore, {}, caller, json};
  for (const std::string& folder : folders) scanOptions.folders.push_back(FromUtf8(folder));
  return zevo::cli::RunScan(scanOptions, std::cout, std::cerr);
}
