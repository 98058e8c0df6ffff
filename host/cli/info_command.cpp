#include "info_command.h"

#include <array>
#include <chrono>
#include <exception>
#include <memory>
#include <optional>
#include <string>

#include "info_report.h"
#include "module_open.h"
#include "sim/plugin_module.h"
#include "sim/reference_host.h"
#include "temp_config.h"
#include "zevo/engine_api.h"
#include "zevo/result.h"

namespace zevo::cli {
namespace {

namespace fs = std::filesystem;

// An interface object, released through the module when it goes.
class InterfaceObject {
 public:
  InterfaceObject(const PluginExportTable& exports, std::uint32_t id)
      : exports_(exports), object_(exports.Plugin_Interface_QueryInterface(id)) {}
  ~InterfaceObject() {
    if (object_ != nullptr) exports_.Plugin_Interface_Release(object_);
  }
  InterfaceObject(const InterfaceObject&) = delete;
  InterfaceObject& operator=(const InterfaceObject&) = delete;

  ICommonPluginInterface* get() const noexcept { return object_; }

 private:
  const PluginExportTable& exports_;
  ICommonPluginInterface* const object_;
};

// Function 9 or 10 of the engine interface: a version text of at most 15
// UTF-16 characters.
std::u16string ReadVersion(const PluginExportTable& exports, ICommonPluginInterface* engine, std::uint32_t function,
                           std::int32_t& result) {
  std::array<char16_t, 15> buffer{};
  result = exports.Plugin_Interface_CallFunc(engine, function, buffer.data(), nullptr);
  std::u16string text(buffer.data(), buffer.size());
  text.resize(text.find(u'\0') == std::u16string::npos ? buffer.size() : text.find(u'\0'));
  return text;
}

void ReadIdentity(const PluginExportTable& exports, InfoReport& report) {
  report.moduleId = exports.Plugin_Interface_GetModuleID();
  exports.Plugin_Interface_GetModuleVersion(&report.version);
  const InterfaceObject engine(exports, kEngineInterfaceId);
  if (engine.get() == nullptr) throw Failure{"the module handed out no engine interface (100011)"};
  report.patternVersion = ReadVersion(exports, engine.get(), kFnGetPatternVersion, report.patternResult);
  report.engineVersion = ReadVersion(exports, engine.get(), kFnGetEngineVersion, report.engineResult);
  report.statusInterface = InterfaceObject(exports, kEngineStatusInterfaceId).get() != nullptr;
  if (report.patternResult < 0) throw Failure{"reading the pattern version failed: " + Hex(report.patternResult)};
  if (report.engineResult < 0) throw Failure{"reading the engine version failed: " + Hex(report.engineResult)};
}

// Start, read, stop. The module is stopped whatever happens after a start.
void RunModule(const PluginExportTable& exports, hostsim::ReferenceHost& host, InfoReport& report) {
  report.initialize = static_cast<std::int32_t>(exports.Plugin_Interface_Initialize(host.Organizer()));
  const auto started = std::chrono::steady_clock::now();
  report.postInitialize = static_cast<std::int32_t>(exports.Plugin_Interface_PostInitialize());
  report.postInitializeMs =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
  std::optional<Failure> failure;
  if (report.postInitialize < 0) {
    failure = Failure{StartFailure(report.postInitialize, report.engineFolder)};
  } else {
    try {
      ReadIdentity(exports, report);
    } catch (Failure& f) {
      failure = std::move(f);
    }
  }
  report.preUninitialize = static_cast<std::int32_t>(exports.Plugin_Interface_PreUninitialize());
  report.uninitialize = static_cast<std::int32_t>(exports.Plugin_Interface_Uninitialize());
  report.commands = host.scanManager().Received();
  if (failure) throw std::move(*failure);
}

}  // namespace

int RunInfo(const InfoOptions& options, std::ostream& out, std::ostream& err) noexcept {
  try {
    InfoReport report;
    report.module = options.module;
    report.engineFolder = options.engineFolder;
    std::unique_ptr<TemporaryConfigStore> temporary;
    report.configStore = options.configStore;
    if (report.configStore.empty()) {
      temporary = std::make_unique<TemporaryConfigStore>();
      report.configStore = temporary->StoreFile();
    }
    hostsim::ReferenceHost host(options.engineFolder);
    const auto repository = host.UseConfigStore(report.configStore);
    if (!repository->Loaded()) throw Failure{"configuration store: " + repository->LoadError()};
    const hostsim::PluginModule module = LoadModule(options.module);
    RunModule(module.Exports(), host, report);
    PrintInfo(report, out);
    return 0;
  } catch (...) {
    ReportCurrentFailure(err);
  }
  return 1;
}

}  // namespace zevo::cli
