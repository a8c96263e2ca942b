#include "scan/long_line.h"

#include <algorithm>

namespace corvina {
namespace {

// What a rule reads after the text it found.
enum class Reach {
  kItself,       // nothing: only whether, and where, the text stands
  kToBrace,      // a list of names, up to the first '}' or the line end
  kPastOptions,  // an option list up to the first ']', one byte, then names up to a '}'
  kEngine,       // up to the first '=' and the engine name after it
};

struct Anchor {
  std::string_view text;
  Reach reach;
  bool any_case = false;
};

// Every text the line rules look for: scan_bibliography_line, scan_include_line,
// scan_aux_line and note_hints. A rule that comes to look for another text needs it here.
constexpr Anchor kAnchors[] = {
    {"\\bibliography{", Reach::kToBrace},     {"\\nobibliography{", Reach::kToBrace},
    {"\\addbibresource{", Reach::kToBrace},   {"\\addbibresource[", Reach::kPastOptions},
    {"\\addglobalbib{", Reach::kToBrace},     {"\\addglobalbib[", Reach::kPastOptions},
    {"\\addsectionbib{", Reach::kToBrace},    {"\\addsectionbib[", Reach::kPastOptions},
    {"\\input{", Reach::kToBrace},            {"\\include{", Reach::kToBrace},
    {"\\bibdata{", Reach::kToBrace},          {"\\@input{", Reach::kToBrace},
    {"!tex program", Reach::kEngine, true},   {"\\usepackage", Reach::kItself},
    {"\\RequirePackage", Reach::kItself},     {"xeCJK", Reach::kItself},
    {"xltxtra", Reach::kItself},              {"luatexja", Reach::kItself},
    {"luatexko", Reach::kItself},             {"{CJKutf8}", Reach::kItself},
    {"{CJK}", Reach::kItself},                {"biblatex", Reach::kItself},
    {"backend=bibtex", Reach::kItself},       {"\\printbibliography", Reach::kItself},
    {"\\addbibresource", Reach::kItself},     {"\\addglobalbib", Reach::kItself},
    {"\\addsectionbib", Reach::kItself},
};

// The line's first bytes, for the rules that read how a line begins ("\bibdata{").
constexpr long long kHead = 16;

constexpr std::size_t longest_anchor() {
  std::size_t longest = 0;
  for (const Anchor& anchor : kAnchors) longest = std::max(longest, anchor.text.size());
  return longest;
}

std::string lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  return out;
}

long long size_of(std::string_view text) { return static_cast<long long>(text.size()); }

// The offset in the line of the first `c` at or after `from` within the piece that begins
// at `piece_at`; -1 when there is none.
long long find_from(std::string_view piece, long long piece_at, long long from, char c) {
  if (from >= piece_at + size_of(piece)) return -1;
  const std::size_t at = piece.find(c, static_cast<std::size_t>(std::max(from, piece_at) - piece_at));
  return at == std::string_view::npos ? -1 : piece_at + static_cast<long long>(at);
}

}  // namespace

LongLine::LongLine() : found_(std::size(kAnchors)) {}

void LongLine::survey(std::string_view piece) {
  const long long piece_at = size_;
  const std::string window = tail_ + std::string(piece);
  look_for_texts(window, piece_at - size_of(tail_));
  look_for_stops(piece, piece_at);
  if (first_percent_ < 0) first_percent_ = find_from(piece, piece_at, piece_at, '%');
  size_ += size_of(piece);
  tail_ = window.substr(window.size() - std::min(window.size(), longest_anchor() - 1));
}

void LongLine::look_for_texts(std::string_view window, long long window_at) {
  const std::string lowered = lower(window);
  for (std::size_t i = 0; i < found_.size(); ++i) {
    if (found_[i].at >= 0) continue;
    const Anchor& anchor = kAnchors[i];
    const std::size_t at = (anchor.any_case ? std::string_view(lowered) : window).find(anchor.text);
    if (at == std::string_view::npos) continue;
    found_[i].at = window_at + static_cast<long long>(at);
    if (anchor.reach == Reach::kItself) found_[i].stop = found_[i].at + size_of(anchor.text) - 1;
  }
}

void LongLine::look_for_stops(std::string_view piece, long long piece_at) {
  for (std::size_t i = 0; i < found_.size(); ++i) {
    Found& found = found_[i];
    if (found.at < 0 || found.stop >= 0) continue;
    const long long after = found.at + size_of(kAnchors[i].text);
    switch (kAnchors[i].reach) {
      case Reach::kItself:
        break;
      case Reach::kToBrace:
        found.stop = find_from(piece, piece_at, after, '}');
        break;
      case Reach::kPastOptions:
        if (found.close < 0) found.close = find_from(piece, piece_at, after, ']');
        if (found.close >= 0) found.stop = find_from(piece, piece_at, found.close + 2, '}');
        break;
      case Reach::kEngine:
        if (const long long equals = find_from(piece, piece_at, found.at, '='); equals >= 0) {
          found.stop = equals + kEngineReach;
        }
        break;
    }
  }
}

std::vector<LongLine::Span> LongLine::spans() const {
  std::vector<Span> spans{{0, std::min(kHead, size_)}};
  if (first_percent_ >= 0) spans.push_back({first_percent_, first_percent_ + 1});
  for (std::size_t i = 0; i < found_.size(); ++i) {
    const Found& found = found_[i];
    if (found.at < 0) continue;
    long long end = found.stop >= 0 ? found.stop + 1 : size_;  // an unclosed list runs to the line end
    // Without its ']' an option list is never read, nor anything after it; without its '='
    // no engine is.
    const Reach reach = kAnchors[i].reach;
    if ((reach == Reach::kPastOptions && found.close < 0) || (reach == Reach::kEngine && found.stop < 0)) {
      end = found.at + size_of(kAnchors[i].text);
    }
    spans.push_back({found.at, std::min(end, size_)});
  }
  std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) { return a.begin < b.begin; });
  std::vector<Span> merged;
  for (const Span& span : spans) {
    if (span.begin >= span.end) continue;
    if (!merged.empty() && span.begin <= merged.back().end) {
      merged.back().end = std::max(merged.back().end, span.end);
    } else {
      merged.push_back(span);
    }
  }
  return merged;
}

void LongLine::keep(std::string_view piece) {
  if (read_ == 0 && kept_.empty()) kept_ = spans();
  const long long piece_at = read_;
  read_ += size_of(piece);
  for (; next_span_ < kept_.size(); ++next_span_) {
    const Span& span = kept_[next_span_];
    const long long from = std::max(span.begin, piece_at), to = std::min(span.end, read_);
    if (from >= read_) return;  // the span begins in a later piece
    if (from == span.begin && next_span_ > 0) condensed_ += ' ';
    condensed_.append(piece.substr(static_cast<std::size_t>(from - piece_at), static_cast<std::size_t>(to - from)));
    if (span.end > read_) return;  // it goes on in the next piece
  }
}

}  // namespace corvina
