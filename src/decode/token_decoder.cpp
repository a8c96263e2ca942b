#include "decode/token_decoder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__) && defined(__x86_64__)
#include <emmintrin.h>
#endif

#include "core/encoder.h"
#include "decode/group_code.h"
#include "decode/line_record.h"

namespace corvina {

namespace {

bool is_x(char c) { return c == 'x' || c == 'X'; }

bool is_z(char c) { return c == 'z' || c == 'Z'; }

bool may_open_run(char c) { return c == '0' || is_z(c); }

// Length of the run prefix at the front of `text`: "Zzz" (the Chinese block last) or "0Zz"
// (first), in any case, since a back end may change the case of a field; 0 when none.
std::size_t run_prefix_size(std::string_view text) {
  if (text.size() < 3 || !may_open_run(text[0]) || !is_z(text[1]) || !is_z(text[2])) return 0;
  return 3;
}

#if defined(__SSE2__) && defined(__x86_64__)
// Where the first two bytes side by side that are "z" in either case begin, sixteen bytes at
// a time; the size of `text` when there are none.
std::size_t first_z_pair(std::string_view text) {
  const auto zs_at = [&](std::size_t at) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + at));
    return static_cast<unsigned>(
        _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_or_si128(block, _mm_set1_epi8(0x20)), _mm_set1_epi8('z'))));
  };
  unsigned carried = 0;  // the byte before text[i] is a "z"
  std::size_t i = 0;
  for (;; i += 16) {
    unsigned zs;
    if (i + 16 <= text.size()) {
      zs = zs_at(i);
    } else if (i < text.size() && text.size() >= 16) {
      zs = zs_at(text.size() - 16) >> (i + 16 - text.size());  // the last bytes, those seen dropped
    } else {
      break;
    }
    if (carried & zs) return i - 1;
    if (const unsigned pairs = zs & (zs >> 1)) return i + static_cast<std::size_t>(std::countr_zero(pairs));
    carried = zs >> 15;
  }
  for (; i < text.size(); ++i) {
    const unsigned this_z = (text[i] | 0x20) == 'z';
    if (carried & this_z) return i - 1;
    carried = this_z;
  }
  return text.size();
}
#endif

// Both prefixes have a "z" as their second and third byte: test those first, since they are
// rare in plain text.
bool contains_run_prefix(std::string_view text) {
#if defined(__SSE2__) && defined(__x86_64__)
  std::size_t i = std::max<std::size_t>(1, first_z_pair(text));
#else
  std::size_t i = 1;
  // Eight bytes at a time while no byte pair among them can be "zz".
  constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full, kCase = 0x2020202020202020ull;
  for (std::uint64_t word; i + 9 <= text.size(); i += 7) {
    std::memcpy(&word, text.data() + i, 8);
    const std::uint64_t x = (word | kCase) ^ 0x7A7A7A7A7A7A7A7Aull;
    if (~(((x & kLow7) + kLow7) | x | kLow7) != 0) break;
  }
#endif
  for (; i + 2 <= text.size(); ++i) {
    if (is_z(text[i]) && is_z(text[i + 1]) && may_open_run(text[i - 1])) return true;
  }
  return false;
}

// The bytes that need more than a copy in running text: one that may open a run, an "x"
// that the log marks, a "}" that may follow a decoded character, a "{" that may open the
// group of an initial.
constexpr std::array<bool, 256> kNeedsAttention = [] {
  std::array<bool, 256> table{};
  for (unsigned char c : std::string_view("0zZxX{}")) table[c] = true;
  return table;
}();

std::size_t plain_span(std::string_view text, std::size_t from) {
  std::size_t i = from;
  while (i < text.size() && !kNeedsAttention[static_cast<unsigned char>(text[i])]) ++i;
  return i - from;
}

struct CharacterToken {
  std::size_t size = 0;  // 0: not a complete token
  unsigned code = 0;
};

CharacterToken character_token(std::string_view text, const TokenFormat& format) {
  if (text.empty() || !is_x(text[0])) return {};
  std::size_t pos = 1;
  if (format.tokens_carry_group) {
    const std::size_t group = group_code_size(text.substr(pos));
    if (group == 0) return {};
    pos += group;
  }
  // A zhuyin- or pinyin-order token has its reading here; where it has not, the code follows.
  if (format.reading_fields) pos += format.reading_fields(text.substr(pos));
  unsigned code = 0;
  const std::size_t field = format.code_field(text.substr(pos), code);
  return field == 0 ? CharacterToken{} : CharacterToken{pos + field, code};
}

