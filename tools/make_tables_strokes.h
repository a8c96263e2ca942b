#pragma once
// Stroke counts of every ideograph that Unihan counts, in Taiwan's way of counting.

#include <map>

#include "make_tables_unihan.h"

namespace make_tables {

// Code point -> stroke count, for every ideograph of the blocks in kIdeographBlocks that
// has a kTotalStrokes value.
using StrokeCounts = std::map<char32_t, int>;

struct Block {
  char32_t first, last;
};

// The CJK ideograph blocks, in code point order: Extension A, the unified ideographs, the
// compatibility ideographs, Extensions B..F, the compatibility supplement, Extensions G, H.
inline constexpr Block kIdeographBlocks[] = {
    {0x3400, 0x4DBF},   {0x4E00, 0x9FFF},   {0xF900, 0xFAFF},   {0x20000, 0x2A6DF},
    {0x2A700, 0x2B73F}, {0x2B740, 0x2B81F}, {0x2B820, 0x2CEAF}, {0x2CEB0, 0x2EBEF},
    {0x2F800, 0x2FA1F}, {0x30000, 0x3134F}, {0x31350, 0x323AF},
};

// Needs the fields kBigFive, kTotalStrokes, kRSUnicode and kTraditionalVariant.
// `agreement` receives how many Big5 characters the rule for the others counts as Big5 does,
// and how many Big5 characters there are.
StrokeCounts make_strokes(const UnihanFields& unihan, std::pair<int, int>* agreement);

}  // namespace make_tables
