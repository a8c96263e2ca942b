// Whole runs: pdflatex writes the control files, corvina4 (UTF-8) or corvina (Big5) runs in
// place of the real back end, and the .bbl, the database and the folder are checked after.

#include <string>
#include <vector>

#include "e2e_support.h"

namespace corvina::e2e {
namespace {

using Person = Book;

std::string family(const Person& p) { return p.author.substr(0, p.author.find(',')); }

// `count` characters of `pool` (each `width` bytes) in turn, a blank after every `group` of them.
std::string title_of(const std::string& pool, size_t width, size_t count, size_t group) {
  std::string text;
  for (size_t i = 0; i < count; ++i)
    text += (group && i && i % group == 0 ? " " : "") + pool.substr(i * width % pool.size(), width);
  return text;
}

// People in the order the back end must give (the database lists them the other way round).
// The Latin names, Xu, Yang and Zhou among them, come before the Chinese block; in it, names
// in full-width letters, which have no stroke count, come first, then by strokes and code
// point, character by character (中一 before 中車); 𠮷 (6 strokes, four bytes) among them, and
// the counts past 26 (鬱 29, 龘 48, 𪚥 64) after 26. 說丁's title of 40 characters with blanks is
// wrapped by bibtex; 車人's of 100 characters makes a token of over 700 bytes, which biber
// writes on one line.
std::vector<Person> utf8_people() {
  const std::string pool = "臺灣語言文化史論集研究與資料編年考";
  return {{"abbott", "Abbott, Ann", "Chinese Phonology"}, {"wu", "Wu, Hua", "Tang Poetry in Translation"},
          {"xu", "Xu, Li", "Printing in the Song Dynasty"}, {"yang", "Yang, Wei", "Classical Chinese Grammar"},
          {"zhou", "Zhou, Min", "Bronze Inscriptions"},   {"fullwidth", "ＡＢＣ", "全形字母的排序"},
          {"yiding", "一丁", "一般語言學概論"},         {"dingyi", "丁一", "臺灣史料彙編"},
          {"renzhong", "人中", "中國文學批評史"},       {"buren", "不人", "明清小說研究"},
          {"zhongyi", "中一", "唐詩的格律與聲韻"},      {"zhongche", "中車", "宋代書院制度考"},
          {"jizhong", "𠮷中", "四字節文字"},            {"cheren", "車人", title_of(pool, 3, 100, 0)},
          {"eryi", "兒一", "兒童文學的起源"},           {"airen", "愛人", "愛情小說的敘事"},
          {"huizhong", "會中", "會計史研究"},           {"shuoding", "說丁", title_of(pool, 3, 40, 5)},
          {"yuren", "鬱人", "鬱金香"},                  {"dayi", "龘一", "龍行"},
          {"zheding", "𪚥丁", "龍的字"}};
}

// Big5 characters and the stroke group of their code range, by which they sort, then by code.
// 乂 opens the second block; 纜 豔 鬱 have 27, 28, 29 strokes; the trail byte of 功 is "\", of 弓 "}", of 鬱 "{".
const std::string kYi = "\xA4\x40", kDing = "\xA4\x42", kRen = "\xA4\x48", kYi2 = "\xC9\x40";  // A, B, B, B
const std::string kBu = "\xA4\xA3", kZhong = "\xA4\xA4", kWang = "\xA4\xFD", kGong = "\xA5\x5C";  // D D D E
const std::string kGong2 = "\xA4\x7D", kChe = "\xA8\xAE", kEr = "\xA8\xE0", kAi = "\xB7\x52";  // C G H M
const std::string kHui = "\xB7\x7C", kShuo = "\xBB\xA1", kLan = "\xC6\x6C", kYan = "\xC6\x76", kYu = "\xC6\x7B";

std::vector<Person> big5_people() {
  const std::string pool = kYi + kDing + kRen + kBu + kZhong + kWang + kGong + kGong2 + kChe + kEr + kAi + kHui + kShuo;
  return {{"abbott", "Abbott, Ann", "Chinese Phonology"},     {"xu", "Xu, Li", "Printing in the Song Dynasty"},
          {"yang", "Yang, Wei", "Classical Chinese Grammar"}, {"yiding", kYi + kDing, title_of(pool, 2, 40, 5)}, {"renzhong", kRen + kZhong, kGong + kGong2},
          {"yiren", kYi2 + kRen, kBu + kGong},                {"buren", kBu + kRen, kGong2 + kYi},
          {"wangzhong", kWang + kZhong, kChe + kEr},          {"gongren", kGong + kRen, kAi},
          {"cheren", kChe + kRen, kHui + kShuo},              {"eryi", kEr + kYi, kLan + kYan},
          {"airen", kAi + kRen, kYu},                         {"huizhong", kHui + kZhong, kShuo},
          {"shuoding", kShuo + kDing, kDing},                 {"lanche", kLan + kChe, kZhong},
          {"yanren", kYan + kRen, kRen},                      {"yuzhong", kYu + kZhong, kWang + kYu}};
}

struct Case {
  const char* name;
  const char* program;      // corvina4 reads UTF-8, corvina Big5
  const char* backend;      // what the document asks biblatex for
  const char* tool;         // the back end that must run for it
  bool bibinputs = false;   // the database lies only in a folder named by BIBINPUTS
};

const Case kCases[] = {
    {"utf8_biber_strokes_database_on_bibinputs", "corvina4", "biber", "biber", true},
    {"utf8_bibtex_strokes_database_on_bibinputs", "corvina4", "bibtex", "bibtex", true},
    {"big5_bibtex8", "corvina", "bibtex", "bibtex8"},
    {"big5_biber", "corvina", "biber", "biber"},
};
void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

class WholeRun : public DocumentFolder, public ::testing::WithParamInterface<Case> {};

TEST_P(WholeRun, EntriesOutOfChineseOrNameOutsideItsStrokeCountLeftEncodedOrDatabaseChanged) {
  const Case& c = GetParam();
  const std::string tool = c.tool;
  CORVINA_SKIP_WITHOUT("pdflatex", "kpsewhich", "biblatex", tool);
  const bool big5 = std::string(c.program) == "corvina";
  const std::vector<Person> own = big5 ? big5_people() : utf8_people();
  const std::vector<Person> people(own.rbegin(), own.rend());
  const std::string publisher = big5 ? kHui + kGong + kYu : "文史出版社";
  const std::string document = biblatex_document("backend=" + std::string(c.backend), "\\addbibresource{refs.bib}");
  fs::create_directory("library");
  const fs::path database = fs::absolute(c.bibinputs ? "library/refs.bib" : "refs.bib");
  const std::string bytes = "% Test database: invented authors and titles.\n" +
                            database_of(people, "  publisher = {" + publisher + "},\n  year = {2001},\n");
  write_file(database, bytes);
  const auto old_time = make_old(database);

  const std::string bibinputs = c.bibinputs ? "env BIBINPUTS=" + fs::absolute("library").string() + ": " : "";
  const Shell run = latex_then(document, bibinputs + c.program);
  EXPECT_EQ(run.status, 0) << run.output;
  CORVINA_EXPECT_RAN(tool);
  expect_kept(database, bytes, old_time);
  expect_no_working_files({"./refs", c.bibinputs ? "./refs.bib" : ""});
  EXPECT_TRUE(file_exists(big5 ? "thesis-tmp.bbl" : "temp21-tmp.bbl")) << "decoded copy for the preprocessor";

  const std::string bbl = read_file("thesis.bbl");
  EXPECT_EQ(entry_keys(bbl), keys_of(own)) << "entries not in Chinese order";
  EXPECT_FALSE(holds_sort_key(bbl)) << "a token left in the .bbl";
  EXPECT_TRUE(!big5 || bbl.find("\\mbox{}") == std::string::npos) << "corvina adds nothing behind a character";
  for (const auto& p : people) {
    const std::string entry = without(entry_text(bbl, p.key), "\\mbox{}");
    EXPECT_EQ(braced_after(entry, "family={", big5), family(p)) << p.key << ": name not decoded";
    EXPECT_TRUE(static_cast<unsigned char>(p.author[0]) < 0x80 || entry.find("i={Z\\bibinit") == std::string::npos)
        << "initial from a sort key:\n" << entry;
    const std::string title = braced_after(entry, "\\field{title}{", big5);
    EXPECT_EQ(tool == "biber" ? title : without(title, "\n  ", " "), p.title) << p.key << ": title not decoded";
    EXPECT_TRUE(tool == "biber" || p.title.size() <= 80 || p.title.find(' ') == std::string::npos ||
                title.find("\n  ") != std::string::npos) << "premise: " << tool << " wraps the title of " << p.key;
    EXPECT_NE(entry.find("{" + publisher + "}"), std::string::npos) << p.key << ": publisher not decoded";
  }
}

CORVINA_INSTANTIATE_BY_NAME(Cases, WholeRun, kCases);

}  // namespace
}  // namespace corvina::e2e
