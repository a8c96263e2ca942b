#pragma once
// What biber sorts the entries by: the sorting templates that the document's lists of
// entries use, and biblatex's use* options, which say whether a name list may stand for the
// entry's name in sorting (useauthor, useeditor, usetranslator). The encoder needs both to
// know which fields of an entry the order depends on.

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace corvina {

// One sorting template: its sorts in order, each the fields it tries in order (literal
// items, which hold no field, are left out).
struct SortingTemplate {
  std::string name;
  std::vector<std::vector<std::string>> sorts;
};

struct SortSettings {
  std::vector<SortingTemplate> templates;  // those the lists of entries use, in the .bcf's order
  std::map<std::string, bool> use;          // global use* options: "useauthor" -> true
  // The same per entry type, where a type sets its own: "book" -> "useeditor" -> false.
  std::map<std::string, std::map<std::string, bool>> use_by_type;
  // How many names an alphabetic label takes: at most max_alpha_names, else the first
  // min_alpha_names and the "+".
  int max_alpha_names = 3, min_alpha_names = 1;

  // Whether the name list `field` ("author") may stand for the entry's name, for an entry of
  // `type`. An option the .bcf does not give takes biblatex's default (true for every list
  // but translator).
  bool uses(const std::string& type, const std::string& field) const;
  // Every field that some template sorts by, each once, in the order first met.
  std::vector<std::string> sorted_fields() const;
  // The name list that an entry of `type` without a sortname sorts by: in the first sort
  // that holds sortname, the first field after it that the entry has (`has`), if that is a
  // name list the entry may use (a list it may not use counts as absent). Empty when the
  // field found is no name list, or none is found.
  std::string name_list_sorted_by(const std::string& type, const std::function<bool(const std::string&)>& has) const;
  // Whether the entries sort by their alphabetic labels before their names, so that a
  // presort holding the label's characters orders them: some template sorts by labelalpha
  // before any name, and every template that sorts by presort does so. A document whose
  // other list sorts by presort and then by the names keeps that list right instead.
  bool sorts_by_label_first() const;
};

// biblatex's own settings, for a document that has no .bcf (backend=bibtex): the nty
// template (presort, sortkey, sortname or author, editor, translator, sorttitle or title,
// sortyear or year, volume) and the default use* options.
SortSettings default_sort_settings();

// Whether `field` is one of biblatex's name lists.
bool is_name_list(std::string_view field);

}  // namespace corvina
