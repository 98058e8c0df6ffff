// zevo-host: the reference host. Loads the plug-in module by path as the
// platform's core service does and drives it.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "components_command.h"
#include "info_command.h"
#include "info_report.h"
#include "query_command.h"
#include "referential_command.h"
#include "restore_command.h"
#include "scan_command.h"
#include "scan_report.h"
#include "sim/executable_folder.h"
#include "zevo/plugin_exports.h"

namespace {

namespace fs = std::filesystem;

fs::path FromUtf8(const std::string& text) { return fs::path(std::u8string(text.begin(), text.end())); }

// Where cleaning runs put their backup files unless told otherwise: a folder
// of the current folder, so that a person finds them next to where they ran.
constexpr const char* kDefaultBackupFolder = "zevo-backup";

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

  CLI::Option* AddTo(CLI::App* command) {
    command->add_option("--module", module, "The plug-in module file")->capture_default_str();
    command->add_option("--engine-dir", engine, "The engine folder (holds tarsk64.dll)")->capture_default_str();
    return command->add_option("--config", config, "JSON configuration store (default: a temporary one)");
  }
};

// The options of the commands that can clean: they shape the temporary
// configuration store, so a store of the user's (--config) excludes them.
struct CleanArguments {
  bool clean = false;
  bool noBackup = false;
  std::string backupDir = kDefaultBackupFolder;
  std::vector<std::string> protect;

  void AddTo(CLI::App* command, CLI::Option* config) {
    CLI::Option* cleanOption =
        command->add_flag("--clean", clean, "Clean what is found (backup first, unless --no-backup)");
    command->add_flag("--no-backup", noBackup, "Clean without a backup (the store's backup switches are set off)")
        ->needs(cleanOption)
        ->excludes(config);
    command
        ->add_option("--backup-dir", backupDir,
                     "Folder for the backup files (*.tkb), created if missing; it survives the run")
        ->capture_default_str()
        ->excludes(config);
    // One value per --protect, so that the folders after it stay folders.
    command->add_option("--protect", protect, "A path prefix the file check keeps out of the cleaning (repeatable)")
        ->allow_extra_args(false)
        ->excludes(config);
  }
};

