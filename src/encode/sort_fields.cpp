#include "encode/sort_fields.h"

#include <algorithm>
#include <array>

#include "encode/alpha_label.h"

namespace corvina {
namespace {

// The sort fields and the field each stands for where the entry lacks it; sortkey and
// presort stand for none.
struct SortField {
  std::string_view name, stands_for;
};
constexpr std::array<SortField, 6> kSortFields{{{"sortname", "<names>"},
                                                {"sorttitle", "title"},
                                                {"sortyear", "year"},
                                                {"sortshorthand", "shorthand"},
                                                {"sortkey", ""},
                                                {"presort", ""}}};

const SortField* sort_field(std::string_view name) {
  for (const SortField& f : kSortFields)
    if (f.name == name) return &f;
  return nullptr;
}

const bib::Field* find(const bib::Entry& entry, std::string_view name) {
  for (const bib::Field& field : entry.fields)
    if (field.name == name) return &field;
  return nullptr;
}

// Whether a sort of the template holds a sort field that stands for `field` in it.
bool stood_for(const std::vector<std::string>& sort, const std::string& field) {
  for (const std::string& item : sort) {
    const SortField* f = sort_field(item);
    if (f && (f->stands_for == field || (f->stands_for == "<names>" && is_name_list(field)))) return true;
  }
  return false;
}

class Planner {
 public:
  Planner(const bib::Entry& entry, const SortSettings& settings, const ChineseText& chinese)
      : entry_(entry), settings_(settings), chinese_(chinese), by_label_(settings.sorts_by_label_first()) {}

  SortFieldPlan plan() {
    if (by_label_ && !find(entry_, "presort")) plan_label_presort();
    for (const SortingTemplate& t : settings_.templates)
      for (const auto& sort : t.sorts)
        for (const std::string& item : sort) take(item, sort);
    std::sort(plan_.in_place.begin(), plan_.in_place.end(),
              [](const auto& a, const auto& b) { return a.begin < b.begin; });
    return plan_;
  }

 private:
  void take(const std::string& item, const std::vector<std::string>& sort) {
    // Where the labels order the entries, a presort the user wrote is the user's own
    // grouping of them and ranks above the label: it stays as written, and no label
    // presort replaces it.
    if (by_label_ && item == "presort") return;
    const bib::Field* written = find(entry_, item);
    if (written) {
      // A sort field the user wrote, or a sorted field no sort field stands for here.
      if (sort_field(item) || !stood_for(sort, item)) encode_in_place(*written);
      return;
    }
    const SortField* f = sort_field(item);
    if (!f || f->stands_for.empty()) return;
    const std::string source = f->stands_for == "<names>" ? names_sorted_by() : std::string(f->stands_for);
    if (const bib::Field* from = source.empty() ? nullptr : find(entry_, source)) add(item, *from);
  }

  // A label that begins with a Latin letter (Ø and É too) or a digit sorts among the Latin
  // ones, as in the direct run, so only one that begins with Chinese gets a presort.
  void plan_label_presort() {
    LabelCharacters label = label_characters(entry_, settings_, chinese_.big5);
    if (label.pieces.empty() || !chinese_.begins(label.pieces[0])) return;
    plan_.label_presort = std::move(label.pieces);
    plan_.label_presort_from_names = label.from_names;
  }

  std::string names_sorted_by() const {
    return settings_.name_list_sorted_by(entry_.type, [this](const std::string& field) { return find(entry_, field); });
  }

  bool holds_chinese(const bib::Field& field) const {
    return chinese_.holds(entry_.text.substr(field.value_begin, field.value_end - field.value_begin));
  }

  void encode_in_place(const bib::Field& field) {
    const SortFieldPlan::Extent extent{field.value_begin, field.value_end};
    if (!holds_chinese(field) || std::find(plan_.in_place.begin(), plan_.in_place.end(), extent) != plan_.in_place.end())
      return;
    plan_.in_place.push_back(extent);
  }

  void add(const std::string& name, const bib::Field& from) {
    if (!holds_chinese(from)) return;
    for (const auto& added : plan_.added)
      if (added.name == name) return;
    plan_.added.push_back({name, {from.value_begin, from.value_end}});
  }

  const bib::Entry& entry_;
  const SortSettings& settings_;
  const ChineseText& chinese_;
  const bool by_label_;
  SortFieldPlan plan_;
};

}  // namespace

SortFieldPlan plan_sort_fields(const bib::Entry& entry, const SortSettings& settings, const ChineseText& chinese) {
  if (entry.kind != bib::EntryKind::kRegular) return {};
  return Planner(entry, settings, chinese).plan();
}

}  // namespace corvina
