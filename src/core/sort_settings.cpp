#include "core/sort_settings.h"

#include <algorithm>
#include <array>

namespace corvina {

// biblatex's name lists, any of which a template may name.
static constexpr std::array<std::string_view, 16> kNameLists{
    "author",     "editor",      "translator",   "editora",  "editorb",   "editorc", "bookauthor", "annotator",
    "commentator", "introduction", "foreword", "afterword", "holder", "namea", "nameb", "namec"};

bool is_name_list(std::string_view field) {
  return std::find(kNameLists.begin(), kNameLists.end(), field) != kNameLists.end();
}

bool SortSettings::uses(const std::string& type, const std::string& field) const {
  const std::string option = "use" + field;
  if (const auto by_type = use_by_type.find(type); by_type != use_by_type.end()) {
    if (const auto it = by_type->second.find(option); it != by_type->second.end()) return it->second;
  }
  if (const auto it = use.find(option); it != use.end()) return it->second;
  return field != "translator";
}

std::vector<std::string> SortSettings::sorted_fields() const {
  std::vector<std::string> fields;
  for (const SortingTemplate& t : templates)
    for (const auto& sort : t.sorts)
      for (const std::string& field : sort)
        if (std::find(fields.begin(), fields.end(), field) == fields.end()) fields.push_back(field);
  return fields;
}

std::string SortSettings::name_list_sorted_by(const std::string& type,
                                              const std::function<bool(const std::string&)>& has) const {
  for (const SortingTemplate& t : templates)
    for (const auto& sort : t.sorts) {
      const auto sortname = std::find(sort.begin(), sort.end(), "sortname");
      if (sortname == sort.end()) continue;
      for (auto field = std::next(sortname); field != sort.end(); ++field) {
        if (!has(*field)) continue;
        if (!is_name_list(*field)) return "";
        if (uses(type, *field)) return *field;
      }
      return "";
    }
  return "";
}

namespace {

// Whether a sort of `t` holds labelalpha, before any sort that holds a name.
bool label_before_names(const SortingTemplate& t) {
  for (const auto& sort : t.sorts)
    for (const std::string& field : sort) {
      if (field == "labelalpha") return true;
      if (field == "sortname" || is_name_list(field)) return false;
    }
  return false;
}

bool sorts_by(const SortingTemplate& t, std::string_view field) {
  for (const auto& sort : t.sorts)
    if (std::find(sort.begin(), sort.end(), field) != sort.end()) return true;
  return false;
}

}  // namespace

bool SortSettings::sorts_by_label_first() const {
  bool any = false;
  for (const SortingTemplate& t : templates) {
    const bool by_label = label_before_names(t);
    if (!by_label && sorts_by(t, "presort")) return false;
    any = any || by_label;
  }
  return any;
}

SortSettings default_sort_settings() {
  SortSettings settings;
  settings.templates.push_back({"nty",
                                {{"presort"},
                                 {"sortkey"},
                                 {"sortname", "author", "editor", "translator", "sorttitle", "title"},
                                 {"sorttitle", "title"},
                                 {"sortyear", "year"},
                                 {"volume"}}});
  settings.use = {{"useauthor", true}, {"useeditor", true}, {"usetranslator", false}};
  return settings;
}

}  // namespace corvina
