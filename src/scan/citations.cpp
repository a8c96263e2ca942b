#include "scan/citations.h"

#include <algorithm>
#include <cctype>

#include "platform/file_io.h"
#include "scan/bcf_markup.h"
#include "scan/control_files.h"
#include "scan/line_rules.h"

namespace corvina {
namespace {

constexpr std::string_view kCitekey = "<bcf:citekey";
constexpr std::string_view kCitekeyClose = "</bcf:citekey>";
constexpr std::string_view kMapStep = "<bcf:map_step";
constexpr std::string_view kDatasource = "<bcf:datasource";

// The fields by which an entry leads the back end to others, and the key itself.
constexpr std::string_view kLinkFields[] = {"crossref", "xref", "xdata", "related", "entryset", "ids", "entrykey"};

bool is_element(std::string_view tag, std::string_view name) {
  return tag.starts_with(name) && tag.size() > name.size() &&
         (tag[name.size()] == ' ' || tag[name.size()] == '>' || tag[name.size()] == '/');
}

bool names_link_field(std::string field) {
  std::transform(field.begin(), field.end(), field.begin(), [](unsigned char c) { return std::tolower(c); });
  return std::find(std::begin(kLinkFields), std::end(kLinkFields), field) != std::end(kLinkFields);
}

// A step that makes, copies or cites entries, or writes a field by which one entry names
// another (also a granular "xdata=" reference written into any field).
bool changes_entries(std::string_view step) {
  for (std::string_view attribute : {"map_entry_new", "map_entry_clone", "map_entry_nocite"}) {
    if (!xml_attribute(step, attribute).empty()) return true;
  }
  if (names_link_field(xml_attribute(step, "map_field_set")) ||
      names_link_field(xml_attribute(step, "map_field_target"))) {
    return true;
  }
  if (names_link_field(xml_attribute(step, "map_field_source")) && !xml_attribute(step, "map_replace").empty()) {
    return true;
  }
  return xml_attribute(step, "map_field_value").find("xdata=") != std::string::npos;
}

void add_citation(const std::string& key, Citations& citations) {
  if (key == "*") {
    citations.all = true;
  } else if (!key.empty()) {
    citations.keys.push_back(key);
  }
}

// The names of a comma-separated list, blanks around them dropped.
void add_members(std::string_view list, Citations& citations) {
  while (!list.empty()) {
    const size_t comma = std::min(list.find(','), list.size());
    std::string_view member = list.substr(0, comma);
    while (!member.empty() && member.front() == ' ') member.remove_prefix(1);
    while (!member.empty() && member.back() == ' ') member.remove_suffix(1);
    add_citation(std::string(member), citations);
    list.remove_prefix(std::min(comma + 1, list.size()));
  }
}

}  // namespace

void BcfCitations::element(std::string_view tag, std::string_view text) {
  if (is_element(tag, kMapStep)) {
    if (citations_.entry_changing_map.empty() && changes_entries(tag)) citations_.entry_changing_map = tag;
    return;
  }
  // A set that the document defines itself lists its members in the element: they are
  // cited with it, as the back end reads them from the database.
  add_members(xml_attribute(tag, "members"), citations_);
  add_citation(resolve_xml_references(text), citations_);
}

void BcfCitations::feed(std::string_view piece) {
  pending_ += piece;
  size_t from = 0;
  for (;;) {
    const size_t at = pending_.find('<', from);
    if (at == std::string::npos) {  // text between elements tells nothing
      pending_.clear();
      return;
    }
    const size_t tag_end = pending_.find('>', at);
    if (tag_end == std::string::npos) break;
    const std::string_view tag = std::string_view(pending_).substr(at, tag_end + 1 - at);
    from = tag_end + 1;
    if (is_element(tag, kMapStep)) {
      element(tag, "");
    } else if (is_element(tag, kDatasource)) {
      const std::string datatype = xml_attribute(tag, "datatype");
      const bool read = xml_attribute(tag, "type") == "file" && xml_attribute(tag, "glob") != "true" &&
                        (datatype.empty() || datatype == "bibtex");
      if (!read && citations_.unread_source.empty()) citations_.unread_source = tag;
    } else if (is_element(tag, kCitekey) && !tag.ends_with("/>")) {
      const size_t close = pending_.find(kCitekeyClose, tag_end);
      if (close == std::string::npos) {
        from = at;
        break;
      }
      element(tag, std::string_view(pending_).substr(tag_end + 1, close - tag_end - 1));
      from = close + kCitekeyClose.size();
    }
    if (from >= pending_.size()) {
      pending_.clear();
      return;
    }
  }
  pending_.erase(0, pending_.find('<', from));  // the next piece completes what stands there
}

Citations bcf_citations(std::string_view bcf) {
  BcfCitations citations;
  citations.feed(bcf);
  return citations.citations();
}

std::vector<std::string> aux_line_citations(std::string_view line) {
  line = without_line_end(line);
  if (line.starts_with("\\citation{")) return read_name_list(line, 10);
  if (line == "\\abx@aux@nociteall") return {"*"};
  constexpr std::string_view kCite = "\\abx@aux@cite{";
  if (line.starts_with(kCite)) {
    const size_t second = line.find("}{", kCite.size());
    if (second != std::string_view::npos) return read_name_list(line, second + 2);
  }
  return {};
}

Citations aux_citations(const std::string& path) {
  Citations citations;
  for_each_aux_line(path, [&citations](std::string_view line) {
    for (const std::string& key : aux_line_citations(line)) add_citation(key, citations);
  });
  return citations;
}

bool control_file_citations(const std::string& path, Citations& citations) {
  if (path.ends_with(".aux")) {
    citations = aux_citations(path);
    return true;
  }
  InputFile in(path);
  if (!in.is_open()) return false;
  BcfCitations bcf;
  std::string chunk;
  while (in.read_chunk(chunk, 1 << 16)) bcf.feed(chunk);
  citations = bcf.citations();
  return !in.failed();
}

}  // namespace corvina
