#include "interface/status_interface.h"

#include <gtest/gtest.h>

#include "interface_fixture.h"
#include "zevo/result.h"

namespace zevo::ifacetest {
namespace {

void ExpectModuleVersion(ICommonPluginInterface& object) {
  VersionInfo version{0, 0, 0};
  object.GetModuleVersion(&version);
  EXPECT_EQ(version.major, 2u);
  EXPECT_EQ(version.minor, 1u);
  EXPECT_EQ(version.build, 1248u);
  object.GetModuleVersion(nullptr);  // ignored, no crash
}

TEST(StatusInterface, IdentityAndEveryFunctionSucceeds) {
  auto* status = new iface::ITarskEngineStatusInterface();
  ICommonPluginInterface& object = *status;
  EXPECT_EQ(object.GetModuleID(), 10001u);
  EXPECT_EQ(object.GetInterfaceID(), 100012u);
  ExpectModuleVersion(object);
  int untouched = 7;
  for (std::uint32_t function : {0u, 1u, 9u, 8282u, 0xffffffffu}) {
    EXPECT_EQ(object.CallFunc(function, nullptr, nullptr), static_cast<std::int32_t>(0x200c0000u));
    EXPECT_EQ(object.CallFunc(function, &untouched, &untouched), static_cast<std::int32_t>(0x200c0000u));
  }
  EXPECT_EQ(untouched, 7);
  EXPECT_EQ(object.DeleteThis(ZEVO_DELETE_FREE), static_cast<void*>(status));
}

TEST_F(EngineInterfaceTest, EngineObjectIdentityAndAbiAddress) {
  EngineObject object = NewObject();
  ICommonPluginInterface* common = object.get();
  // The host sees the object through its first vtable pointer.
  EXPECT_EQ(static_cast<void*>(common), static_cast<void*>(object.get()));
  EXPECT_EQ(common->GetModuleID(), 10001u);
  EXPECT_EQ(common->GetInterfaceID(), 100011u);
  ExpectModuleVersion(*common);
}

}  // namespace
}  // namespace zevo::ifacetest
