#include "sim/rcm_table.h"

#include <gtest/gtest.h>

#include <cstring>

#include "zevo/result.h"

namespace zevo::hostsim {
namespace {

TEST(RcmTable, FunctionOneFillsTheWholeRecord) {
  RcmTable table(4, 7, 1301);
  unsigned char out[sizeof(ZEVO_RcmRecord) + 8];
  std::memset(out, 0xcc, sizeof(out));
  EXPECT_EQ(table.Call(1, nullptr, out), kCommonOk);
  EXPECT_EQ(std::memcmp(out, &table.Record(), 592), 0);
  const unsigned char triple[12] = {4, 0, 0, 0, 7, 0, 0, 0, 0x15, 0x05, 0, 0};  // little-endian
  EXPECT_EQ(std::memcmp(out, triple, sizeof(triple)), 0);
  EXPECT_EQ(out[12], 1);
  EXPECT_EQ(out[591], static_cast<unsigned char>(579 * 7 + 1));
  EXPECT_EQ(out[592], 0xcc);  // nothing beyond the record

  // A configured failure writes nothing; other functions and a missing
  // output are refused.
  table.SetAnswer(kFail);
  std::memset(out, 0xcc, sizeof(out));
  EXPECT_EQ(table.Call(1, nullptr, out), kFail);
  EXPECT_EQ(out[0], 0xcc);
  EXPECT_EQ(table.Call(1, nullptr, nullptr), kUnsupported);
  EXPECT_EQ(table.Call(2, nullptr, out), kNotHandled);
  EXPECT_EQ(table.Requests(), 3u);
}

}  // namespace
}  // namespace zevo::hostsim
