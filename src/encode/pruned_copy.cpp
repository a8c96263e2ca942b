#include "encode/pruned_copy.h"

#include <algorithm>
#include <cctype>

namespace corvina {
namespace {

std::string lower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::tolower(c); });
  return out;
}

// A field's text as the back end reads it: its pieces joined, macros expanded.
std::string value_text(const bib::Entry& entry, const bib::Field& field,
                       const std::unordered_map<std::string, std::string>& strings) {
  std::string text;
  for (const bib::ValuePiece& piece : field.pieces) {
    const std::string_view inner = entry.inner(piece);
    if (piece.kind != bib::PieceKind::kMacro) {
      text += inner;
      continue;
    }
    const auto known = strings.find(lower(inner));
    text += known == strings.end() ? std::string(inner) : known->second;
  }
  return text;
}

}  // namespace

void LinkTable::entry(const bib::Entry& entry) {
  if (entry.kind == bib::EntryKind::kString) {
    for (const bib::Field& field : entry.fields) strings_[field.name] = value_text(entry, field, strings_);
    return;
  }
  if (entry.kind != bib::EntryKind::kRegular) return;
  std::vector<std::pair<std::string, std::string>> fields;
  for (const bib::Field& field : entry.fields) fields.emplace_back(field.name, value_text(entry, field, strings_));
  links_.push_back(entry_links(entry.key, fields));
}

PrunedCopy::PrunedCopy(const std::vector<bool>& needed, std::size_t first, bib::ReaderOptions options)
    : needed_(needed), next_(first), reader_(*this, options) {}

void PrunedCopy::feed(std::string_view piece, std::string& out) {
  out_ = &out;
  reader_.feed(piece);
}

void PrunedCopy::finish(std::string& out) {
  out_ = &out;
  reader_.finish();
}

void PrunedCopy::entry(const bib::Entry& entry) {
  if (entry.kind != bib::EntryKind::kRegular || needed_.at(next_++)) out_->append(entry.text);
}

std::string with_thousands(std::size_t n) {
  const std::string digits = std::to_string(n);
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

}  // namespace corvina
