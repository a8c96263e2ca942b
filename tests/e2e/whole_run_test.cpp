// Whole runs: pdflatex writes the control files, corvina4 (UTF-8) or corvina (Big5) runs in
// place of the real back end, and the .bbl, the database and the folder are checked after.

#include <cctype>
#include <map>
#include <string>
#include <vector>

#include "e2e_support.h"
#include "sort_tokens.h"

namespace corvina::e2e {
namespace {

struct Person {
  std::string key, author, title;
};

std::string family(const Person& p) { return p.author.substr(0, p.author.find(',')); }

// `count` characters of `pool` (each `width` bytes) in turn, a blank after every `group` of them.
std::string title_of(const std::string& pool, size_t width, size_t count, size_t group) {
  std::string text;
  for (size_t i = 0; i < count; ++i)
    text += (group && i && i % group == 0 ? " " : "") + pool.substr(i * width % pool.size(), width);
  return text;
}

// Chinese names begin with characters of known groups; two share their first character, one
// is in full-width letters, which have no group. By zhuyin 愛 (29) and 兒 (37) come after 說
// (ㄩ, 24). The Latin names (Xu, Yang and Zhou among them) all come before the Chinese ones.
// 說丁's title of 40 characters with blanks is wrapped by bibtex; 車人's of 100 characters
// makes a token of over 700 bytes, which biber writes on one line.
std::vector<Person> utf8_people() {
  const std::string pool = "臺灣語言文化史論集研究與資料編年考";
  return {{"yiding", "一丁", "一般語言學概論"},         {"dingyi", "丁一", "臺灣史料彙編"},
          {"renzhong", "人中", "中國文學批評史"},       {"buren", "不人", "明清小說研究"},
          {"zhongyi", "中一", "唐詩的格律與聲韻"},      {"zhongche", "中車", "宋代書院制度考"},
          {"cheren", "車人", title_of(pool, 3, 100, 0)}, {"eryi", "兒一", "兒童文學的起源"},
          {"airen", "愛人", "愛情小說的敘事"},          {"huizhong", "會中", "會計史研究"},
          {"shuoding", "說丁", title_of(pool, 3, 40, 5)}, {"fullwidth", "ＡＢＣ", "全形字母的排序"},
          {"abbott", "Abbott, Ann", "Chinese Phonology"}, {"wu", "Wu, Hua", "Tang Poetry in Translation"},
          {"xu", "Xu, Li", "Printing in the Song Dynasty"}, {"yang", "Yang, Wei", "Classical Chinese Grammar"},
          {"zhou", "Zhou, Min", "Bronze Inscriptions"}};
}

// Big5 characters and the stroke group of their code range. 乂 opens the second block; 纜 豔
// 鬱 have 27, 28, 29 strokes; the trail byte of 功 is "\", of 弓 "}", of 鬱 "{".
const std::string kYi = "\xA4\x40", kDing = "\xA4\x42", kRen = "\xA4\x48", kYi2 = "\xC9\x40";  // A, B, B, B
const std::string kBu = "\xA4\xA3", kZhong = "\xA4\xA4", kWang = "\xA4\xFD", kGong = "\xA5\x5C";  // D D D E
const std::string kGong2 = "\xA4\x7D", kChe = "\xA8\xAE", kEr = "\xA8\xE0", kAi = "\xB7\x52";  // C G H M
const std::string kHui = "\xB7\x7C", kShuo = "\xBB\xA1", kLan = "\xC6\x6C", kYan = "\xC6\x76", kYu = "\xC6\x7B";

std::vector<Person> big5_people() {
  const std::string pool = kYi + kDing + kRen + kBu + kZhong + kWang + kGong + kGong2 + kChe + kEr + kAi + kHui + kShuo;
  return {{"yiding", kYi + kDing, title_of(pool, 2, 40, 5)}, {"renzhong", kRen + kZhong, kGong + kGong2},
          {"yiren", kYi2 + kRen, kBu + kGong},                {"buren", kBu + kRen, kGong2 + kYi},
          {"wangzhong", kWang + kZhong, kChe + kEr},          {"gongren", kGong + kRen, kAi},
          {"cheren", kChe + kRen, kHui + kShuo},              {"eryi", kEr + kYi, kLan + kYan},
          {"airen", kAi + kRen, kYu},                         {"huizhong", kHui + kZhong, kShuo},
          {"shuoding", kShuo + kDing, kDing},                 {"lanche", kLan + kChe, kZhong},
          {"yanren", kYan + kRen, kRen},                      {"yuzhong", kYu + kZhong, kWang + kYu},
          {"abbott", "Abbott, Ann", "Chinese Phonology"},     {"xu", "Xu, Li", "Printing in the Song Dynasty"},
          {"yang", "Yang, Wei", "Classical Chinese Grammar"}};
}

// The order the back end must give: by the tokens (and Latin names), compared without case.
std::vector<std::string> expected_order(const std::vector<Person>& people, bool big5, bool zhuyin) {
  std::map<std::string, std::string> by_sort_text;
  for (const auto& p : people) {
    std::string sort_text = family(p);
    if (static_cast<unsigned char>(sort_text[0]) >= 0x80)
      sort_text = big5 ? big5_token(sort_text) : utf8_token(sort_text, zhuyin);
    for (char& c : sort_text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    by_sort_text[sort_text] = p.key;
  }
  std::vector<std::string> keys;
  for (const auto& [sort_text, key] : by_sort_text) keys.push_back(key);
  return keys;
}

struct Case {
  const char* name;
  const char* program;      // corvina4 reads UTF-8, corvina Big5
  const char* backend;      // what the document asks biblatex for
  const char* tool;         // the back end that must run for it
  bool zhuyin = false;
  bool bibinputs = false;   // the database lies only in a folder named by BIBINPUTS
  bool latexmk = false;     // latexmk runs the program by the recipe of examples/latexmkrc
  const char* resource = "\\addbibresource{refs.bib}";
};

const Case kCases[] = {
    {"utf8_biber_strokes_database_on_bibinputs", "corvina4", "biber", "biber", false, true},
    {"utf8_biber_zhuyin_bibliography_without_extension", "corvina4", "biber", "biber", true, false, false,
     "\\bibliography{refs}"},
    {"utf8_bibtex_strokes_database_on_bibinputs", "corvina4", "bibtex", "bibtex", false, true},
    {"utf8_bibtex_zhuyin", "corvina4", "bibtex", "bibtex", true},
    {"utf8_biber_strokes_by_latexmk", "corvina4", "biber", "biber", false, false, true},
    {"big5_bibtex8", "corvina", "bibtex", "bibtex8"},
    {"big5_biber", "corvina", "biber", "biber"},
};
void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

class WholeRun : public DocumentFolder, public ::testing::WithParamInterface<Case> {};

TEST_P(WholeRun, EntriesOutOfChineseOrderLeftEncodedOrDatabaseChanged) {
  const Case& c = GetParam();
  const std::string tool = c.tool;
  CORVINA_SKIP_WITHOUT("pdflatex", "kpsewhich", "biblatex", tool, c.latexmk ? "latexmk" : "pdflatex");
  const bool big5 = std::string(c.program) == "corvina";
  const std::vector<Person> people = big5 ? big5_people() : utf8_people();
  const std::string publisher = big5 ? kHui + kGong + kYu : "文史出版社";
  const std::string document = biblatex_document("backend=" + std::string(c.backend), c.resource);
  write_file("thesis.tex", document);
  if (!c.latexmk) write_file("thesis.vdk", document);  // else the document is thesis.tex alone
  fs::create_directory("library");
  const fs::path database = fs::absolute(c.bibinputs ? "library/refs.bib" : "refs.bib");
  std::string bytes = "% Test database: invented authors and titles.\n";
  for (const auto& p : people)
    bytes += "@book{" + p.key + ",\n  author = {" + p.author + "},\n  title = {" + p.title + "},\n  publisher = {" +
             publisher + "},\n  year = {2001},\n}\n\n";
  write_file(database, bytes);
  // An old time, so that a database rewritten during the run cannot keep it by chance.
  const auto old_time = fs::file_time_type::clock::now() - std::chrono::hours(24 * 30);
  fs::last_write_time(database, old_time);

  std::string line = "latexmk -interaction=nonstopmode thesis.tex";
  if (c.latexmk) {
    fs::copy_file(fs::path(CORVINA_SOURCE_DIR) / "examples" / "latexmkrc", "latexmkrc");
  } else {
    const Shell latex = sh("pdflatex -interaction=nonstopmode thesis.tex");
    ASSERT_EQ(latex.status, 0) << "pdflatex failed:\n" << latex.output;
    line = (c.bibinputs ? "BIBINPUTS=" + fs::absolute("library").string() + ": " : "") + c.program +
           (c.zhuyin ? " -y" : "") + " thesis";
  }
  const Shell run = sh(line);
  EXPECT_EQ(run.status, 0) << run.output;
  const char* mark =
      tool == "biber" ? "This is Biber" : tool == "bibtex" ? "This is BibTeX," : "This is 8-bit Big BibTeX";
  EXPECT_LT(read_file("thesis.blg").find(mark), 200u) << tool << " did not run";
  EXPECT_TRUE(read_file(database) == bytes) << "database not restored byte for byte";
  EXPECT_TRUE(fs::last_write_time(database) == old_time) << "database restored with a new modification time";
  for (const auto& entry : fs::recursive_directory_iterator(".")) {
    const std::string file = entry.path().filename().string();
    EXPECT_FALSE(file.ends_with("-backup.bib") || file.ends_with("-tmp.bib") || file == "bug.txt" ||
                 file == "findbib@.txt" || file == "refs" || (c.bibinputs && entry.path() == "./refs.bib"))
        << entry.path() << " left behind";
  }
  // latexmk's document has no thesis.vdk: the .bbl is decoded in place, with no preprocessor.
  EXPECT_EQ(file_exists(big5 ? "thesis-tmp.bbl" : "temp21-tmp.bbl"), !c.latexmk) << "decoded copy for the preprocessor";

  const std::string bbl = read_file("thesis.bbl");
  EXPECT_EQ(entry_keys(bbl), expected_order(people, big5, c.zhuyin)) << "entries not in Chinese order";
  EXPECT_EQ(bbl.find("Zzz"), std::string::npos) << "a token left in the .bbl";
  EXPECT_TRUE(!big5 || bbl.find("\\mbox{}") == std::string::npos) << "corvina adds nothing behind a character";
  for (const auto& p : people) {
    const std::string entry = without(entry_text(bbl, p.key), "\\mbox{}");
    EXPECT_EQ(braced_after(entry, "family={", big5), family(p)) << p.key << ": name not decoded";
    const std::string title = braced_after(entry, "\\field{title}{", big5);
    EXPECT_EQ(tool == "biber" ? title : without(title, "\n  ", " "), p.title) << p.key << ": title not decoded";
    if (tool != "biber" && p.title.size() > 80 && p.title.find(' ') != std::string::npos) {
      EXPECT_NE(title.find("\n  "), std::string::npos) << "premise: " << tool << " wraps the title of " << p.key;
    }
    EXPECT_NE(entry.find("{" + publisher + "}"), std::string::npos) << p.key << ": publisher not decoded";
  }

  if (c.latexmk) {  // a second latexmk sees nothing changed: the run left all as it found it
    EXPECT_NE(run.output.find("Running 'corvina4"), std::string::npos) << "latexmk did not run corvina4:\n" << run.output;
    EXPECT_TRUE(file_exists("thesis.pdf"));
    const Shell again = sh(line);
    EXPECT_EQ(again.status, 0) << again.output;
    EXPECT_EQ(again.output.find("Running '"), std::string::npos) << "latexmk ran something again:\n" << again.output;
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, WholeRun, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace corvina::e2e
