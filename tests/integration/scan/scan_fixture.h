// Shared by the scan suites: a started module, a fresh sample tree that the
// engine is pointed at, and what the shipped pattern says about each family.
#ifndef ZEVO_TESTS_INTEGRATION_SCAN_SCAN_FIXTURE_H_
#define ZEVO_TESTS_INTEGRATION_SCAN_SCAN_FIXTURE_H_

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>

#include "../common/module_host.h"
#include "samples.h"
#include "sim/scan_job.h"
#include "zevo/result.h"

namespace zevo::it {

struct Family {
  std::u16string company;
  std::int32_t threatLevel;
};

// From engine/tarskptn.da6: each item's company and its threat type's level.
inline const std::map<std::int32_t, Family>& ExpectedFamilies() {
  static const std::map<std::int32_t, Family> families = {
      {1001, {u"EICAR Test Organisation", 10}},  {1002, {u"Acme Adware Ltd", 40}},  {1003, {u"Initech Toolbars", 70}},
      {1004, {u"Umbrella Dialers", 90}},         {1005, {u"Globex Tracking", 20}},  {1006, {u"Acme Adware Ltd", 40}},
      {1007, {u"Initech Toolbars", 70}},         {1008, {u"Umbrella Dialers", 90}}, {1009, {u"Initech Toolbars", 70}},
      {0x6e000010, {u"Custom Vendor GmbH", 40}},
  };
  return families;
}

class ScanFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_.Ready());
    tarsk::samples::WriteSampleTree(tree_.path());
    ASSERT_TRUE(hostsim::SetScanRoots({tree_.path()}));
    m_.Initialize();
    ASSERT_GE(m_.PostInitialize(), 0);
  }
  void TearDown() override {
    m_.PreUninitialize();
    m_.Uninitialize();
    hostsim::SetScanRoots({});
  }

  TempFolder tree_{"scan-tree"};
  ModuleHost m_;
};

}  // namespace zevo::it

#endif  // ZEVO_TESTS_INTEGRATION_SCAN_SCAN_FIXTURE_H_
