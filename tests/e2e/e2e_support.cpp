#include "e2e_support.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace corvina::e2e {

namespace fs = std::filesystem;

RunResult run(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
              const fs::path& cwd, std::chrono::seconds limit) {
  RunResult result;
  int pipe_fds[2];
  if (pipe(pipe_fds) != 0) {
    result.output = std::string("pipe: ") + std::strerror(errno);
    return result;
  }
  const pid_t child = fork();
  if (child < 0) {
    result.output = std::string("fork: ") + std::strerror(errno);
    close(pipe_fds[0]);
    close(pipe_fds[1]);
    return result;
  }
  if (child == 0) {
    // A group of its own, so that a hung TeX run and its helpers can be ended together.
    setpgid(0, 0);
    const int null_in = open("/dev/null", O_RDONLY);
    if (null_in >= 0) dup2(null_in, 0);
    dup2(pipe_fds[1], 1);
    dup2(pipe_fds[1], 2);
    close(pipe_fds[0]);
    close(pipe_fds[1]);
    if (!cwd.empty() && chdir(cwd.c_str()) != 0) {
      std::fprintf(stderr, "cannot enter %s: %s\n", cwd.c_str(), std::strerror(errno));
      _exit(126);
    }
    for (const auto& [name, value] : env) setenv(name.c_str(), value.c_str(), 1);
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    std::fprintf(stderr, "cannot start %s: %s\n", args[0], std::strerror(errno));
    _exit(127);
  }
  close(pipe_fds[1]);
  const auto deadline = std::chrono::steady_clock::now() + limit;
  char buffer[8192];
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      result.timed_out = true;
      kill(-child, SIGKILL);
      break;
    }
    pollfd p{pipe_fds[0], POLLIN, 0};
    const int ready = poll(&p, 1, static_cast<int>(std::min<long long>(left.count(), 1000)));
    if (ready < 0 && errno != EINTR) break;
    if (ready <= 0) continue;
    const ssize_t n = read(pipe_fds[0], buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;  // every writer has closed: the program (and its helpers) ended
    result.output.append(buffer, static_cast<size_t>(n));
  }
  close(pipe_fds[0]);
  int wait_status = 0;
  while (waitpid(child, &wait_status, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(wait_status)) {
    result.status = WEXITSTATUS(wait_status);
  } else if (WIFSIGNALED(wait_status)) {
    result.status = 128 + WTERMSIG(wait_status);
  }
  if (result.timed_out) result.output += "\n[killed after " + std::to_string(limit.count()) + " s]\n";
  return result;
}

