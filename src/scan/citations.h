#pragma once
// What the document cites, from the control file LaTeX writes for the back end: NAME.bcf
// for biber, NAME.aux (and the .aux files it pulls in) for bibtex. Only the entries these
// name, and what they lead to, need to reach the back end.

#include <string>
#include <string_view>
#include <vector>

namespace corvina {

struct Citations {
  // Every key cited in any section, \nocite included, and the members of each set that
  // the document defines itself (\defbibentryset), as written and in the order found.
  std::vector<std::string> keys;
  bool all = false;  // "*" is cited somewhere: every entry is needed
  // A source map may make entries, copy them, cite them, give them other keys, or set a
  // field that names another entry: what the back end needs can then not be told from
  // the database as it is written. Holds the first such step, as written.
  std::string entry_changing_map;
  // A data source that the run does not read (a glob, another data type): its entries may
  // name entries of ours. Holds its start tag.
  std::string unread_source;

  // True when only the entries that the keys lead to need to reach the back end. A
  // control file that cites nothing at all gives no list to go by.
  bool prunable() const {
    return !all && entry_changing_map.empty() && unread_source.empty() && !keys.empty();
  }
};

// The citations of a biber control file read in pieces of any size: memory holds one
// element at most, whatever the size of the file.
class BcfCitations {
 public:
  void feed(std::string_view piece);
  const Citations& citations() const { return citations_; }

 private:
  void element(std::string_view tag, std::string_view text);
  std::string pending_;  // from the start of a tag, or an element, not yet closed
  Citations citations_;
};

Citations bcf_citations(std::string_view bcf);

// What one line of a .aux file cites: "\citation{a,b}", biblatex's "\abx@aux@cite{0}{a}"
// and "\abx@aux@nociteall" (as "*").
std::vector<std::string> aux_line_citations(std::string_view line);

// The citations of the .aux file `path` and of the .aux files it pulls in with \@input.
Citations aux_citations(const std::string& path);

// The citations that the control file `path` (a .bcf or a .aux) gives; false when it
// cannot be read.
bool control_file_citations(const std::string& path, Citations& citations);

}  // namespace corvina
