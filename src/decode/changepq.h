#pragma once
// The font-family rewrite of "cinput.tex" (corvina4 only): selections of the families pqM
// and pqR are made to take the family from the macros \pqM and \pqR, which the file
// defines with \providecommand, so a document can choose other families by defining them
// first.

#include <string>
#include <string_view>

namespace corvina {

// The rewrite of one line (with or without its line end), first rule that applies:
// - a line holding "\providecommand{\cH}{\char}" is kept and followed by an empty line,
//   "\providecommand{\pqM}{pqM}", "\providecommand{\pqR}{pqR}" and another empty line;
// - else the first "\fontfamily{pqM}" becomes "\fontfamily{\pqM}";
// - else the first "\fontfamily{pqR}" becomes "\fontfamily{\pqR}";
// - else the line comes back unchanged, byte for byte.
std::string changepq_line(std::string_view line);

// Rewrites "cinput.tex" in the working directory line by line; its previous content is
// kept as "cinput.@@@" (an older "cinput.@@@" is replaced). Does nothing when there is no
// "cinput.tex".
// The new text is written in full to "cinput@@.tex" before any file is moved, so a failure
// leaves "cinput.tex" as it was and no "cinput@@.tex" behind; it is reported by throwing
// RunError(kExitFileError) with a message naming the file and the reason.
void changepq();

}  // namespace corvina
