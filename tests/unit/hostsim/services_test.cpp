#include "sim/services.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "zevo/result.h"

namespace zevo::hostsim {
namespace {

class Echo final : public HostInterface {
 public:
  explicit Echo(std::int32_t answer) : answer_(answer) {}
  std::int32_t Call(std::uint32_t function, void* input, void* output) noexcept override {
    last_function = function;
    last_input = input;
    last_output = output;
    return answer_;
  }
  std::uint32_t last_function = 0;
  void* last_input = nullptr;
  void* last_output = nullptr;

 private:
  std::int32_t answer_;
};

TEST(Services, OpenCallReleaseThroughTheTable) {
  Services services;
  SPluginInterfaceOrganizer* table = services.Organizer();
  auto config = std::make_shared<Echo>(11);
  auto scan_manager = std::make_shared<Echo>(22);
  services.Register(5, 51, config);
  services.Register(2, 21, scan_manager);

  EXPECT_EQ(table->OpenInterface(table, MakeModulePair(51, 5)), 0u);  // halves swapped
  EXPECT_EQ(table->OpenInterface(table, MakeModulePair(5, 52)), 0u);
  const std::uint64_t first = table->OpenInterface(table, 0x0000003300000005ull);  // module id low
  const std::uint64_t second = table->OpenInterface(table, MakeModulePair(2, 21));
  ASSERT_NE(first, 0u);
  ASSERT_NE(second, 0u);
  EXPECT_NE(first, second);
  EXPECT_EQ(services.OpenConnections(), 2u);
  EXPECT_EQ(services.OpenRequests(), 4u);

  int in = 0, out = 0;
  EXPECT_EQ(table->CallInterface(table, first, 8209, &in, &out), 11);
  EXPECT_EQ(config->last_function, 8209u);
  EXPECT_EQ(config->last_input, &in);
  EXPECT_EQ(config->last_output, &out);
  EXPECT_EQ(table->CallInterface(table, second, 14099, &in, nullptr), 22);

  // A connection keeps its module even when the registration goes away.
  services.Register(5, 51, nullptr);
  EXPECT_EQ(table->OpenInterface(table, MakeModulePair(5, 51)), 0u);
  EXPECT_EQ(table->CallInterface(table, first, 1, nullptr, nullptr), 11);

  table->ReleaseInterface(table, first);
  table->ReleaseInterface(table, first);  // twice: harmless
  table->ReleaseInterface(table, 0);
  EXPECT_EQ(table->CallInterface(table, first, 1, nullptr, nullptr), kNoConnection);
  EXPECT_EQ(table->CallInterface(table, 12345, 1, nullptr, nullptr), kNoConnection);
  EXPECT_EQ(services.OpenConnections(), 1u);
  table->ReleaseInterface(table, second);
  EXPECT_EQ(services.OpenConnections(), 0u);
}

TEST(Services, ModulePathAndUnusedEntries) {
  Services services;
  SPluginInterfaceOrganizer* table = services.Organizer();
  EXPECT_EQ(table->GetModulePath(table), nullptr);
  services.SetModulePath(u"C:\\zevo\\engine\\plugEngineTARSK.dll");
  ASSERT_NE(table->GetModulePath(table), nullptr);
  EXPECT_EQ(std::u16string(table->GetModulePath(table)), u"C:\\zevo\\engine\\plugEngineTARSK.dll");
  services.SetModulePath(u"");
  EXPECT_EQ(table->GetModulePath(table), nullptr);
  for (void* entry : table->reserved) EXPECT_EQ(entry, nullptr);
}

}  // namespace
}  // namespace zevo::hostsim
