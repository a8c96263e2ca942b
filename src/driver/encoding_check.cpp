#include "driver/encoding_check.h"

#include "platform/file_io.h"
#include "platform/interrupt.h"
#include "staging/locator.h"

namespace corvina {
namespace {

EncodingCensus census_of(const std::string& path) {
  EncodingCensus census;
  InputFile in(path);
  std::string chunk;
  while (in.is_open() && in.read_chunk(chunk, 1 << 16)) {
    throw_if_interrupted();
    census.feed(chunk);
  }
  census.finish();
  return census;
}

// Where the database `entry` is, or an empty string; found as staging will find it.
std::string database_path(RunState& state, const std::string& entry) {
  if (entry.empty()) return "";
  if (regular_file(entry)) return entry;
  if (!entry.ends_with(".bib") && regular_file(entry + ".bib")) return entry + ".bib";
  return locate_database(state, entry.ends_with(".bib") ? entry : entry + ".bib");
}

}  // namespace

void refuse_census(const RunState& state, const std::string& path, const EncodingCensus& census) {
  const bool utf8 = state.build.reads_utf8;
  if (utf8 ? census.chinese_big5() : census.chinese_utf8()) {
    const std::string other = utf8 ? "corvina" : "corvina4";
    throw OtherEncoding(kExitUsage, "\n! " + path + " is written in " + (utf8 ? "Big5" : "UTF-8") + ": use " +
                                        other + " for it (" + state.build.program + " reads " +
                                        (utf8 ? "UTF-8" : "Big5") + ").\n");
  }
}

void refuse_other_encoding(const RunState& state, const std::string& path) {
  if (regular_file(path)) refuse_census(state, path, census_of(path));
}

void refuse_other_encoding_of_entry(RunState& state, const std::string& entry) {
  refuse_other_encoding(state, database_path(state, entry));
}

}  // namespace corvina
