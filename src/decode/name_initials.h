#pragma once
// The initials that a back end writes for a name part ("familyi={Z\bibinitperiod}") are
// the first letter of each word, and a word that was a sort token gives the token's first
// letter. The back end writes the Chinese character for the original text; this puts it back.
// Only biblatex's own .bbl layout is read: a name part "family={...}" (given, prefix,
// suffix) and right after it its initials "familyi={...}", each on one line or, wrapped by
// bibtex at blanks, on several. The state is one name part's list of initials, so the
// decoder still streams.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace corvina {

// Where the value of a name part begins when `text` opens one ("family={" after blanks;
// given, prefix and suffix too); npos when it does not.
std::size_t name_part_start(std::string_view text);

class NameInitials {
 public:
  // The decoded first character of the token run at the front of `text`; empty when no
  // run starts there.
  using FirstCharacter = std::function<std::string(std::string_view text)>;

  // Reads a line as the back end wrote it, before decoding. A name part (or the rest of
  // one that a back end wrapped) records, for each of its words, the character that its
  // initial stands for when the word began with a token.
  void read(std::string_view text, const FirstCharacter& first_character);

  // Whether `text`, a line that follows the name part, holds its initials (or their rest).
  bool holds_initials(std::string_view text) const;

  // Whether `read`, or `mend` after it, would look past the start of `text`: the line opens
  // a name part or its initials, or goes on with a value left open. Any other line only
  // closes such a value, so it may be decoded without being held whole.
  bool needs_whole_line(std::string_view text) const;

  // Appends `text` with each initial of a token word replaced by its character.
  void mend(std::string_view text, std::string& out);

  // Where a field's value starts in `text` when the line opens a name part's field
  // (its name + `suffix` + "={"), with the part's name in `part`; npos if not.
  static std::size_t value_start(std::string_view text, std::string_view suffix,
                                 std::string_view* part);

 private:
  enum class Field { kNone, kPart, kInitials };

  Field field_ = Field::kNone;  // a value that goes on in the next line
  int depth_ = 0;               // braces open in that value
  bool at_word_start_ = false;
  std::string_view part_;             // "family", "given", "prefix" or "suffix"
  std::vector<std::string> initials_;  // per word: its character, or empty to keep
  std::size_t next_ = 0;               // the next word whose initial the mend meets
};

}  // namespace corvina
