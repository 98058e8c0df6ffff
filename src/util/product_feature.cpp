#include "util/product_feature.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cstddef>
#include <exception>
#include <memory>
#include <new>
#include <string>
#include <string_view>

#include "log/logging.h"
#include "os/text.h"
#include "zevo/result.h"

namespace zevo::util {

namespace {

constexpr logging::Site kLog{u"Util COMMON", u"util_StrConvert"};
constexpr logging::Site kRepositoryLog{u"Core Config Repository", u"util_StrConvert"};

// The leading decimal number of `text` (an optional sign first when
// `signedValue`), or 0 when there are no digits or it does not fit.
std::int64_t LeadingDecimal(const char* text, bool signedValue) {
  const bool negative = signedValue && *text == '-';
  if (signedValue && (*text == '-' || *text == '+')) ++text;
  std::int64_t value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    value = value * 10 + (*text - '0');
    if (value > (std::int64_t{1} << 32)) return 0;
  }
  value = negative ? -value : value;
  if (signedValue) return value < INT32_MIN || value > INT32_MAX ? 0 : value;
  return value > UINT32_MAX ? 0 : value;
}

std::int32_t IntAttribute(pugi::xml_node element, const char* name) {
  return static_cast<std::int32_t>(LeadingDecimal(element.attribute(name).value(), /*signedValue=*/true));
}

// The element found by `xpath` below `element` and its sibling elements,
// in document order. With `needsId`, elements without attributes have no id
// and are left out.
template <class Visit>
void ForEachListed(pugi::xml_node element, const char* xpath, bool needsId, Visit visit) {
  for (pugi::xml_node node = element.select_node(xpath).node(); node; node = node.next_sibling()) {
    if (node.type() != pugi::node_element) continue;
    if (needsId && !node.first_attribute()) {
      ZLOG(kLog, logging::kLevelInfo, u"ProductsF_C element without an id skipped: ", os::Utf8ToUtf16(node.name()));
      continue;
    }
    visit(node);
  }
}

SComponent ReadComponent(pugi::xml_node element) {
  SComponent component;
  component.componentClass = IntAttribute(element, "class");
  component.type = IntAttribute(element, "type");
  component.lang = IntAttribute(element, "lang");
  component.plat = IntAttribute(element, "plat");
  component.region = IntAttribute(element, "region");
  component.oem = IntAttribute(element, "oem");
  const pugi::xml_attribute optional = element.attribute("optional");
  std::string value = optional ? optional.value() : "";
  std::transform(value.begin(), value.end(), value.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
  component.optional = optional && value == "true";
  return component;
}

SFeature ReadFeature(pugi::xml_node element) {
  SFeature feature;
  feature.id = static_cast<std::uint32_t>(LeadingDecimal(element.first_attribute().value(), /*signedValue=*/false));
  ForEachListed(element, ".//component", /*needsId=*/false,
                [&](pugi::xml_node node) { feature.components.push_back(ReadComponent(node)); });
  feature.status = kFeatureStatusFromXml;
  return feature;
}

std::vector<SProduct> ReadProducts(pugi::xml_node root) {
  std::vector<SProduct> products;
  ForEachListed(root, ".//product", /*needsId=*/true, [&](pugi::xml_node node) {
    SProduct product;
    product.id = os::Utf8ToUtf16(node.first_attribute().value());
    ForEachListed(node, ".//feature", /*needsId=*/true,
                  [&](pugi::xml_node feature) { product.features.push_back(ReadFeature(feature)); });
    products.push_back(std::move(product));
  });
  return products;
}

char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

bool SameIgnoringCase(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) { return Lower(x) == Lower(y); });
}

void Merge(std::vector<SProduct>& read, std::vector<SProduct>& products) {
  for (SProduct& product : read) {
    const auto same = std::find_if(products.begin(), products.end(),
                                   [&](const SProduct& existing) { return SameIgnoringCase(existing.id, product.id); });
    if (same == products.end()) {
      products.push_back(std::move(product));
    } else {
      same->id = std::move(product.id);
      same->features = std::move(product.features);
    }
  }
}

void Append(std::u16string& out, std::string_view ascii) { out.append(ascii.begin(), ascii.end()); }

void AppendNumber(std::u16string& out, std::int64_t value) { Append(out, std::to_string(value)); }

