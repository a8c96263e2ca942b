#pragma once
// Which entries of the run's databases the back end needs for a document: those it cites
// and, followed to the end, those they lead to. The back end reads no other entry, so
// leaving the rest out of its copy changes nothing it writes.

#include <string>
#include <string_view>
#include <vector>

namespace corvina {

// One entry as far as its links to others go.
struct EntryLinks {
  std::string key;
  std::vector<std::string> ids;      // its aliases
  std::vector<std::string> targets;  // what it names: crossref, xref, xdata, related, entryset
  std::vector<std::string> members;  // its entryset: a set is needed when one of them is
};

// The links of an entry from the (lower-case) name and text of each of its fields. A
// granular reference ("xdata=parent-title-2", in any field) names every key that it may
// begin with, since a key may hold "-" itself.
EntryLinks entry_links(std::string key, const std::vector<std::pair<std::string, std::string>>& fields);

// For each entry (same index): true when the back end needs it. Needed are the entries
// whose key, or one of whose ids, equals a cited key but for case, then every entry that a
// needed one names (by key or alias, but for case), and every set whose entryset names a
// needed entry, to the end. Entries of every database of the run together.
std::vector<bool> needed_entries(const std::vector<EntryLinks>& entries, const std::vector<std::string>& cited);

}  // namespace corvina
