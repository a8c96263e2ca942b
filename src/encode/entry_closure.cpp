#include "encode/entry_closure.h"

#include <algorithm>
#include <cctype>
#include <unordered_map>

namespace corvina {
namespace {

// Keys are matched without regard to ASCII case, as the back ends warn of and use a key
// cited in another case.
std::string folded(std::string_view name) {
  std::string out(name);
  std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::tolower(c); });
  return out;
}

bool blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// The names of a comma-separated list; braces and blanks around them dropped.
std::vector<std::string> name_list(std::string_view text) {
  std::vector<std::string> names;
  std::string name;
  auto flush = [&] {
    while (!name.empty() && blank(name.back())) name.pop_back();
    if (!name.empty()) names.push_back(name);
    name.clear();
  };
  for (char c : text) {
    if (c == ',') {
      flush();
    } else if (c != '{' && c != '}' && !(name.empty() && blank(c))) {
      name += c;
    }
  }
  flush();
  return names;
}

// Every key that the granular references in `text` may name.
void add_granular_targets(std::string_view text, std::vector<std::string>& targets) {
  constexpr std::string_view kHead = "xdata=";
  for (size_t at = text.find(kHead); at != std::string_view::npos; at = text.find(kHead, at + 1)) {
    if (at > 0 && !blank(text[at - 1]) && text[at - 1] != '{') continue;
    size_t end = at + kHead.size();
    while (end < text.size() && !blank(text[end]) && text[end] != '}' && text[end] != ',') ++end;
    const std::string_view reference = text.substr(at + kHead.size(), end - at - kHead.size());
    for (size_t dash = reference.find('-'); dash != std::string_view::npos; dash = reference.find('-', dash + 1)) {
      if (dash > 0) targets.emplace_back(reference.substr(0, dash));
    }
  }
}

using Index = std::unordered_multimap<std::string, size_t>;

// Entries by key and by alias.
Index by_name(const std::vector<EntryLinks>& entries) {
  Index index;
  for (size_t i = 0; i < entries.size(); ++i) {
    index.emplace(folded(entries[i].key), i);
    for (const std::string& alias : entries[i].ids) index.emplace(folded(alias), i);
  }
  return index;
}

// Sets by the names in their entryset.
Index by_member(const std::vector<EntryLinks>& entries) {
  Index index;
  for (size_t i = 0; i < entries.size(); ++i) {
    for (const std::string& member : entries[i].members) index.emplace(folded(member), i);
  }
  return index;
}

class Closure {
 public:
  explicit Closure(const std::vector<EntryLinks>& entries)
      : entries_(entries), names_(by_name(entries)), sets_(by_member(entries)), needed_(entries.size()) {}

  void need_named(const std::string& name) { need_all(names_, name); }

  std::vector<bool> finish() {
    while (!queue_.empty()) {
      const size_t i = queue_.back();
      queue_.pop_back();
      for (const std::string& target : entries_[i].targets) need_all(names_, target);
      need_all(sets_, entries_[i].key);
      for (const std::string& alias : entries_[i].ids) need_all(sets_, alias);
    }
    return needed_;
  }

 private:
  void need_all(const Index& index, const std::string& name) {
    const auto [begin, end] = index.equal_range(folded(name));
    for (auto it = begin; it != end; ++it) {
      if (needed_[it->second]) continue;
      needed_[it->second] = true;
      queue_.push_back(it->second);
    }
  }

  const std::vector<EntryLinks>& entries_;
  const Index names_, sets_;
  std::vector<bool> needed_;
  std::vector<size_t> queue_;  // needed, their links not yet followed
};

}  // namespace

EntryLinks entry_links(std::string key, const std::vector<std::pair<std::string, std::string>>& fields) {
  EntryLinks links;
  links.key = std::move(key);
  for (const auto& [name, text] : fields) {
    if (name == "ids") {
      links.ids = name_list(text);
    } else if (name == "crossref" || name == "xref" || name == "xdata" || name == "related" || name == "entryset") {
      for (std::string& target : name_list(text)) links.targets.push_back(std::move(target));
      if (name == "entryset") links.members = name_list(text);
    }
    add_granular_targets(text, links.targets);
  }
  return links;
}

std::vector<bool> needed_entries(const std::vector<EntryLinks>& entries, const std::vector<std::string>& cited) {
  Closure closure(entries);
  for (const std::string& key : cited) closure.need_named(key);
  return closure.finish();
}

}  // namespace corvina
