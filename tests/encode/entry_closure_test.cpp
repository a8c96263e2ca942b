// Which entries the back end needs: the hard cases of following links between entries.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "encode/entry_closure.h"

namespace corvina {
namespace {

using Fields = std::vector<std::pair<std::string, std::string>>;
using Keys = std::vector<std::string>;

struct Entry {
  std::string key;
  Fields fields;
};

// A database for every case: chains of every link, a cycle, aliases, sets, a dashed key.
const std::vector<Entry> kEntries = {
    {"child", {{"crossref", "{parent}"}, {"title", "T"}}},
    {"parent", {{"xref", "grand"}}},
    {"grand", {{"xdata", "pub, place"}}},
    {"pub", {}},
    {"place", {{"xdata", "pub"}}},
    {"loopa", {{"crossref", "loopb"}}},
    {"loopb", {{"related", "loopa, Other"}}},
    {"other", {}},
    {"alias-holder", {{"ids", "{old1, Old2}"}}},
    {"byalias", {{"crossref", "old2"}}},
    {"set1", {{"entryset", "m1,m2"}}},
    {"m1", {}},
    {"m2", {{"xref", "mparent"}}},
    {"mparent", {}},
    {"granular", {{"author", "Ann and xdata=my-pub-author-2"}, {"title", "{xdata=my-pub-title}"}}},
    {"my-pub", {}},
    {"my", {}},
    {"Upper", {}},
    {"upper", {}},
    {"lonely", {{"note", "crossref parent"}}},
};

Keys needed(const Keys& cited) {
  std::vector<EntryLinks> links;
  for (const Entry& entry : kEntries) links.push_back(entry_links(entry.key, entry.fields));
  const std::vector<bool> keep = needed_entries(links, cited);
  Keys keys;
  for (size_t i = 0; i < kEntries.size(); ++i)
    if (keep[i]) keys.push_back(kEntries[i].key);
  return keys;
}

TEST(encodeEntryClosure, FollowsEveryLinkToTheEnd) {
  const std::pair<Keys, Keys> cases[] = {
      {{"child"}, {"child", "parent", "grand", "pub", "place"}},
      {{"place"}, {"pub", "place"}},
      // A cycle ends, and a related entry named in another case comes along.
      {{"loopb"}, {"loopa", "loopb", "other"}},
      // An alias cited, an alias named by crossref, in either case.
      {{"OLD1"}, {"alias-holder"}},
      {{"byalias"}, {"alias-holder", "byalias"}},
      // A member cited brings its set, and the set its other members and what they name.
      {{"m1"}, {"set1", "m1", "m2", "mparent"}},
      {{"mparent"}, {"mparent"}},
      // A granular reference names every key that it may begin with.
      {{"granular"}, {"granular", "my-pub", "my"}},
      // A key cited in another case keeps every entry that it matches.
      {{"UPPER"}, {"Upper", "upper"}},
      // Text that merely mentions a link field names nothing; an unknown key keeps nothing.
      {{"lonely", "missing"}, {"lonely"}},
      {{}, {}},
  };
  for (const auto& [cited, expected] : cases) {
    EXPECT_EQ(needed(cited), expected) << (cited.empty() ? "" : cited.front());
  }
}

TEST(encodeEntryClosure, LinksOfTheFieldsThatNameEntries) {
  const EntryLinks links = entry_links(
      "k", {{"ids", " {a} , b ,"}, {"entryset", "s1,{s2}"}, {"related", "r"}, {"relatedtype", "bytranslator"},
            {"xref", ""}, {"note", "see xdata=x-y-z and noxdata=q-r"}});
  EXPECT_EQ(links.ids, (Keys{"a", "b"}));
  EXPECT_EQ(links.members, (Keys{"s1", "s2"}));
  EXPECT_EQ(links.targets, (Keys{"s1", "s2", "r", "x", "x-y"}));
}

}  // namespace
}  // namespace corvina
