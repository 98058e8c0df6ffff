// Functions 8282 and 8283 over a driver on the fake engine: request and reply
// blocks built with the reference host's message library.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine_object.h"
#include "sim/query_blocks.h"

namespace zevo::iface {
namespace {

using hostsim::QueryReply;
using hostsim::QueryRequest;

const std::u16string k1024(1024, u'm');
const std::u16string k1025(1025, u'n');
const std::u16string k2000(2000, u'o');

class QueryTest : public InterfaceTest {
 protected:
  void SetUp() override {
    InterfaceTest::SetUp();
    // Engine order; the reply of 8283 sorts by UTF-16 code units.
    for (const auto& [id, name] : std::vector<std::pair<std::int32_t, std::u16string>>{
             {7, u"zed"}, {5, u"Acme"}, {9, u"\u00e4rger"}, {11, k2000}, {12, k1024}, {13, k1025}, {-4, u"Neg"}}) {
      companies_.AddRow(id, name);
    }
    companies_.Seal();
    Publish(std::move(owned_));
    object_ = NewObject();
  }

  // Calls 8282 and checks that nothing but the reply's two fields changed.
  std::int32_t Query(void* request, QueryReply& reply) {
    std::memset(reply.Block(), 0xab, ZEVO_REPLY_NAME_ID_OFFSET);
    const std::int32_t result = object_->CallFunc(8282, request, reply.Block());
    const std::vector<unsigned char> host(ZEVO_REPLY_NAME_ID_OFFSET, 0xab);
    EXPECT_EQ(std::memcmp(reply.Block(), host.data(), host.size()), 0);
    if (result < 0) {
      EXPECT_EQ(reply.Fields().nameId, 0u);
      EXPECT_FALSE(reply.Delivered());
    } else {
      EXPECT_EQ(reply.Fields().nameId, 65542u);
      std::uint32_t nameId = 0;
      EXPECT_GE(ZEVO_Msg_GetNameID(&reply.Handle(), &nameId), 0);
      EXPECT_EQ(nameId, 65542u);
      EXPECT_EQ(reply.Status(), std::optional<std::int32_t>(Code(0x20ff0000u)));
    }
    return result;
  }

