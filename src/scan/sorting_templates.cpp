#include "scan/sorting_templates.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <string>
#include <vector>

namespace corvina {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// The value of attribute `name` in the start tag `tag`, or nothing.
std::optional<std::string> attribute(std::string_view tag, std::string_view name) {
  const std::string head = std::string(name) + "=\"";
  for (size_t at = tag.find(head); at != std::string_view::npos; at = tag.find(head, at + 1)) {
    if (at == 0 || !is_blank(tag[at - 1])) continue;
    const size_t start = at + head.size(), end = tag.find('"', start);
    if (end == std::string_view::npos) return std::nullopt;
    return std::string(tag.substr(start, end - start));
  }
  return std::nullopt;
}

// The elements named `name` in `text`, in order: each its start tag and its content.
struct Element {
  std::string_view tag, content;
};
std::vector<Element> elements(std::string_view text, std::string_view name) {
  const std::string open = "<" + std::string(name), close = "</" + std::string(name) + ">";
  std::vector<Element> found;
  for (size_t at = text.find(open); at != std::string_view::npos; at = text.find(open, at + 1)) {
    const size_t after = at + open.size();
    if (after >= text.size() || !(is_blank(text[after]) || text[after] == '>')) continue;  // a longer name
    const size_t tag_end = text.find('>', after);
    if (tag_end == std::string_view::npos) break;
    const size_t end = text.find(close, tag_end);
    if (end == std::string_view::npos) break;
    found.push_back({text.substr(at, tag_end - at), text.substr(tag_end + 1, end - tag_end - 1)});
  }
  return found;
}

std::string trimmed(std::string_view text) {
  while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
  return std::string(text);
}

SortingTemplate read_template(const Element& element) {
  SortingTemplate t{attribute(element.tag, "name").value_or(""), {}};
  for (const Element& sort : elements(element.content, "bcf:sort")) {
    std::vector<std::string> fields;
    for (const Element& item : elements(sort.content, "bcf:sortitem")) {
      if (attribute(item.tag, "literal").value_or("0") != "1") fields.push_back(trimmed(item.content));
    }
    t.sorts.push_back(fields);
  }
  return t;
}

// The use* options of one <bcf:options> element; of the global one also its
// sortingtemplatename and the label's name counts (`global`).
std::map<std::string, bool> read_use_options(std::string_view content, std::string* template_name,
                                             SortSettings* global = nullptr) {
  std::map<std::string, bool> use;
  for (const Element& option : elements(content, "bcf:option")) {
    const std::vector<Element> key = elements(option.content, "bcf:key"), value = elements(option.content, "bcf:value");
    if (key.empty() || value.empty()) continue;
    const std::string name = trimmed(key[0].content), setting = trimmed(value[0].content);
    if (name.starts_with("use")) use[name] = setting == "1" || setting == "true";
    if (name == "sortingtemplatename" && template_name) *template_name = setting;
    if (global && (name == "maxalphanames" || name == "minalphanames") && !setting.empty() &&
        std::all_of(setting.begin(), setting.end(), [](char c) { return c >= '0' && c <= '9'; }) && setting.size() < 6)
      (name == "maxalphanames" ? global->max_alpha_names : global->min_alpha_names) = std::stoi(setting);
  }
  return use;
}

}  // namespace

std::optional<SortSettings> read_sort_settings(std::string_view bcf) {
  const std::vector<Element> declared = elements(bcf, "bcf:sortingtemplate");
  if (declared.empty()) return std::nullopt;
  SortSettings settings;
  std::string global_template;
  for (const Element& options : elements(bcf, "bcf:options")) {
    if (attribute(options.tag, "component").value_or("") != "biblatex") continue;
    const std::string type = attribute(options.tag, "type").value_or("global");
    if (type == "global") {
      settings.use = read_use_options(options.content, &global_template, &settings);
    } else {
      settings.use_by_type[type] = read_use_options(options.content, nullptr);
    }
  }
  std::vector<std::string> in_use;
  for (const Element& list : elements(bcf, "bcf:datalist")) {
    const std::string name = attribute(list.tag, "sortingtemplatename").value_or("");
    if (!name.empty() && std::find(in_use.begin(), in_use.end(), name) == in_use.end()) in_use.push_back(name);
  }
  if (in_use.empty()) in_use.push_back(global_template);
  for (const Element& element : declared) {
    SortingTemplate t = read_template(element);
    if (std::find(in_use.begin(), in_use.end(), t.name) != in_use.end()) settings.templates.push_back(std::move(t));
  }
  return settings;
}

bool bcf_reads_big5(std::string_view bcf) {
  std::string encoding;
  for (const Element& options : elements(bcf, "bcf:options")) {
    if (attribute(options.tag, "component").value_or("") != "biber") continue;
    for (const Element& option : elements(options.content, "bcf:option")) {
      const std::vector<Element> key = elements(option.content, "bcf:key"), value = elements(option.content, "bcf:value");
      if (!key.empty() && !value.empty() && trimmed(key[0].content) == "input_encoding") encoding = trimmed(value[0].content);
    }
  }
  // biber finds an encoding by its name regardless of case, "-" and "_".
  std::string name;
  for (const char c : encoding)
    if (c != '-' && c != '_') name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return name == "big5" || name == "big5eten" || name == "cp950" || name == "big5hkscs";
}

}  // namespace corvina