zevo::cli::HostOptions MakeHostOptions(const ModuleArguments& module, const CleanArguments& clean) {
  zevo::cli::HostOptions host;
  host.module = FromUtf8(module.module);
  host.engineFolder = FromUtf8(module.engine);
  if (!module.config.empty()) host.configStore = FromUtf8(module.config);
  host.settings.backupFolder = FromUtf8(clean.backupDir);
  host.settings.backup = !clean.noBackup;
  for (const std::string& path : clean.protect) host.settings.protectedPaths.push_back(FromUtf8(path));
  return host;
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
  ModuleArguments arguments{zevo::cli::PathText(options.module), zevo::cli::PathText(options.engineFolder), {}};

  CLI::App* info = app.add_subcommand("info", "Start the module with the engine, print its versions, stop it");
  arguments.AddTo(info);

  std::string caller = "zevo-host";
  bool json = false;
  CleanArguments cleanArguments;
  CLI::App* scan = app.add_subcommand("scan", "Scan folders through the module (exit 0 clean, 1 items found, 2 error)");
  cleanArguments.AddTo(scan, arguments.AddTo(scan));
  std::vector<std::string> folders;
  scan->add_option("PATH", folders, "Folders to scan (default: the current folder)");
  scan->add_flag("--json", json, "Print one JSON document instead of the table");
  scan->add_option("--caller", caller, "The caller name of the scan session")->capture_default_str();

  CLI::App* referential = app.add_subcommand(
      "referential", "Find what is related to files or folders (exit 0 nothing found, 1 items found, 2 error)");
  cleanArguments.AddTo(referential, arguments.AddTo(referential));
  std::vector<std::string> references;
  referential->add_option("PATH", references, "Reference files or folders (scan roots: their parent folders)")
      ->required();
  referential->add_flag("--json", json, "Print one JSON document instead of the table");
  referential->add_option("--caller", caller, "The caller name of the session")->capture_default_str();

  CLI::App* restore = app.add_subcommand("restore", "Put back the files of one backup file (exit 0 done, 2 error)");
  arguments.AddTo(restore);
  std::string backupFile;
  restore->add_option("FILE", backupFile, "The backup file (*.tkb)")->required();

  CLI::App* companies =
      app.add_subcommand("companies", "Print the module's company table through function 8283 (exit 0, 2 error)");
  arguments.AddTo(companies);
  companies->add_flag("--json", json, "Print one JSON document instead of the table");

  CLI::App* lookup = app.add_subcommand(
      "lookup", "Ask the module for company names and ids through function 8282 (exit 0, 1 not found, 2 error)");
  arguments.AddTo(lookup);
  std::vector<std::int32_t> lookupIds;
  std::vector<std::string> lookupNames;
  lookup->add_option("--id", lookupIds, "A company id to name (repeatable)")->allow_extra_args(false);
  lookup->add_option("--name", lookupNames, "A company name to find the id of (repeatable)")->allow_extra_args(false);
  lookup->add_flag("--json", json, "Print one JSON document instead of the lines");

  CLI::App* components = app.add_subcommand("components", "Print the updatable components and their versions");
  arguments.AddTo(components);
  components->add_flag("--json", json, "Print one JSON document instead of the table");
  CLI::App* updatePattern = app.add_subcommand(
      "update-pattern", "Take a new pattern into use if the engine accepts it (exit 0 done, 2 refused or error)");
  arguments.AddTo(updatePattern);
  std::string patternFile;
  updatePattern->add_option("FILE", patternFile, "The new pattern file")->required();

  CLI::App* samples = app.add_subcommand("samples", "Write the reference engine's sample tree into DIR");
  std::string samplesFolder;
  samples->add_option("DIR", samplesFolder, "The folder to write (created if missing)")->required();
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    // --help and --version end well; a command line that does not parse is
    // an error like any other.
    return app.exit(e) == 0 ? 0 : zevo::cli::kExitError;
  }

  if (samples->parsed()) return zevo::cli::RunSamples(FromUtf8(samplesFolder), std::cout, std::cerr);
  const zevo::cli::HostOptions host = MakeHostOptions(arguments, cleanArguments);
  if (info->parsed()) {
    return zevo::cli::RunInfo({host.module, host.engineFolder, host.configStore}, std::cout, std::cerr);
  }
  if (companies->parsed()) return zevo::cli::RunCompanies({host, json}, std::cout, std::cerr);
  if (lookup->parsed()) {
    if (lookupIds.empty() && lookupNames.empty()) {
      std::cerr << "zevo-host: lookup needs at least one --id or --name\n";
      return zevo::cli::kExitError;
    }
    return zevo::cli::RunLookup({host, lookupIds, lookupNames, json}, std::cout, std::cerr);
  }
  if (components->parsed()) return zevo::cli::RunComponents(host, json, std::cout, std::cerr);
  if (updatePattern->parsed()) {
    return zevo::cli::RunUpdatePattern(host, FromUtf8(patternFile), std::cout, std::cerr);
  }
  if (restore->parsed()) {
    return zevo::cli::RunRestore({host, FromUtf8(backupFile), caller}, std::cout, std::cerr);
  }
  if (referential->parsed()) {
    zevo::cli::ReferentialOptions referentialOptions{host, {}, caller, json, cleanArguments.clean};
    for (const std::string& path : references) referentialOptions.paths.push_back(FromUtf8(path));
    return zevo::cli::RunReferential(referentialOptions, std::cout, std::cerr);
  }
  zevo::cli::ScanOptions scanOptions{host, {}, caller, json, cleanArguments.clean};
  for (const std::string& folder : folders) scanOptions.folders.push_back(FromUtf8(folder));
  return zevo::cli::RunScan(scanOptions, std::cout, std::cerr);
}