// Group codes are ASCII: no locale needed to compare them without case.
char ascii_upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - ('a' - 'A')) : c; }

bool same_group(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (ascii_upper(a[i]) != ascii_upper(b[i])) return false;
  }
  return true;
}

struct Opening {
  std::size_t prefix = 0;  // run prefix and group code; 0: no run starts here
  CharacterToken first;
};

// The start of the run at the front of `text`. The group in the prefix is always the group
// of the run's first character, and checking it keeps text that runs into a token out of
// the run: "Jazz" and a token "ZzzQ..." read "zzZzzQ...", where "zzZ" and the group "zzQ"
// would otherwise open a run and swallow the "zz".
Opening opening(std::string_view text, const TokenFormat& format) {
  std::size_t lead = run_prefix_size(text);
  if (lead == 0) return {};
  if (!format.run_mark.empty() && text.substr(lead).starts_with(format.run_mark)) lead += format.run_mark.size();
  const std::size_t group = group_code_size(text.substr(lead));
  if (group == 0) return {};
  const std::string_view after = text.substr(lead + group);
  const CharacterToken first = character_token(after, format);
  if (first.size == 0) return {};
  const std::string_view in_prefix = text.substr(lead, group);
  if (format.tokens_carry_group) {
    if (!same_group(in_prefix, after.substr(1, group_code_size(after.substr(1))))) return {};
  } else if (group_code_value(in_prefix, group) != std::max(0, format.group_of(first.code))) {
    return {};
  }
  return {lead + group, first};
}

// Characters of a name element as decoded: one per character token, one per other byte
// but braces.
std::size_t decoded_length(std::string_view element, const TokenFormat& format) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < element.size();) {
    const Opening run = opening(element.substr(i), format);
    if (run.prefix == 0) {
      count += element[i] != '{' && element[i] != '}';
      ++i;
      continue;
    }
    i += run.prefix;
    for (CharacterToken t; (t = character_token(element.substr(i), format)).size > 0; i += t.size) {
      ++count;
    }
  }
  return count;
}

// biber joins the elements of a name part of three or more with "\bibnamedelima" after
// the first when it is shorter than three characters, else "\bibnamedelimb". It counted
// a token, which is always longer, so a first element that held one is counted again as
// decoded. Returns whether `text`, a name part, asks for "\bibnamedelima" there.
bool first_delimiter_shorter(std::string_view text, const TokenFormat& format) {
  constexpr std::string_view kLonger = "\\bibnamedelimb";
  const std::size_t start = name_part_start(text);
  if (start == std::string_view::npos) return false;
  const std::size_t end = text.find("\\bibnamedelim", start);
  if (end == std::string_view::npos || text.substr(end, kLonger.size()) != kLonger) return false;
  const std::string_view element = text.substr(start, end - start);
  return contains_run_prefix(element) && decoded_length(element, format) < 3;
}

}  // namespace

bool has_run_prefix(std::string_view text) { return contains_run_prefix(text); }

TokenDecoder::TokenDecoder(const TokenFormat& format, bool add_mbox)
    : format_(format),
      add_mbox_(add_mbox),
      first_character_([this](std::string_view text) { return first_character(text); }) {}

void TokenDecoder::decode_line(std::string_view line, std::string& out, std::string* log) {
  const LineParts parts = split_line_end(line);
  // The record of the line as read: its numbers, then the line.
  bool z_pair = true;
  if (log) {
    append_record(line_record(parts.text, &z_pair), *log);
    log->append(line);
  }
  initials_.read(parts.text, first_character_);
  const std::size_t start = out.size(), log_start = log ? log->size() : 0;
  // A line without a run is copied whole and, unlike a scanned line, leaves the
  // after-character flag as it was. Initials are letters, never a run.
  if (z_pair && contains_run_prefix(parts.text)) {
    decode_text(parts.text, parts.text.size(), out, log);
    in_run_ = false;
    if (first_delimiter_shorter(parts.text, format_)) {
      use_shorter_delimiter(out, start);
      if (log) use_shorter_delimiter(*log, log_start);
    }
  } else if (initials_.holds_initials(parts.text)) {
    initials_.mend(parts.text, out);
    if (log) log->append(out, start);
  } else {
    out.append(line);
    if (log) log->append(line);
    return;
  }
  out.append(parts.end);
  if (log) log->append(parts.end);
}