std::optional<fs::path> find_on_path(const std::string& name) {
  const char* path = std::getenv("PATH");
  if (!path) return std::nullopt;
  std::string all = path;
  size_t start = 0;
  while (start <= all.size()) {
    const size_t end = all.find(':', start);
    const std::string dir = all.substr(start, end == std::string::npos ? std::string::npos : end - start);
    const fs::path candidate = fs::path(dir.empty() ? "." : dir) / name;
    if (access(candidate.c_str(), X_OK) == 0 && fs::is_regular_file(candidate)) return candidate;
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return std::nullopt;
}

std::optional<std::string> first_missing(const std::vector<std::string>& tools) {
  for (const auto& tool : tools) {
    if (tool == "biblatex") {
      if (!find_on_path("kpsewhich")) return std::string("kpsewhich");
      const RunResult found = run({"kpsewhich", "biblatex.sty"});
      if (found.status != 0 || found.output.empty()) return std::string("biblatex");
      continue;
    }
    if (!find_on_path(tool)) return tool;
  }
  return std::nullopt;
}

std::string path_with_programs() {
  const char* path = std::getenv("PATH");
  return std::string(CORVINA_BIN_DIR) + (path ? std::string(":") + path : std::string());
}

RunResult run_program(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env) {
  std::vector<std::string> full = argv;
  full[0] = std::string(CORVINA_BIN_DIR) + "/" + argv[0];
  auto all_env = env;
  all_env["PATH"] = path_with_programs();
  return run(full, all_env);
}

std::vector<std::string> entry_keys(const std::string& bbl) {
  std::vector<std::string> keys;
  const std::string head = "\\entry{";
  for (size_t at = bbl.find(head); at != std::string::npos; at = bbl.find(head, at + 1)) {
    const size_t start = at + head.size();
    const size_t end = bbl.find('}', start);
    if (end == std::string::npos) break;
    keys.push_back(bbl.substr(start, end - start));
  }
  return keys;
}

std::string entry_text(const std::string& bbl, const std::string& key) {
  const size_t start = bbl.find("\\entry{" + key + "}");
  if (start == std::string::npos) return {};
  const size_t end = bbl.find("\\endentry", start);
  return bbl.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::vector<std::string> braced_after(const std::string& text, const std::string& head, bool big5) {
  std::vector<std::string> values;
  for (size_t at = text.find(head); at != std::string::npos; at = text.find(head, at + 1)) {
    size_t i = at + head.size();
    int depth = 1;
    std::string value;
    for (; i < text.size(); ++i) {
      const char c = text[i];
      if (big5 && static_cast<unsigned char>(c) >= 0xA1 && static_cast<unsigned char>(c) <= 0xFE &&
          i + 1 < text.size()) {
        value += c;
        value += text[++i];  // a trail byte, even when it is a brace or a backslash
        continue;
      }
      if (c == '{') ++depth;
      if (c == '}' && --depth == 0) break;
      value += c;
    }
    values.push_back(value);
  }
  return values;
}

std::string without_mbox(std::string text) {
  const std::string mbox = "\\mbox{}";
  for (size_t at = text.find(mbox); at != std::string::npos; at = text.find(mbox, at)) text.erase(at, mbox.size());
  return text;
}

std::string unwrap_bibtex(std::string text) {
  const std::string wrap = "\n  ";
  for (size_t at = text.find(wrap); at != std::string::npos; at = text.find(wrap, at + 1)) text.replace(at, wrap.size(), " ");
  return text;
}

const std::vector<Telling>& telling_characters() {
  static const std::vector<Telling> rows = {
      {"一", 0x4E00, 1, 22}, {"丁", 0x4E01, 2, 5},   {"不", 0x4E0D, 4, 1},   {"中", 0x4E2D, 4, 15},
      {"人", 0x4EBA, 2, 18}, {"兒", 0x5152, 8, 37},  {"愛", 0x611B, 13, 29}, {"會", 0x6703, 13, 10},
      {"說", 0x8AAA, 14, 24}, {"車", 0x8ECA, 7, 12},
  };
  return rows;
}

std::string utf8_group_code(int value) {
  if (value >= 1 && value <= 26) return std::string(1, static_cast<char>('A' + value - 1));
  if (value >= 27 && value <= 37) return std::string("Zz") + static_cast<char>('a' + value - 27);
  return "0";
}

namespace {

// Splits UTF-8 text into its characters (as byte strings).
std::vector<std::string> utf8_characters(const std::string& text) {
  std::vector<std::string> out;
  for (size_t i = 0; i < text.size();) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    const size_t n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    out.push_back(text.substr(i, n));
    i += n;
  }
  return out;
}

std::string five_digits(unsigned value) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%05u", value);
  return digits;
}

}  // namespace

std::string utf8_token(const std::string& run, bool zhuyin) {
  std::string prefix;
  std::string characters;
  for (const auto& character : utf8_characters(run)) {
    if (character.size() != 3) {
      ADD_FAILURE() << "not a three-byte character in " << run;
      return {};
    }
    const unsigned code_point = (static_cast<unsigned char>(character[0]) & 0x0Fu) << 12 |
                                (static_cast<unsigned char>(character[1]) & 0x3Fu) << 6 |
                                (static_cast<unsigned char>(character[2]) & 0x3Fu);
    int value = -1;  // outside the ideographs (full-width forms, punctuation): no group
    if (code_point >= 0x4E00 && code_point <= 0x9FA5) {
      const Telling* row = nullptr;
      for (const auto& t : telling_characters()) {
        if (t.code_point == code_point) row = &t;
      }
      if (!row) {
        ADD_FAILURE() << "no known group for '" << character << "' in " << run;
        return {};
      }
      value = zhuyin ? row->zhuyin : row->strokes;
    }
    const std::string code = utf8_group_code(value);
    if (prefix.empty()) prefix = "xxx" + code;
    characters += "x" + code + five_digits(code_point);
  }
  return prefix + characters;
}

