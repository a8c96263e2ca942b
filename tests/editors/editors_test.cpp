// The editor set-ups of examples/editors, run as each editor runs them: the commands and
// arguments are read from the files a user copies (VS Code's settings JSON, TeXstudio's
// ini lines, TeXShop's engine files) and started on the example thesis, so that a recipe
// that names a wrong tool, a wrong placeholder or a wrong option fails here. Each run must
// leave the bibliography in the order its name promises, no sort key in the .bbl or the
// PDF, and refs.bib as it was.

#include <cctype>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "e2e/e2e_support.h"

namespace corvina::e2e {
namespace {

const fs::path kEditors = fs::path(CORVINA_SOURCE_DIR) / "examples" / "editors";

// The recipes are read before any test runs, where a test's own file reader cannot fail one.
std::string slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot be read");
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// A JSON value, as much of it as a settings file needs.
struct Json {
  enum class Kind { kNull, kBool, kNumber, kString, kArray, kObject } kind = Kind::kNull;
  std::string text;                // a string's value, a number's or a literal's spelling
  std::vector<std::string> keys;   // an object's keys, in order
  std::vector<Json> items;         // an array's items, an object's values

  const Json& operator[](const std::string& key) const {
    for (size_t i = 0; i < keys.size(); ++i)
      if (keys[i] == key) return items[i];
    throw std::runtime_error("no \"" + key + "\"");
  }
};

class JsonReader {
 public:
  explicit JsonReader(std::string_view text) : text_(text) {}
  Json document() {
    Json json = value();
    if (skip_blanks() != '\0') fail("text after the value");
    return json;
  }

 private:
  [[noreturn]] void fail(const std::string& what) {
    throw std::runtime_error(what + " at offset " + std::to_string(at_));
  }
  char skip_blanks() {
    while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_]))) ++at_;
    return at_ < text_.size() ? text_[at_] : '\0';
  }
  void expect(char c) {
    if (skip_blanks() != c) fail(std::string("expected '") + c + "'");
    ++at_;
  }
  Json value() {
    Json json;
    const char c = skip_blanks();
    if (c == '{' || c == '[') return container(c);
    if (c == '"') return {Json::Kind::kString, string(), {}, {}};
    while (at_ < text_.size() && (std::isalnum(static_cast<unsigned char>(text_[at_])) || std::strchr("+-.", text_[at_])))
      json.text += text_[at_++];
    if (json.text == "true" || json.text == "false") json.kind = Json::Kind::kBool;
    else if (!json.text.empty() && (std::isdigit(static_cast<unsigned char>(json.text[0])) || json.text[0] == '-'))
      json.kind = Json::Kind::kNumber;
    else if (json.text != "null") fail("not a JSON value");
    return json;
  }
  Json container(char open) {
    Json json;
    json.kind = open == '{' ? Json::Kind::kObject : Json::Kind::kArray;
    const char close = open == '{' ? '}' : ']';
    ++at_;
    if (skip_blanks() == close) {
      ++at_;
      return json;
    }
    for (;;) {
      if (open == '{') {
        if (skip_blanks() != '"') fail("expected a key");
        json.keys.push_back(string());
        expect(':');
      }
      json.items.push_back(value());
      if (skip_blanks() == close) {
        ++at_;
        return json;
      }
      expect(',');  // so a trailing comma is an error
    }
  }
  std::string string() {
    std::string out;
    for (++at_; at_ < text_.size() && text_[at_] != '"'; ++at_) {
      if (text_[at_] != '\\') {
        out += text_[at_];
        continue;
      }
      const char e = ++at_ < text_.size() ? text_[at_] : '\0';
      const char* plain = std::strchr("\"\\/bfnrt", e);
      if (!plain || e == '\0') fail("an escape this reader does not take");
      out += "\"\\/\b\f\n\r\t"[plain - "\"\\/bfnrt"];
    }
    if (at_++ >= text_.size()) fail("an unclosed string");
    return out;
  }

  std::string_view text_;
  size_t at_ = 0;
};

enum class Order { kStrokes, kZhuyin, kPinyin };