// An id written inside a quoted attribute value: what XML reserves escaped,
// so the text stays well formed and reads back as the same id.
void AppendEscaped(std::u16string& out, std::u16string_view text) {
  for (const char16_t c : text) {
    switch (c) {
      case u'&':
        Append(out, "&amp;");
        break;
      case u'<':
        Append(out, "&lt;");
        break;
      case u'>':
        Append(out, "&gt;");
        break;
      case u'"':
        Append(out, "&quot;");
        break;
      default:
        out.push_back(c);
    }
  }
}

void AppendComponent(std::u16string& out, const SComponent& c) {
  const std::pair<const char*, std::int32_t> fields[] = {{"\t\t\t<component class=\"", c.componentClass},
                                                         {"\" type=\"", c.type},
                                                         {"\" lang=\"", c.lang},
                                                         {"\" plat=\"", c.plat},
                                                         {"\" region=\"", c.region},
                                                         {"\" oem=\"", c.oem}};
  for (const auto& [text, value] : fields) {
    Append(out, text);
    AppendNumber(out, value);
  }
  Append(out, c.optional ? "\" optional=\"true\" />\n" : "\" optional=\"false\" />\n");
}

std::u16string WriteXml(const std::vector<SProduct>& products) {
  std::u16string out;
  Append(out, "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<meta>\n");
  for (const SProduct& product : products) {
    Append(out, "\t<product id=\"");
    AppendEscaped(out, product.id);
    Append(out, "\">\n");
    for (const SFeature& feature : product.features) {
      Append(out, "\t\t<feature id=\"");
      AppendNumber(out, feature.id);
      Append(out, "\" customized=\"true\">\n");
      for (const SComponent& component : feature.components) AppendComponent(out, component);
      Append(out, "\t\t</feature>\n");
    }
    Append(out, "\t</product>\n");
  }
  Append(out, "</meta>\n");
  return out;
}

struct TextPosition {
  std::size_t row = 0;
  std::size_t column = 0;
};

// 0-based row and column of a byte offset into `text`.
TextPosition PositionOf(std::string_view text, std::ptrdiff_t offset) {
  TextPosition at;
  const std::size_t end = std::min(text.size(), static_cast<std::size_t>(std::max<std::ptrdiff_t>(0, offset)));
  for (std::size_t i = 0; i < end; ++i) {
    if (text[i] == '\n') {
      ++at.row;
      at.column = 0;
    } else {
      ++at.column;
    }
  }
  return at;
}

// Parses `utf8`; logs and answers false when it is not a "ProductsF_C"
// document.
bool Parse(pugi::xml_document& document, const std::string& utf8) {
  const pugi::xml_parse_result parsed =
      document.load_buffer(utf8.data(), utf8.size(), pugi::parse_default, pugi::encoding_utf8);
  if (!parsed) {
    const TextPosition at = PositionOf(utf8, parsed.offset);
    ZLOG(kLog, logging::kLevelInfo, u"ProductsF_C xml parse failed.");
    ZLOG(kLog, logging::kLevelInfo, u"description: ", os::Utf8ToUtf16(parsed.description()));
    ZLOG(kLog, logging::kLevelInfo, u"detailed: row = ", at.row + 1, u", col = ", at.column + 1);
    return false;
  }
  if (!document.document_element() || !document.child("meta")) {
    ZLOG(kRepositoryLog, logging::kLevelInfo, u"ProductsF_C xml parse failed. There's no root element");
    return false;
  }
  return true;
}

}  // namespace

std::int32_t MergeProductFeatureXml(const char16_t* xmlText, std::vector<SProduct>& products,
                                    std::u16string& newXml) noexcept {
  if (xmlText == nullptr || *xmlText == u'\0') return kUnsupported;
  std::int32_t result = kCommonOk;
  try {
    std::unique_ptr<pugi::xml_document> document(new (std::nothrow) pugi::xml_document);
    if (document == nullptr) {
      result = kFail;
    } else {
      if (!Parse(*document, os::Utf16ToUtf8(xmlText))) return kProductFeatureParseFailed;
      std::vector<SProduct> read = ReadProducts(document->document_element());
      document.reset();
      // Moves only from here on: nothing below fails half-way through.
      products.reserve(products.size() + read.size());
      Merge(read, products);
    }
    newXml = WriteXml(products);
    ZLOG(kLog, logging::kLevelInfo, u"New xml = ", newXml);
    return result;
  } catch (const std::exception&) {
    return kUnsupported;
  }
}

}  // namespace zevo::util
