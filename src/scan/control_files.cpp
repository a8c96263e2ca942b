#include "scan/control_files.h"

#include <algorithm>
#include <filesystem>
#include <set>

#include "platform/file_io.h"
#include "platform/names.h"
#include "scan/bcf_markup.h"
#include "scan/line_rules.h"
#include "scan/source_lines.h"

namespace corvina {
namespace {

constexpr std::string_view kOpen = "<bcf:datasource";
constexpr std::string_view kClose = "</bcf:datasource>";

bool wanted(std::string_view tag) {
  const std::string datatype = xml_attribute(tag, "datatype");
  return xml_attribute(tag, "type") == "file" && (datatype.empty() || datatype == "bibtex") &&
         xml_attribute(tag, "glob") != "true";
}

std::string with_bib_ending(const std::string& name) {
  return name.ends_with(".bib") ? name : name + ".bib";
}

// bibtex reads an \@input file where the line stands, so what it names comes in there.
void read_aux(const std::filesystem::path& path, std::set<std::string>& seen,
              const std::function<void(std::string_view)>& visit) {
  if (!regular_file(from_path(path))) return;
  if (!seen.insert(from_path(path.lexically_normal())).second) return;  // \@input loops
  for_each_line(from_path(path), [&](std::string_view line) {
    visit(line);
    AuxLine aux = scan_aux_line(line);
    if (!aux.input.empty()) read_aux(path.parent_path() / to_path(aux.input), seen, visit);
  });
}

}  // namespace

void BcfSources::feed(std::string_view piece) {
  if (stopped_) return;
  pending_ += piece;
  std::size_t from = 0;
  for (;;) {
    const size_t at = pending_.find(kOpen, from);
    if (at == std::string::npos) {
      // Only the last bytes may begin an element that the next piece completes.
      pending_.erase(0, std::max(from, pending_.size() - std::min(pending_.size(), kOpen.size() - 1)));
      return;
    }
    const size_t tag_end = pending_.find('>', at);
    const size_t close = pending_.find(kClose, at);
    if (close != std::string::npos && close < tag_end) {  // not an element: the reading ends
      stopped_ = true;
      pending_.clear();
      return;
    }
    if (close == std::string::npos) {  // the element goes on in the next piece
      pending_.erase(0, at);
      return;
    }
    const std::string_view text(pending_);
    if (wanted(text.substr(at, tag_end - at))) {
      std::string name = resolve_xml_references(text.substr(tag_end + 1, close - tag_end - 1));
      if (!name.empty()) names_.push_back(name);
    }
    from = at + 1;
  }
}

std::vector<std::string> bcf_datasources(std::string_view bcf) {
  BcfSources sources;
  sources.feed(bcf);
  return sources.names();
}

AuxLine scan_aux_line(std::string_view line) {
  line = without_line_end(line);
  AuxLine aux;
  if (line.starts_with("\\bibdata{")) {
    aux.bibdata = read_name_list(line, 9);
  } else if (line.starts_with("\\@input{")) {
    aux.input = std::string(line.substr(8, line.find('}') - 8));
  } else if (line.starts_with("\\bibstyle{")) {
    aux.bibstyle = std::string(line.substr(10, line.find('}') - 10));
  }
  return aux;
}

void for_each_aux_line(const std::string& path, const std::function<void(std::string_view)>& visit) {
  std::set<std::string> seen;
  read_aux(to_path(path), seen, visit);
}

std::vector<std::string> aux_databases(const std::string& path) {
  std::vector<std::string> names;
  for_each_aux_line(path, [&names](std::string_view line) {
    for (const std::string& name : scan_aux_line(line).bibdata) {
      if (!name.empty()) names.push_back(with_bib_ending(name));
    }
  });
  return names;
}

std::string aux_bibstyle(const std::string& path) {
  std::string style;
  if (!regular_file(path)) return style;
  for_each_line(path, [&style](std::string_view line) {
    // bibtex takes the first and stops at a second.
    if (style.empty()) style = scan_aux_line(line).bibstyle;
  });
  return style;
}

bool bcf_databases(const std::string& path, std::vector<std::string>& names, int* error) {
  InputFile in(path);
  BcfSources sources;
  std::string chunk;
  while (in.is_open() && in.read_chunk(chunk, 1 << 16)) sources.feed(chunk);
  names = sources.names();
  if (in.is_open() && !in.failed()) return true;
  if (error) *error = in.error();
  return false;
}

}  // namespace corvina
