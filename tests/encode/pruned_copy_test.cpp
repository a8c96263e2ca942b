// The two passes around the closure: the links read from a database, and its copy without
// the entries that are not needed.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "encode/pruned_copy.h"

namespace corvina {
namespace {

struct Piece {
  std::string text;
  bool regular = false;  // a regular entry, which may be left out
  bool needed = true;
};

// Text between entries, every kind of entry, a "%" line, Chinese text.
const std::vector<Piece> kDatabase = {
    {"% 我的書目\n"},
    {"@string{ pub = {國立臺灣大學出版中心} }"},
    {"\n\n"},
    {"@book{kept1, title = {一}, publisher = pub}", true, true},
    {"\n"},
    {"@Article(gone1, title = \"a {\"} b\")", true, false},
    {"\n@comment{ @book{inside, title={x}} }\n"},
    {"@preamble{\"\\noop\"}"},
    {"@book{gone2, crossref = {kept1}}", true, false},
    {"@book{kept2,\n  title = {二}\n}", true, true},
    {"\ntrailing text"},
};

TEST(encodePrunedCopy, LeavesOutOnlyTheEntriesNotNeededInPiecesOfAnySize) {
  std::string bib, expected;
  std::vector<bool> needed = {true};  // the entry of another database, before this one's
  for (const Piece& piece : kDatabase) {
    bib += piece.text;
    if (!piece.regular || piece.needed) expected += piece.text;
    if (piece.regular) needed.push_back(piece.needed);
  }
  for (size_t size = 1; size <= bib.size(); size += size < 12 ? 1 : 17) {
    PrunedCopy copy(needed, 1);
    std::string out;
    for (size_t at = 0; at < bib.size(); at += size) copy.feed(std::string_view(bib).substr(at, size), out);
    copy.finish(out);
    EXPECT_EQ(out, expected) << size;
  }
}

TEST(encodePrunedCopy, LinksReadWithMacrosExpandedAndMalformedEntriesCounted) {
  LinkTable table;
  bib::EntryReader reader(table);
  reader.feed("@string{par = \"Par\"}\n@book{Child, crossref = par # {ent}, ids = {c1,c2}}\n"
              "@set{s, entryset = {Child, x}}\n@book{broken, title = {no end}\n");
  reader.finish();
  ASSERT_EQ(table.links().size(), 2u);
  EXPECT_EQ(table.links()[0].key, "Child");
  EXPECT_EQ(table.links()[0].targets, std::vector<std::string>{"Parent"});
  EXPECT_EQ(table.links()[0].ids, (std::vector<std::string>{"c1", "c2"}));
  EXPECT_EQ(table.links()[1].members, (std::vector<std::string>{"Child", "x"}));
  EXPECT_EQ(table.malformed(), 1u);
}

TEST(encodePrunedCopy, CountsWithThousandsSeparators) {
  const std::pair<size_t, const char*> cases[] = {
      {0, "0"}, {999, "999"}, {1000, "1,000"}, {3120, "3,120"}, {10004, "10,004"}, {1234567, "1,234,567"}};
  for (const auto& [n, text] : cases) EXPECT_EQ(with_thousands(n), text);
}

}  // namespace
}  // namespace corvina
