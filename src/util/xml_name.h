// Whether a text may stand as an element name in the store's documents and
// in the XPath built from it.
#ifndef ZEVO_UTIL_XML_NAME_H_
#define ZEVO_UTIL_XML_NAME_H_

#include <string_view>

namespace zevo::util {

// True when `name` is an XML 1.0 Name without colons (an NCName): a name
// start character followed by name characters, surrogate pairs read as one
// character. Anything XPath would read as syntax ('/', '|', '[', '*',
// quotes, blanks, ':') is refused, and so is the empty text.
bool IsXmlElementName(std::u16string_view name) noexcept;

}  // namespace zevo::util

#endif  // ZEVO_UTIL_XML_NAME_H_
