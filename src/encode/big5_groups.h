#pragma once

namespace corvina::big5 {

// The stroke group of the run whose first character has the Big5 code `code` (lead byte *
// 256 + trail byte): 0 for no group, else its stroke count, 29 standing for 29 or more.
int group(unsigned code);

}  // namespace corvina::big5