std::string big5_group(unsigned code) {
  // Big5 lays out each ideograph block by stroke count, so a stroke count is a code range.
  struct Range {
    unsigned first, last;
    const char* group;
  };
  static const Range ranges[] = {
      {0xA440, 0xA441, "A"},  {0xA442, 0xA453, "B"},  {0xA454, 0xA47E, "C"},  {0xA4A1, 0xA4FD, "D"},
      {0xA4FE, 0xA5DF, "E"},  {0xA5E0, 0xA6E9, "F"},  {0xA6EA, 0xA8C2, "G"},  {0xA8C3, 0xAB44, "H"},
      {0xAB45, 0xADBB, "I"},  {0xADBC, 0xB0AD, "J"},  {0xB0AE, 0xB3C2, "K"},  {0xB3C3, 0xB6C3, "L"},
      {0xB6C4, 0xB9AB, "M"},  {0xB9AC, 0xBBF4, "N"},  {0xBBF5, 0xBEA6, "O"},  {0xBEA7, 0xC074, "P"},
      {0xC075, 0xC24E, "Q"},  {0xC24F, 0xC35E, "R"},  {0xC35F, 0xC454, "S"},  {0xC455, 0xC4D6, "T"},
      {0xC4D7, 0xC56A, "U"},  {0xC56B, 0xC5C7, "V"},  {0xC5C8, 0xC5F0, "W"},  {0xC5F1, 0xC654, "X"},
      {0xC655, 0xC664, "Y"},  {0xC665, 0xC66B, "Z"},  {0xC66C, 0xC675, "A1"}, {0xC676, 0xC67A, "A2"},
      {0xC67B, 0xC67E, "A3"}, {0xC940, 0xC944, "B"},  {0xC945, 0xC94C, "C"},  {0xC94D, 0xC95C, "D"},
      {0xC95D, 0xC9AA, "E"},  {0xC9AB, 0xCA59, "F"},  {0xCA5A, 0xCBB0, "G"},  {0xCBB1, 0xCDDC, "H"},
      {0xCDDD, 0xD0C7, "I"},  {0xD0C8, 0xD44A, "J"},  {0xD44B, 0xD850, "K"},  {0xD851, 0xDCB0, "L"},
      {0xDCB1, 0xE0EF, "M"},  {0xE0F0, 0xE4E5, "N"},  {0xE4E6, 0xE8F3, "O"},  {0xE8F4, 0xECB8, "P"},
      {0xECB9, 0xEFB6, "Q"},  {0xEFB7, 0xF1EA, "R"},  {0xF1EB, 0xF3FC, "S"},  {0xF3FD, 0xF5BF, "T"},
      {0xF5C0, 0xF6D5, "U"},  {0xF6D6, 0xF7CF, "V"},  {0xF7D0, 0xF8A4, "W"},  {0xF8A5, 0xF8ED, "X"},
      {0xF8EE, 0xF96A, "Y"},  {0xF96B, 0xF9A1, "Z"},  {0xF9A2, 0xF9B9, "A1"}, {0xF9BA, 0xF9C5, "A2"},
      {0xF9C6, 0xF9D5, "A3"}, {0xF9D6, 0xF9D8, "M"},  {0xF9D9, 0xF9D9, "P"},  {0xF9DA, 0xF9DA, "I"},
      {0xF9DB, 0xF9DB, "L"},  {0xF9DC, 0xF9DC, "O"},
  };
  for (const auto& r : ranges) {
    if (code >= r.first && code <= r.last) return r.group;
  }
  return "0";
}

std::string big5_token(const std::string& big5_run) {
  std::string token;
  for (size_t i = 0; i + 1 < big5_run.size(); i += 2) {
    const unsigned code = static_cast<unsigned char>(big5_run[i]) * 256u + static_cast<unsigned char>(big5_run[i + 1]);
    if (token.empty()) token = "xxx" + big5_group(code);
    token += "x" + five_digits(code);
  }
  if (big5_run.size() % 2 != 0) ADD_FAILURE() << "odd Big5 run";
  return token;
}

std::string ascii_lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

std::string biblatex_document(const std::string& options, const std::vector<std::string>& resource_lines) {
  std::string text = "\\documentclass{article}\n\\usepackage[" + options + "]{biblatex}\n";
  for (const auto& line : resource_lines) text += line + "\n";
  // No \printbibliography: pdflatex cannot typeset the Chinese text that the .bbl holds
  // without the preprocessor's fonts; the back end and the .bbl are what is tested here.
  text += "\\begin{document}\nA test document.\n\\nocite{*}\n\\end{document}\n";
  return text;
}

}  // namespace corvina::e2e
