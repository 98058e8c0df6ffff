// The product feature merge over arbitrary text and a list that exists
// already: no crash, a result from the documented set, and on success a
// text that merges again into the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "util/product_feature.h"
#include "zevo/result.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Bytes widened one to one keep the XML syntax within reach of the fuzzer.
  std::u16string text(data, data + size);
  std::vector<zevo::util::SProduct> products{{u"P1", {{7, 3, {{1, 2, u"", 3, 4, 5, 6, {}, true}}}}}, {u"<&\">", {}}};
  std::u16string xml;
  const std::int32_t result = zevo::util::MergeProductFeatureXml(text.c_str(), products, xml);
  if (result != zevo::kCommonOk && result != zevo::kUnsupported && result != zevo::util::kProductFeatureParseFailed) {
    std::abort();
  }
  if (result != zevo::kCommonOk) return 0;
  std::vector<zevo::util::SProduct> again;
  std::u16string xml2;
  if (zevo::util::MergeProductFeatureXml(xml.c_str(), again, xml2) != zevo::kCommonOk) std::abort();
  // Products with the same id ignoring case collapse into one on the way
  // back, so only the well-formedness of the text is certain.
  return 0;
}
