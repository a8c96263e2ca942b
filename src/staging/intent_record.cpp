#include "staging/intent_record.h"

#include <cerrno>
#include <filesystem>
#include <sstream>

#include "platform/file_io.h"
#include "platform/names.h"
#include "platform/platform.h"
#include "core/run_error.h"
#include "staging/checked_files.h"

namespace corvina {
namespace {

constexpr const char* kSuffix = "-restore.txt";
constexpr const char* kHeader =
    "corvina: this database is being rewritten with sort keys. The next run of corvina or "
    "corvina4 here puts it back from its backup. Do not edit or remove this file.\n";
constexpr const char* kBackupLine = "backup\n";
constexpr const char* kEncodedCopyLine = "encoded copy\n";
constexpr const char* kCompleteWord = "complete ";
constexpr const char* kWordsWord = "words";

std::string folder_of(const std::string& path) {
  return from_path(to_path(path).parent_path());
}

// The whole file; `error` is ENOENT when there is none, another errno when it is there
// and cannot be read, 0 when it was read.
std::string read_all(const std::string& path, int* error) {
  InputFile in(path);
  std::string text, chunk;
  while (in.is_open() && in.read_chunk(chunk, 1 << 12)) text += chunk;
  *error = in.error();
  if (*error == 0 && !in.is_open()) *error = EIO;
  return text;
}

bool starts_with(const std::string& text, const std::string& start) {
  return text.compare(0, start.size(), start) == 0;
}

// The "complete" line, when it was written whole.
bool parse_complete(const std::string& rest, IntentRecord& record) {
  if (!starts_with(rest, kCompleteWord) || rest.empty() || rest.back() != '\n') return false;
  std::istringstream fields(rest.substr(std::string(kCompleteWord).size()));
  std::string kind, end;
  if (!(fields >> record.backup.size >> record.backup.sum >> record.mtime)) return false;
  if (!(fields >> kind)) {
    record.backup.kind = FileDigest::Kind::kBytes;
    return true;
  }
  record.backup.kind = FileDigest::Kind::kWords;
  return kind == kWordsWord && !(fields >> end);
}

std::string append_synced(const std::string& entry, const std::string& text, bool create) {
  const std::string path = record_name(entry);
  OutputFile out(path, !create);
  if (!out.write(text) || !out.close()) return file_error("write", path, out.error());
  if (int err = sync_file(path)) return file_error("sync", path, err);
  if (create) {
    if (int err = sync_folder(folder_of(path))) return file_error("sync the folder of", path, err);
  }
  return "";
}

}  // namespace

std::string record_name(const std::string& entry) { return entry + kSuffix; }
std::string backup_name(const std::string& entry) { return entry + "-backup.bib"; }
std::string working_copy_name(const std::string& entry) { return entry + "-tmp.bib"; }

std::string entry_of_record(const std::string& file_name) {
  const std::string suffix = kSuffix;
  if (file_name.size() <= suffix.size() ||
      file_name.compare(file_name.size() - suffix.size(), suffix.size(), suffix) != 0) {
    return "";
  }
  return file_name.substr(0, file_name.size() - suffix.size());
}

IntentRecord read_record(const std::string& entry) {
  IntentRecord record;
  int error = 0;
  const std::string text = read_all(record_name(entry), &error);
  if (error != 0) {
    if (error != ENOENT) record.read_error = error;
    return record;
  }
  for (const char* kind : {kBackupLine, kEncodedCopyLine}) {
    const std::string start = std::string(kHeader) + kind;
    if (start.compare(0, text.size(), text) == 0 && text.size() < start.size()) {
      record.state = IntentRecord::State::kStarted;
      return record;
    }
    if (!starts_with(text, start)) continue;
    const std::string rest = text.substr(start.size());
    if (kind == kEncodedCopyLine) {
      if (rest.empty()) record.state = IntentRecord::State::kEncodedCopy;
    } else if (parse_complete(rest, record)) {
      record.state = IntentRecord::State::kBackedUp;
    } else if (rest.find('\n') == std::string::npos &&
               (starts_with(rest, kCompleteWord) || std::string(kCompleteWord).compare(0, rest.size(), rest) == 0)) {
      record.state = IntentRecord::State::kBackingUp;  // nothing, or a "complete" line cut short
    }
    return record;
  }
  return record;
}

std::string start_record(const std::string& entry, IntentRecord::State kind) {
  const char* line = kind == IntentRecord::State::kEncodedCopy ? kEncodedCopyLine : kBackupLine;
  return append_synced(entry, std::string(kHeader) + line, true);
}

std::string complete_record(const std::string& entry, const FileDigest& backup, int64_t mtime) {
  const char* kind = backup.kind == FileDigest::Kind::kWords ? " words" : "";
  return append_synced(entry, kCompleteWord + std::to_string(backup.size) + " " + std::to_string(backup.sum) + " " +
                                  std::to_string(mtime) + kind + "\n",
                       false);
}

std::string remove_record(const std::string& entry) { return remove_if_present(record_name(entry)); }

namespace {

constexpr const char* kElsewhereHeader =
    "corvina: databases outside this folder that a run here is rewriting, one a line. The next "
    "run of corvina or corvina4 here puts them back. Do not edit or remove this file.\n";

}  // namespace

std::string list_elsewhere(const std::string& entry) {
  const Look look = look_at(kElsewhereList, false);
  if (look.error != 0) return look_error(kElsewhereList, look.error);
  const bool create = look.kind == FileKind::kMissing;
  OutputFile out(kElsewhereList, !create);
  if (!out.write((create ? std::string(kElsewhereHeader) : "") + entry + "\n") || !out.close()) {
    return file_error("write", kElsewhereList, out.error());
  }
  if (int err = sync_file(kElsewhereList)) return file_error("sync", kElsewhereList, err);
  if (create) {
    if (int err = sync_folder(".")) return file_error("sync the folder of", kElsewhereList, err);
  }
  return "";
}

std::optional<std::vector<std::string>> listed_elsewhere() {
  int error = 0;
  const std::string text = read_all(kElsewhereList, &error);
  if (error == ENOENT) return std::nullopt;
  if (error != 0) throw RunError(kExitFileError, "\n" + file_error("read", kElsewhereList, error));
  std::vector<std::string> entries;
  const std::string header = kElsewhereHeader;
  if (text.size() < header.size() && header.compare(0, text.size(), text) == 0) return entries;
  if (!starts_with(text, header)) return std::nullopt;
  size_t at = std::string(kElsewhereHeader).size();
  for (size_t end; (end = text.find('\n', at)) != std::string::npos; at = end + 1) {
    entries.push_back(text.substr(at, end - at));
  }
  return entries;
}


}  // namespace corvina
