#pragma once
// The databases that the back end itself will read, from the control files LaTeX writes
// for it: NAME.bcf for biber, NAME.aux for bibtex. They name every database, also those
// named where the source scan does not look (a .sty, "\input setup/preamble").

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace corvina {

// The names of the data sources of one biber control file, in order: the text of each
// <bcf:datasource type="file"> element whose datatype is bibtex (or not given), with the
// XML character references resolved. Globs and remote sources are left out.
std::vector<std::string> bcf_datasources(std::string_view bcf);

// The same, read in pieces of any size: memory holds one element at most, whatever the
// size of the file.
class BcfSources {
 public:
  void feed(std::string_view piece);
  // The names found so far: all of them once every piece is fed.
  const std::vector<std::string>& names() const { return names_; }

 private:
  std::string pending_;   // from the start of an element not yet closed, or a few last bytes
  bool stopped_ = false;  // something that is not an element ends the reading
  std::vector<std::string> names_;
};

// What one line of a .aux file holds for bibtex: the names of a "\bibdata{a,b}" (`bibdata`),
// the file of a "\@input{chap1.aux}" (`input`) and the style of a "\bibstyle{plainnat}"
// (`bibstyle`), as written.
struct AuxLine {
  std::vector<std::string> bibdata;
  std::string input;
  std::string bibstyle;
};
AuxLine scan_aux_line(std::string_view line);

// Hands `visit` each line of the .aux file `path`, and the lines of each .aux file that an
// "\@input{chap1.aux}" pulls in (found in the folder of `path`, as bibtex finds them)
// right behind that line. A file that cannot be read, or one read already, is passed over.
void for_each_aux_line(const std::string& path, const std::function<void(std::string_view)>& visit);

// The databases named in the .aux file `path` and in the .aux files it pulls in with
// \@input (found in the folder of `path`, as bibtex finds them), each with ".bib" as
// bibtex adds it, in order. A file that cannot be read is passed over.
std::vector<std::string> aux_databases(const std::string& path);

// The style that the .aux file `path` names for bibtex ("biblatex" for biblatex's own);
// empty when it names none or cannot be read.
std::string aux_bibstyle(const std::string& path);

// The data sources of the .bcf file `path`. False when it cannot be read; `error`, when
// given, then receives errno.
bool bcf_databases(const std::string& path, std::vector<std::string>& names, int* error = nullptr);

}  // namespace corvina
