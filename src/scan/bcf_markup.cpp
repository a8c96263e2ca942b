#include "scan/bcf_markup.h"

#include <utility>

namespace corvina {

std::string xml_attribute(std::string_view tag, std::string_view name) {
  const std::string head = " " + std::string(name) + "=\"";
  size_t at = tag.find(head);
  if (at == std::string_view::npos) return "";
  at += head.size();
  return resolve_xml_references(tag.substr(at, tag.find('"', at) - at));
}

std::string resolve_xml_references(std::string_view text) {
  static const std::pair<std::string_view, char> kReferences[] = {
      {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    bool replaced = false;
    for (const auto& [reference, c] : kReferences) {
      if (text.substr(i, reference.size()) == reference) {
        out += c;
        i += reference.size() - 1;
        replaced = true;
        break;
      }
    }
    if (!replaced) out += text[i];
  }
  return out;
}

}  // namespace corvina
