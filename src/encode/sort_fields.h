#pragma once
// Where the back end sorts by biblatex's sort fields (biber, biblatex's bibtex style), the
// user's fields stay as written, so that styles format, label and hash the user's own text;
// only what the order depends on is encoded. This plans it for one entry.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "bib/entry_reader.h"
#include "core/sort_settings.h"

namespace corvina {

struct SortFieldPlan {
  struct Extent {
    std::size_t begin = 0, end = 0;  // a field's value in Entry::text, delimiters included
    bool operator==(const Extent&) const = default;
  };
  struct Added {
    std::string name;  // "sortname"
    Extent from;       // the value it is made of: the author's, the title's, ...
    bool operator==(const Added&) const = default;
  };
  // Values encoded where they stand, in the order of the entry: sort fields the user wrote,
  // and fields a template sorts by that no sort field stands for (journaltitle, ...).
  std::vector<Extent> in_place;
  // Sort fields the entry lacks, each made from the field it stands for, where that holds
  // Chinese (`sortname` from the name list the template would sort by).
  std::vector<Added> added;
  // Where the entries sort by their alphabetic labels first: the characters of a label
  // that begins with Chinese, for a presort the entry lacks (see label_characters), so
  // that the Chinese labels sort in our order and not by their code points. Empty when
  // none is added.
  std::vector<std::string> label_presort;
  bool label_presort_from_names = false;
};

// What the plan asks of the build: whether a value holds Chinese, whether a text begins
// with a character the build encodes, and how the label's characters are counted.
struct ChineseText {
  std::function<bool(std::string_view)> holds;
  std::function<bool(std::string_view)> begins;
  bool big5 = false;
};

// The plan for `entry` under `settings`. An entry that is not a regular one (@string,
// @preamble, @comment) is left alone.
SortFieldPlan plan_sort_fields(const bib::Entry& entry, const SortSettings& settings, const ChineseText& chinese);

}  // namespace corvina
