// The product feature list: which features of each product are customised
// and which components each feature consists of. MergeProductFeatureXml
// merges a "ProductsF_C" XML document into a list and writes the whole list
// back out as XML text.
#ifndef ZEVO_UTIL_PRODUCT_FEATURE_H_
#define ZEVO_UTIL_PRODUCT_FEATURE_H_

#include <cstdint>
#include <string>
#include <vector>

namespace zevo::util {

// The document is not well formed or has no `meta` element.
inline constexpr std::int32_t kProductFeatureParseFailed = static_cast<std::int32_t>(0xe0ff0012u);

// Status of every feature read from XML text.
inline constexpr std::int32_t kFeatureStatusFromXml = 3;

struct SComponent {
  std::int32_t componentClass = 0;  // "class"
  std::int32_t type = 0;
  std::u16string text;  // not used by the merge
  std::int32_t lang = 0;
  std::int32_t region = 0;
  std::int32_t oem = 0;
  std::int32_t plat = 0;
  std::u16string moreText[2];  // not used by the merge
  bool optional = false;
};

struct SFeature {
  std::uint32_t id = 0;
  std::int32_t status = 0;
  std::vector<SComponent> components;
};

struct SProduct {
  std::u16string id;
  std::vector<SFeature> features;
};

// Reads the products of `xmlText` and merges them into `products`: a product
// whose id equals an existing one ignoring ASCII case replaces that one's id
// and features, any other is appended. Then writes the whole list to
// `newXml` in the fixed layout (declaration, <meta>, one line per product,
// feature and component, </meta>, each ending with "\n").
//
// Where the products are: the first <product> below <meta> and its sibling
// elements; each product's features are the first <feature> below it and its
// siblings, each feature's components likewise, so a product never takes
// another product's features. Ids come from an element's first attribute;
// a product or feature element without any attribute has no id and is
// skipped (with the elements below it); a component needs none. Numbers are read as leading decimal digits (a sign
// for the component fields); anything else, or a value beyond 32 bits,
// reads as 0. Characters that XML reserves are escaped in product ids.
//
// Results: 0x20ff0000 success; 0xe0ff0007 for a null or empty `xmlText`
// (nothing changes) or a failure while reading (the list is unchanged,
// `newXml` is not written); 0xe0ff0012 for text that is not well formed or
// has no `meta` (nothing changes); 0xe0ff0001 when no document could be
// made (the list is unchanged, `newXml` is written from it).
std::int32_t MergeProductFeatureXml(const char16_t* xmlText, std::vector<SProduct>& products,
                                    std::u16string& newXml) noexcept;

}  // namespace zevo::util

#endif  // ZEVO_UTIL_PRODUCT_FEATURE_H_