// The example thesis's keys, Latin entries first: by the family names' strokes
// (丁 2, 方 王 4, 朱 艾 6, 何 李 7, 林 8, 高 10, 張 陳 11, 黃 12, 楊 13, 謝 17; equal counts
// by code point), by their whole zhuyin readings (方 ㄈㄤ, 丁 ㄉㄧㄥ, 李 ㄌㄧˇ, 林 ㄌㄧㄣˊ,
// 高 ㄍㄠ, 黃 ㄏㄨㄤˊ before 何 ㄏㄜˊ, 謝, 朱 ㄓㄨ before 張 ㄓㄤ, 陳, 楊 ㄧ, 王 ㄨ, 艾 ㄞ),
// or by pinyin (ai chen ding fang gao he huang li lin wang xie yang zhang zhu).
std::vector<std::string> expected_keys(Order order) {
  std::vector<std::string> keys = {"abernathy2003", "chen2019en", "hartley2008", "okafor2017", "xu2016", "young2022"};
  const std::vector<std::string> chinese[] = {
      {"ding2004", "fang2016", "wang2015", "zhu2007", "ai2010", "he2019", "li2012", "lin2009", "gao2013", "zhang2011",
       "chen2018", "huang2020", "yang2021", "xie2014"},
      {"fang2016", "ding2004", "li2012", "lin2009", "gao2013", "huang2020", "he2019", "xie2014", "zhu2007", "zhang2011",
       "chen2018", "yang2021", "wang2015", "ai2010"},
      {"ai2010", "chen2018", "ding2004", "fang2016", "gao2013", "he2019", "huang2020", "li2012", "lin2009", "wang2015",
       "xie2014", "yang2021", "zhang2011", "zhu2007"}};
  const auto& tail = chinese[static_cast<int>(order)];
  keys.insert(keys.end(), tail.begin(), tail.end());
  return keys;
}

// The order a recipe's name promises to whoever picks it in the editor.
Order promised_order(const std::string& name) {
  if (name.find("zhuyin") != std::string::npos) return Order::kZhuyin;
  if (name.find("pinyin") != std::string::npos) return Order::kPinyin;
  return Order::kStrokes;
}

struct Recipe {
  std::string name;
  std::vector<std::vector<std::string>> steps;  // each a program and its arguments
  std::string error;                            // the file could not be read as the editor reads it
};
void PrintTo(const Recipe& r, std::ostream* out) { *out << r.name; }

// The thesis's folder, known only when the test runs.
constexpr std::string_view kFolder = "@FOLDER@";

// LaTeX Workshop starts each tool in the root file's folder, its placeholders replaced.
std::string latex_workshop_argument(std::string arg) {
  const std::string folder(kFolder);
  const std::pair<const char*, std::string> placeholders[] = {
      {"%DOCFILE_EXT%", "thesis.tex"}, {"%DOCFILE%", "thesis"}, {"%DOC_EXT%", folder + "/thesis.tex"},
      {"%DOC%", folder + "/thesis"},   {"%DIR%", folder},       {"%OUTDIR%", folder}};
  for (const auto& [placeholder, value] : placeholders) arg = without(arg, placeholder, value);
  if (arg.find('%') != std::string::npos) throw std::runtime_error("an unknown placeholder in " + arg);
  return arg;
}

std::vector<Recipe> vscode_recipes() {
  const fs::path file = kEditors / "vscode" / "settings.json";
  try {
    const Json settings = JsonReader(slurp(file)).document();
    std::map<std::string, const Json*> tools;
    for (const Json& tool : settings["latex-workshop.latex.tools"].items) tools[tool["name"].text] = &tool;
    std::vector<Recipe> recipes;
    for (const Json& recipe : settings["latex-workshop.latex.recipes"].items) {
      Recipe r{"vscode " + recipe["name"].text, {}, ""};
      for (const Json& name : recipe["tools"].items) {
        if (!tools.count(name.text)) throw std::runtime_error("recipe names the unknown tool " + name.text);
        std::vector<std::string> step = {(*tools[name.text])["command"].text};
        for (const Json& arg : (*tools[name.text])["args"].items) step.push_back(latex_workshop_argument(arg.text));
        r.steps.push_back(step);
      }
      recipes.push_back(r);
    }
    return recipes;
  } catch (const std::exception& e) {
    return {{"vscode settings.json", {}, file.string() + ": " + e.what()}};
  }
}

// TeXstudio's build: the default compiler, the bibliography tool, the compiler again; a
// "txs:///name" value names another command. "%" is the root file's name without ".tex";
// words are split at blanks, double quotes keeping one together.
std::vector<std::string> texstudio_command(const std::map<std::string, std::string>& ini, const std::string& name,
                                           int depth = 0) {
  const auto found = ini.find("Tools\\Commands\\" + name);
  if (found == ini.end() || depth > 4) throw std::runtime_error("no command " + name);
  if (found->second.starts_with("txs:///")) return texstudio_command(ini, found->second.substr(7), depth + 1);
  std::vector<std::string> words;
  bool quoted = false, in_word = false;
  for (const char c : found->second) {
    if (c == ' ' && !quoted) {
      in_word = false;
      continue;
    }
    if (!in_word) words.emplace_back();
    in_word = true;
    if (c == '"') quoted = !quoted;
    else words.back() += c;
  }
  for (std::string& word : words) word = without(word, "%", "thesis");
  return words;
}

