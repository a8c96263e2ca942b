#pragma once
// The little of XML that reading biber's control file takes: biblatex writes one element
// or tag a line, attributes in double quotes, and the five character references.

#include <string>
#include <string_view>

namespace corvina {

// The value of attribute `name` in the start tag `tag` (from its "<"), its character
// references resolved; an empty string when the tag has none.
std::string xml_attribute(std::string_view tag, std::string_view name);

// `text` with "&amp;", "&lt;", "&gt;", "&quot;" and "&apos;" resolved.
std::string resolve_xml_references(std::string_view text);

}  // namespace corvina
