#pragma once
// Follows a .bib database byte by byte far enough to tell where a name begins in a name
// field (author, editor, ...): after the field's opening brace or quote, after a brace
// inside it, and after " and ". Nothing else of the database is parsed; the state is a
// few numbers and one short word, whatever the size of the database or the pieces it
// comes in.

#include <string>

namespace corvina {

class NameFieldTracker {
 public:
  // Every byte that is not part of a character, in order.
  void byte(char c);
  // A character: returns whether it is the first of a name in a name field.
  bool character();

 private:
  void byte_outside_entry(char c);
  void byte_between_fields(char c);
  void byte_in_value(char c);
  void forget_word();
  bool at_top_of_value() const;

  int depth_ = 0;  // brace depth, 1 inside an entry between its fields
  bool after_at_ = false;
  bool parenthesised_ = false;  // the entry is "@type( ... )"
  std::string word_;            // the field name being read, cut short past any name field's length
  bool word_done_ = false;      // a blank ended the word
  bool in_value_ = false;
  bool quoted_ = false;         // the value is in double quotes
  bool name_field_ = false;
  bool name_start_ = false;
  int and_progress_ = 0;  // 1 after a blank, then 2, 3, 4 for "a", "n", "d"
};

// Whether a field of this lower-case name holds a list of names.
bool is_name_field(const std::string& field);

}  // namespace corvina