std::vector<Recipe> texstudio_recipes() {
  const fs::path file = kEditors / "texstudio" / "texstudio.ini";
  try {
    std::map<std::string, std::string> ini;
    std::string section, line;
    std::istringstream lines(slurp(file));
    while (std::getline(lines, line)) {
      if (line.empty() || line[0] == ';') continue;
      if (line[0] == '[') section = line;
      else if (section == "[texmaker]" && line.find('=') != std::string::npos)
        ini[line.substr(0, line.find('='))] = line.substr(line.find('=') + 1);
    }
    const std::vector<std::string> compile = texstudio_command(ini, "compile");
    return {{"texstudio", {compile, texstudio_command(ini, "bibliography"), compile}, ""}};
  } catch (const std::exception& e) {
    return {{"texstudio", {}, file.string() + ": " + e.what()}};
  }
}

// TeXShop runs an engine file itself, given the document's path.
std::vector<Recipe> texshop_recipes() {
  std::vector<Recipe> recipes;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(kEditors / "texshop", error))
    if (entry.path().extension() == ".engine")
      recipes.push_back({"texshop " + entry.path().stem().string(),
                         {{entry.path().string(), std::string(kFolder) + "/thesis.tex"}}, ""});
  if (recipes.empty()) recipes.push_back({"texshop", {}, "no .engine file in examples/editors/texshop"});
  return recipes;
}

std::vector<Recipe> all_recipes() {
  std::vector<Recipe> all = vscode_recipes();
  for (auto more : {texstudio_recipes(), texshop_recipes()}) all.insert(all.end(), more.begin(), more.end());
  return all;
}

std::string quoted(const std::string& word) { return "'" + without(word, "'", "'\\''") + "'"; }

// The example thesis as pdfLaTeX typesets Chinese: CJKutf8 in place of xeCJK and its font.
std::string for_pdflatex(std::string tex) {
  tex = without(tex, "\\usepackage{xeCJK}\n\\setCJKmainfont{AR PL UMing TW}\n", "\\usepackage{CJKutf8}\n");
  tex = without(tex, "\\begin{document}\n", "\\begin{document}\n\\begin{CJK}{UTF8}{bsmi}\n");
  return without(tex, "\\end{document}", "\\end{CJK}\n\\end{document}");
}

class EditorRecipes : public DocumentFolder, public ::testing::WithParamInterface<Recipe> {};

TEST_P(EditorRecipes, BibliographyOutOfOrderOrSortKeysLeftOrDatabaseChanged) {
  const Recipe& recipe = GetParam();
  ASSERT_EQ(recipe.error, "");
  ASSERT_FALSE(recipe.steps.empty());
  const std::string engine = fs::path(recipe.steps.front().front()).filename().string();
  const bool pdflatex = engine == "pdflatex";
  CORVINA_SKIP_WITHOUT(pdflatex ? "pdflatex" : "xelatex", "biber", "pdftotext", "biblatex");
  CORVINA_SKIP_WITHOUT_CHINESE(engine);
  const Order order = promised_order(recipe.name);
  if (order == Order::kPinyin && sh("corvina4 --help").output.find(" -p ") == std::string::npos)
    GTEST_SKIP() << "skipped: this corvina4 does not offer -p";

  for (const auto& entry : fs::directory_iterator(fs::path(CORVINA_SOURCE_DIR) / "examples" / "utf8"))
    fs::copy_file(entry.path(), entry.path().filename());
  if (pdflatex) write_file("thesis.tex", for_pdflatex(read_file("thesis.tex")));
  const std::string database = read_file("refs.bib");
  const auto old_time = make_old("refs.bib");

  std::vector<std::string> lines;
  for (const std::vector<std::string>& step : recipe.steps) {
    lines.emplace_back();
    for (const std::string& word : step)
      lines.back() += " " + quoted(without(word, std::string(kFolder), fs::current_path().string()));
  }
  ASSERT_EQ(run_steps(lines), "");

  const std::string bbl = read_file("thesis.bbl");
  EXPECT_EQ(entry_keys(bbl), expected_keys(order));
  EXPECT_FALSE(holds_sort_key(bbl)) << bbl;
  const Shell text = sh("pdftotext -enc UTF-8 thesis.pdf -");
  ASSERT_EQ(text.status, 0) << text.output;
  EXPECT_FALSE(holds_sort_key(text.output)) << text.output;
  EXPECT_NE(text.output.find("王小明"), std::string::npos) << text.output;
  expect_kept("refs.bib", database, old_time);
  expect_no_working_files({"-tmp.bbl"});
}

INSTANTIATE_TEST_SUITE_P(Examples, EditorRecipes, ::testing::ValuesIn(all_recipes()), [](const auto& info) {
  std::string name;
  for (const char c : info.param.name) {
    if (std::isalnum(static_cast<unsigned char>(c))) name += c;
    else if (!name.empty() && name.back() != '_') name += '_';
  }
  return name + (name.ends_with('_') ? "" : "_") + std::to_string(info.index);
});

}  // namespace
}  // namespace corvina::e2e
