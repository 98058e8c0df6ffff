// The product feature list: exact output text, the merge rule, results.
#include "util/product_feature.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "zevo/result.h"

namespace zevo::util {
namespace {

constexpr char16_t kTwoProducts[] =
    u"<meta><product id=\"P1\"><feature id=\"7\"><component class=\"1\" type=\"2\" lang=\"3\" plat=\"4\" "
    u"region=\"5\" optional=\"TRUE\"/><x/></feature></product>"
    u"<product id=\"p&amp;2\"><feature id=\"12abc\"/><feature/><feature id=\"-3\"><component class=\"-9\" oem=\"x\"/>"
    u"</feature></product></meta>";

TEST(ProductFeature, TwoProductsWithTheirOwnFeaturesAreWrittenExactly) {
  std::vector<SProduct> products{{u"p1", {}}, {u"other", {}}};
  std::u16string xml;
  ASSERT_EQ(MergeProductFeatureXml(kTwoProducts, products, xml), kCommonOk);
  EXPECT_EQ(
      xml,
      u"<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<meta>\n"
      u"\t<product id=\"P1\">\n\t\t<feature id=\"7\" customized=\"true\">\n"
      u"\t\t\t<component class=\"1\" type=\"2\" lang=\"3\" plat=\"4\" region=\"5\" oem=\"0\" optional=\"true\" />\n"
      u"\t\t\t<component class=\"0\" type=\"0\" lang=\"0\" plat=\"0\" region=\"0\" oem=\"0\" optional=\"false\" />\n"
      u"\t\t</feature>\n\t</product>\n"
      u"\t<product id=\"other\">\n\t</product>\n"
      u"\t<product id=\"p&amp;2\">\n\t\t<feature id=\"12\" customized=\"true\">\n\t\t</feature>\n"
      u"\t\t<feature id=\"0\" customized=\"true\">\n"
      u"\t\t\t<component class=\"-9\" type=\"0\" lang=\"0\" plat=\"0\" region=\"0\" oem=\"0\" optional=\"false\" />\n"
      u"\t\t</feature>\n\t</product>\n</meta>\n");
  ASSERT_EQ(products.size(), 3u);
  EXPECT_EQ(products[0].features[0].status, kFeatureStatusFromXml);
  // The written text reads back as the same list.
  std::vector<SProduct> again;
  std::u16string xml2;
  ASSERT_EQ(MergeProductFeatureXml(xml.c_str(), again, xml2), kCommonOk);
  EXPECT_EQ(xml2, xml);
}

TEST(ProductFeature, BadInputLeavesListAndTextAlone) {
  const std::u16string big = u"<meta>" + std::u16string(10 << 20, u'x') + u"</meta>";
  const struct {
    const char16_t* text;
    std::int32_t result;
  } cases[] = {{nullptr, kUnsupported},
               {u"", kUnsupported},
               {u"<meta><product id=\"a\"></meta>", kProductFeatureParseFailed},
               {u"<other/>", kProductFeatureParseFailed},
               {u"just text", kProductFeatureParseFailed},
               {big.c_str(), kCommonOk}};
  for (const auto& c : cases) {
    std::vector<SProduct> products{{u"kept", {}}};
    std::u16string xml = u"kept";
    EXPECT_EQ(MergeProductFeatureXml(c.text, products, xml), c.result);
    EXPECT_EQ(products.size(), 1u);
    if (c.result != kCommonOk) {
      EXPECT_EQ(xml, u"kept");
    }
  }
  // Misplaced products: the first one found and its siblings count.
  std::vector<SProduct> products;
  std::u16string xml;
  EXPECT_EQ(
      MergeProductFeatureXml(u"<meta><g><product id=\"a\"/><x id=\"b\"/></g><product id=\"c\"/></meta>", products, xml),
      kCommonOk);
  EXPECT_EQ(products.size(), 2u);
  products.clear();
  EXPECT_EQ(MergeProductFeatureXml(u"<meta/>", products, xml), kCommonOk);
  EXPECT_EQ(xml, u"<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<meta>\n</meta>\n");
}

}  // namespace
}  // namespace zevo::util