std::size_t TokenDecoder::decode_text(std::string_view text, std::size_t limit, std::string& out,
                                      std::string* log) {
  std::size_t i = in_run_ ? continue_run(text, 0, limit, out, log) : 0;
  if (in_run_) return i;
  while (i < limit) {
    // Bytes that open nothing go out as one span; any of them ends a run of characters.
    if (const std::size_t span = plain_span(text, i); span > 0) {
      out.append(text.substr(i, span));
      if (log) log->append(text.substr(i, span));
      after_character_ = false;
      i += span;
      continue;
    }
    const char c = text[i];
    if (c == '{') {
      const std::size_t end = decode_initial(text, i, limit, out, log);
      if (end > i) {
        i = end;
        if (in_run_) return i;
        continue;
      }
    }
    if (may_open_run(c)) {
      const std::size_t end = decode_run(text, i, limit, out, log);
      if (end > i) {
        i = end;
        if (in_run_) return i;
        continue;
      }
    }
    // An "x" that opens no run leaves the after-character flag as it is.
    if (is_x(c)) {
      out.push_back(c);
      if (log) log->append({c, '$'});
    } else {
      if (c == '}' && after_character_ && add_mbox_) out.append("\\mbox{}");
      after_character_ = false;
      out.push_back(c);
      if (log) log->push_back(c);
    }
    ++i;
  }
  return i;
}

void TokenDecoder::use_shorter_delimiter(std::string& text, std::size_t start) {
  const std::size_t at = text.find("\\bibnamedelimb", start);
  if (at != std::string::npos) text[at + std::string_view("\\bibnamedelim").size()] = 'a';
}

std::string TokenDecoder::first_character(std::string_view text) const {
  const Opening run = opening(text, format_);
  std::string character;
  if (run.prefix > 0) format_.put_character(run.first.code, character);
  return character;
}

std::size_t TokenDecoder::decode_run(std::string_view text, std::size_t at, std::size_t limit,
                                     std::string& out, std::string* log) {
  const std::size_t prefix = opening(text.substr(at), format_).prefix;
  return prefix == 0 ? at : continue_run(text, at + prefix, limit, out, log);
}

// The encoder's group is kInitialOpening, a run opening, exactly one character token and
// "}". The character goes out bare, as bibtex would have abbreviated it from the original,
// and the run may go on after the group.
std::size_t TokenDecoder::decode_initial(std::string_view text, std::size_t at, std::size_t limit,
                                         std::string& out, std::string* log) {
  const std::string_view group = text.substr(at);
  if (!group.starts_with(kInitialOpening)) return at;
  const std::size_t lead = kInitialOpening.size();
  // Only a classic style's runs carry the mark, and only they get the group: a "{\!" of the
  // user's before a run written for biber keeps its braces.
  const std::string_view inner = group.substr(lead);
  if (format_.run_mark.empty() || !inner.substr(run_prefix_size(inner)).starts_with(format_.run_mark)) return at;
  const Opening run = opening(inner, format_);
  const std::size_t close = lead + run.prefix + run.first.size;
  if (run.prefix == 0 || close >= group.size() || group[close] != '}') return at;
  std::string character;
  format_.put_character(run.first.code, character);
  out.append(character);
  if (log) log->append(character);
  after_character_ = true;
  return continue_run(text, at + close + 1, limit, out, log);
}

std::size_t TokenDecoder::continue_run(std::string_view text, std::size_t at, std::size_t limit,
                                       std::string& out, std::string* log) {
  // The characters are gathered first: one append each to the text and the log.
  characters_.clear();
  for (in_run_ = true; at < limit;) {
    const CharacterToken token = character_token(text.substr(at), format_);
    if (token.size == 0) {
      in_run_ = false;
      break;
    }
    format_.put_character(token.code, characters_);
    after_character_ = true;
    at += token.size;
  }
  out.append(characters_);
  if (log) log->append(characters_);
  return at;
}

bool TokenDecoder::begin_pieces(std::string_view head) {
  // Such a line is neither a name part, nor the rest of one, nor initials: reading it only
  // closes a name part left open, as it would for the whole line.
  if (initials_.needs_whole_line(head)) return false;
  initials_.read(head, first_character_);
  in_run_ = false;
  return true;
}

std::size_t TokenDecoder::decode_piece(std::string_view text, bool line_has_run, bool last,
                                       std::string& out, std::string* log) {
  if (!line_has_run) {
    out.append(text);
    if (log) log->append(text);
    return text.size();
  }
  const std::size_t limit = last ? text.size() : text.size() - std::min(text.size(), kPieceLookahead);
  const std::size_t end = decode_text(text, limit, out, log);
  if (last) in_run_ = false;
  return end;
}

}  // namespace corvina