  std::unique_ptr<driver::EngineTables> owned_ = std::make_unique<driver::EngineTables>();
  driver::CompanyIdNameTable& companies_ = owned_->companies;
  EngineObject object_;
};

// One answer per value, in order; a value of the wrong type answers "not
// found" at its own position only. Common lookups: ZevoHost.Lookup.
TEST_F(QueryTest, OneAnswerPerValueInOrder) {
  QueryRequest byIds = QueryRequest::NamesByIds({5, 9, -4, 11, 0, 6, INT32_MAX, INT32_MIN, 5});
  byIds.Message().PutWString(134076, u"7");
  byIds.Message().PutUInt32(134076, 9);
  byIds.Message().PutInt32(134076, 7);
  QueryReply names;
  EXPECT_EQ(Query(byIds.Block(), names), Code(0x20ff0000u));
  EXPECT_EQ(names.Names(), (std::vector<std::optional<std::u16string>>{u"Acme", u"\u00e4rger", u"Neg", k2000, u"", u"",
                                                                       u"", u"", u"Acme", u"", u"", u"zed"}));
  EXPECT_EQ(names.CountOf(134076), 0u);

  QueryRequest byNames =
      QueryRequest::IdsByNames({u"Acme", u"", k1024, k1025, k2000, u"\u00e4rger", u"acme", u"Acme", u"nope", u"Neg"});
  byNames.Message().PutInt32(133767, 7);
  byNames.Message().PutString(133767, "zed", 3);
  byNames.Message().PutWString(133767, u"zed");
  QueryReply ids;
  EXPECT_EQ(Query(byNames.Block(), ids), Code(0x20ff0000u));
  EXPECT_EQ(ids.Ids(), (std::vector<std::optional<std::int32_t>>{5, -1, 12, 13, 11, 9, -1, 5, -1, -4, -1, -1, 7}));
  EXPECT_EQ(ids.CountOf(133767), 0u);

  QueryReply none;
  EXPECT_EQ(Query(QueryRequest::NamesByIds({}).Block(), none), Code(0x20ff0000u));
  EXPECT_TRUE(none.Names().empty());
}

// Null blocks, destroyed and forged request handles: Garbage (integration).
TEST_F(QueryTest, BadRequestsAnswerACodeAndWriteNothing) {
  const struct {
    const char* what;
    std::optional<std::int32_t> code;
    std::optional<ZEVO_DataHandle> handle;
  } cases[] = {
      {"no code", std::nullopt, std::nullopt},
      {"code 0", 0, std::nullopt},
      {"code 13", 13, std::nullopt},
      {"code -1", -1, std::nullopt},
      {"zeroed handle", 11, ZEVO_DataHandle{}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    QueryRequest request(c.code);
    QueryReply reply;
    EXPECT_EQ(Query(c.handle ? request.Block(*c.handle) : request.Block(), reply), Code(0xe00c0005u));
  }
  QueryRequest request = QueryRequest::NamesByIds({5});
  EXPECT_EQ(object_->CallFunc(8282, request.Block(), nullptr), Code(0xe00c0005u));
}

// The host's own message in the reply block is neither overwritten (leaked)
// nor changed.
TEST_F(QueryTest, ReplyBlockHoldingAMessageIsRefused) {
  ZEVO_DataHandleWrapper hosts;
  ASSERT_GE(hosts.PutInt32(1, 42), 0);
  for (const std::uint32_t function : {8282u, 8283u}) {
    QueryRequest request = QueryRequest::NamesByIds({5});
    ZEVO_QueryReplyBlock block{};
    ASSERT_GE(hosts.Share(&block.data), 0);
    const ZEVO_DataHandle before = block.data;
    EXPECT_EQ(object_->CallFunc(function, request.Block(), &block), Code(0xe0ff0007u)) << function;
    EXPECT_EQ(std::memcmp(&block.data, &before, sizeof before), 0);
    EXPECT_EQ(block.nameId, 0u);
    std::uint32_t count = 0;
    EXPECT_GE(ZEVO_Msg_GetSizeOf(&block.data, 1, &count), 0);
    EXPECT_EQ(count, 1u);
    ZEVO_Msg_DestroyDataHandle(&block.data);
  }
}

// An empty table still gets its reply, with the code saying so.
TEST_F(QueryTest, CompanyTableInCodeUnitOrderWithUnsignedIds) {
  QueryReply reply;
  EXPECT_EQ(object_->CallFunc(8283, nullptr, reply.Block()), Code(0x20ff0000u));
  EXPECT_EQ(reply.Fields().nameId, 65542u);
  const std::vector<std::optional<std::u16string>> names = {u"Acme", u"Neg", k1024,        k1025,
                                                            k2000,   u"zed", u"\u00e4rger"};
  EXPECT_EQ(reply.Names(), names);
  const std::vector<std::optional<std::uint32_t>> ids = {5u, 0xfffffffcu, 12u, 13u, 11u, 7u, 9u};
  EXPECT_EQ(reply.UnsignedIds(), ids);
  EXPECT_EQ(reply.Status(), std::nullopt);

  tables_.Publish(std::make_unique<driver::EngineTables>());
  QueryReply empty;
  EXPECT_EQ(object_->CallFunc(8283, nullptr, empty.Block()), Code(0xe0ff000fu));
  EXPECT_EQ(empty.Fields().nameId, 65542u);
  EXPECT_EQ(empty.CountOf(133767) + empty.CountOf(134076) + empty.CountOf(132872), 0u);
}

}  // namespace
}  // namespace zevo::iface
