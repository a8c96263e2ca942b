#include "scan/source_lines.h"

#include <algorithm>
#include <cerrno>

#include "core/run_error.h"
#include "platform/file_io.h"
#include "platform/platform.h"
#include "scan/long_line.h"

namespace corvina {

std::string unusual_file_note(const std::string& path) {
  FileKind kind = file_kind(path);
  if (kind == FileKind::kMissing || kind == FileKind::kRegular) return "";
  return "\n! " + path + " is " + describe(kind) + ", not a regular file: it is not read.\n";
}

namespace {

// Lines up to this length are handed over whole; a longer one is read twice in pieces of
// this size and handed over condensed (scan/long_line.h), so memory stays the same for a
// line of any length.
constexpr std::size_t kPiece = 1 << 20;

[[noreturn]] void read_failed(const InputFile& in, const std::string& path) {
  throw RunError(kExitFileError, file_error("read", path, in.failed() ? in.error() : EIO));
}

// Reads the line that begins at `start` twice and hands its condensed form to `visit`;
// returns the offset after its line end.
long long visit_long_line(InputFile& in, const std::string& path, long long start,
                          const std::function<void(std::string_view)>& visit) {
  if (!in.seek(start)) read_failed(in, path);
  LongLine line;
  long long size = 0;
  bool ended = false;
  std::string piece;
  while (!ended && in.read_chunk(piece, kPiece)) {
    const std::size_t end = piece.find('\n');
    ended = end != std::string::npos;
    if (ended) piece.resize(end);
    line.survey(piece);
    size += static_cast<long long>(piece.size());
  }
  if (in.failed() || !in.seek(start)) read_failed(in, path);
  for (long long left = size; left > 0;) {
    if (!in.read_chunk(piece, static_cast<std::size_t>(std::min<long long>(left, kPiece)))) read_failed(in, path);
    left -= static_cast<long long>(piece.size());
    line.keep(piece);
  }
  visit(line.condensed());
  return start + size + (ended ? 1 : 0);
}

}  // namespace

bool for_each_line(const std::string& path, const std::function<void(std::string_view)>& visit) {
  if (!unusual_file_note(path).empty()) return false;
  InputFile in(path);
  // A file that is there and cannot be read is not a file that is missing.
  if (!in.is_open() && in.error() != ENOENT) throw RunError(kExitFileError, "\n" + file_error("read", path, in.error()));
  if (!in.is_open()) return false;
  // Binary: a '\r' before the '\n' stays in the line, and the line rules drop it.
  std::string buffer, chunk;
  std::size_t at = 0;
  for (;;) {
    const std::size_t end = buffer.find('\n', at);
    if (end != std::string::npos) {
      visit(std::string_view(buffer).substr(at, end - at));
      at = end + 1;
      continue;
    }
    if (buffer.size() - at > kPiece) {
      const long long read = in.tell();
      if (read < 0) read_failed(in, path);
      const long long next = visit_long_line(in, path, read - static_cast<long long>(buffer.size() - at), visit);
      if (!in.seek(next)) read_failed(in, path);
      buffer.clear();
      at = 0;
      continue;
    }
    buffer.erase(0, at);
    at = 0;
    if (!in.read_chunk(chunk, kPiece)) break;
    buffer += chunk;
  }
  if (in.failed()) read_failed(in, path);
  if (!buffer.empty()) visit(buffer);
  return true;
}

}  // namespace corvina
