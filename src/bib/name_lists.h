#pragma once
// Where the names of an entry's name lists (author, editor, ...) begin: the orders that
// read a surname its own way (zhuyin, pinyin) and the sort names need it.

#include <cstddef>
#include <string_view>
#include <vector>

#include "bib/entry_reader.h"

namespace corvina::bib {

// Whether a field of this lower-case name holds a list of names.
bool is_name_field(std::string_view field);

// Appends, in increasing order, the offsets in `entry.text` at which a name of one of its
// name lists begins: after the "{" or "\"" that opens a piece of the value, after every
// "{" inside it, and after " and " (any case, any blanks around it) at the piece's top
// level. Every field of the entry counts, a @string's too: an abbreviation may be named
// "author". Reads bytes: right for UTF-8 and ASCII, whose characters hold no ASCII byte.
void name_starts(const Entry& entry, std::vector<std::size_t>& starts);

// Appends, in increasing order, the offsets in `entry.text` of the words of the given
// names in its name lists that begin with a byte above 0x7F, as bibtex parses a name:
// the words after the comma of "family, given" (after the second comma of "family, jr,
// given"), or, without a comma, the words before the first lower-case word and before the
// last word. Words are parted by blanks, "-", "~" and commas outside braces. With `big5`,
// the second byte of a Big5 character is never syntax.
void given_name_words(const Entry& entry, bool big5, std::vector<std::size_t>& starts);

}  // namespace corvina::bib
