// The final .bbl of a run equals, entry by entry, the .bbl that the back end writes when run
// directly on the original database: every field, list, name part and initial. Left out are
// what follows from the order of the entries or cannot be the same: the order itself, the
// values of hashes (but two of them are equal exactly when they are in the direct run),
// sortinit, sortinithash, extradate, extraname, uniquename, uniquelist, and in corvina's
// runs alphabetic labels.
// corvina runs on the Big5 twin of the database, and its .bbl is compared in UTF-8 with the
// direct run on the UTF-8 original. For the bibtex back end that run is bibtex's: the bibtex8
// that corvina runs builds the same .bbl from the same style, but read directly it cannot
// tell a Chinese character from Latin-1 letters, in Big5 ("j", a trail byte of 陳, becomes
// the initial) or in UTF-8 ("黃 Jr" becomes a name prefix).
// corvina4 leaves biblatex the fields as written, so its labels are the direct run's; corvina
// encodes them, and with style=alphabetic the back end builds labels from the first letters
// of tokens ("Zzz" and a year): those, and the notes holding "Zzz" and "xxx" as plain text,
// must stay as the back end wrote them on the encoded database, in the order it gave.

#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "e2e_support.h"
#include "decode/codec_io.h"
#include "encode/utf8_encoder.h"

namespace corvina::e2e {
namespace {

// Chinese, Latin and mixed entries: "family, given" and single-field names, two-character
// surnames, a hyphenated and a two-word given name, one of six words (bibtex wraps its
// line and its initials), corporate names in braces, a repeated
// author, Chinese journals and titles, notes with "Zzz" and "xxx" as plain text. Every
// character is in Big5.
const std::string kDatabase = R"(@book{wang2016, author = {王, 小明}, title = {臺灣語言研究},
  publisher = {國立臺灣大學出版中心}, location = {臺北}, year = {2016}}
@book{wang2018, author = {王, 小明}, title = {語言與文學}, year = {2018}}
@article{chen2010, author = {陳大文}, title = {方言調查}, journal = {臺灣文學學報},
  volume = {3}, pages = {1--20}, year = {2010}}
@article{ouyang2005, author = {歐陽, 修文 and 司馬光}, title = {史記研究},
  journal = {中國文學研究}, year = {2005}}
@book{li2012, author = {李, 美-玲 大文}, title = {清代方志的語言記載}, year = {2012}}
@book{zhang2001, author = {張三 and Smith, John and 林, 中}, title = {Mixed Authors}, year = {2001}}
@book{sinica2003, author = {{中央研究院}}, title = {語言地圖集}, year = {2003}}
@book{sinica2004, author = {{中央研究院 語言學研究所}}, title = {語言地圖集 第二版}, year = {2004}}
@book{huang2019, author = {黃 Jr, 美玲}, title = {書}, year = {2019}}
@book{lin2020, author = {林, 美玲 大文 小明 中文 國立 臺灣}, title = {書}, year = {2020}}
@book{wu2015, author = {吳, 明}, editor = {Wang, Ann}, title = {The 臺灣 Corpus}, year = {2015}}
@book{abbott2008, author = {Abbott, Ann}, title = {Chinese Phonology}, year = {2008},
  note = {Zzz and xxx as plain text, see xxx.lanl.gov and ZzzA0, 0Zz}}
@book{zhang2010, author = {Zhang, Wei}, title = {Tone Sandhi}, year = {2010}}
@book{xu2011, author = {Xu, Li and Yang, Wei}, title = {Printing}, year = {2011}, note = {Zzz}}
)";

// What one run left: the .bbl text of every entry, by key, as compared, and its hashes.
struct Bbl {
  std::map<std::string, std::string> entries;
  std::map<std::string, std::string> hashes;  // "KIND\tkey..." -> value; KIND: a \strng name or "name"
};

// bibtex takes the first byte of a character for an initial, a broken character; we write
// the whole one. Our initials are cut to their first bytes to compare them.
std::string first_bytes_of_initials(const std::string& entry) {
  static const std::regex initials("(family|given|prefix|suffix)i=\\{[^}]*\\}");
  std::string out;
  auto last = entry.cbegin();
  for (std::sregex_iterator m(entry.begin(), entry.end(), initials), end; m != end; ++m) {
    out.append(last, (*m)[0].first);
    const std::string value = m->str();
    for (size_t i = 0; i < value.size(); ++i) {
      out += value[i];
      if (static_cast<unsigned char>(value[i]) >= 0xC0)
        while (i + 1 < value.size() && (static_cast<unsigned char>(value[i + 1]) & 0xC0) == 0x80) ++i;
    }
    last = (*m)[0].second;
  }
  return out.append(last, entry.cend());
}

// `cut_initials`: the run's own .bbl under bibtex; `with_labels`: labelalpha is compared.
Bbl read_bbl(const std::string& bbl, bool cut_initials, bool with_labels) {
  static const std::regex blanks("\\s+");
  static const std::string from_order = "sortinit|sortinithash|extraalpha|extradate|extradatescope|extraname";
  static const std::string rest = ")\\}\\{([^{}]|\\{[^{}]*\\})*\\}|[a-z]*un=[0-9]+|uniquepart=[a-z]+|ul=[0-9]+";  // bibtex: {{Zzz}03}
  static const std::regex order_only("\\\\field\\{(" + from_order + rest), labels_too("\\\\field\\{(labelalpha|" + from_order + rest);
  const std::regex& left_out = with_labels ? order_only : labels_too;
  static const std::regex strng("\\\\strng\\{([a-z]+)\\}\\{([^{}]*)\\}");
  static const std::regex name_hash("hash=([^}]*)\\}");
  Bbl out;
  for (const std::string& key : entry_keys(bbl)) {
    std::string entry = std::regex_replace(std::regex_replace(entry_text(bbl, key), blanks, " "), left_out, "");
    for (std::sregex_iterator m(entry.begin(), entry.end(), strng), end; m != end; ++m)
      out.hashes[(*m)[1].str() + "\t" + key] = (*m)[2];
    int index = 0;
    for (std::sregex_iterator m(entry.begin(), entry.end(), name_hash), end; m != end; ++m)
      out.hashes["name\t" + key + " " + std::to_string(index++)] = (*m)[1];
    entry = std::regex_replace(std::regex_replace(entry, strng, "\\strng{$1}{#}"), name_hash, "hash=#}");
    out.entries[key] = cut_initials ? first_bytes_of_initials(entry) : entry;
  }
  return out;
}

// The lines of a .bbl that hold labels, name hashes or notes, in file order.
std::vector<std::string> label_lines(const std::string& bbl) {
  std::vector<std::string> lines;
  std::istringstream in(bbl);
  for (std::string line; std::getline(in, line);)
    for (const char* mark : {"labelalpha}", "extraalpha", "\\strng{", "{note}"})
      if (line.find(mark) != std::string::npos) lines.push_back(line);
  return lines;
}

std::string stroke_encoded(const std::string& text) {
  return testing::encode_whole(*make_utf8_encoder(SortOrder::kStrokes, ChineseBlock::kLast), text);
}

struct Case {
  const char* name;
  const char* program;  // corvina4 on the UTF-8 database, corvina on its Big5 twin
  const char* backend;  // what the document asks biblatex for
  const char* style;
  const char* option = "";  // given to the program before the document name
};

const Case kCases[] = {
    {"utf8_biber_apa", "corvina4", "biber", "apa"},
    {"utf8_biber_authoryear", "corvina4", "biber", "authoryear"},
    {"utf8_biber_alphabetic", "corvina4", "biber", "alphabetic"},
    {"utf8_bibtex_authoryear", "corvina4", "bibtex", "authoryear"},
    {"utf8_bibtex_alphabetic", "corvina4", "bibtex", "alphabetic"},
    {"big5_biber_authoryear", "corvina", "biber", "authoryear"},
    {"big5_bibtex8_authoryear", "corvina", "bibtex", "authoryear"},
    {"utf8_biber_authoryear_chinese_first", "corvina4", "biber", "authoryear", "--chinese-first "},
    {"big5_bibtex8_authoryear_chinese_first", "corvina", "bibtex", "authoryear", "--chinese-first "},
};
void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

class BblAsDirect : public DocumentFolder, public ::testing::WithParamInterface<Case> {};

TEST_P(BblAsDirect, EntryDiffersFromTheBackEndsOwnOnTheOriginalDatabaseOrLabelMangled) {
  const Case& c = GetParam();
  const bool big5 = std::string(c.program) == "corvina", biber = std::string(c.backend) == "biber";
  const std::string tool = biber ? "biber" : "bibtex";
  CORVINA_SKIP_WITHOUT("pdflatex", "kpsewhich", "biblatex", tool, big5 && !biber ? "bibtex8" : tool, "iconv");
  if (std::string(c.style) == "apa" && sh("kpsewhich apa.bbx").status) GTEST_SKIP() << "skipped: apa style not found";
  const std::string document = biblatex_document(
      "backend=" + std::string(c.backend) + ",style=" + c.style, "\\addbibresource{refs.bib}");
  fs::create_directory("direct");
  for (const char* file : {"thesis.tex", "thesis.vdk", "direct/thesis.tex"}) write_file(file, document);
  ASSERT_TRUE(write_database("refs.orig", kDatabase, big5));
  fs::copy_file("refs.orig", "refs.bib");
  write_file("direct/refs.bib", kDatabase);

  // A back end that loops for good (biber did, on tokens that began with "xxx") fails the
  // test instead of hanging it; corvina gets SIGTERM and restores the database.
  const std::string latex = "pdflatex -interaction=nonstopmode thesis.tex >/dev/null; test -e thesis.";
  const std::string control = biber ? "bcf" : "aux";
  const Shell direct = sh("cd direct && " + latex + control + " && timeout 60 " + tool + " thesis");
  ASSERT_EQ(direct.status, 0) << direct.output;
  const Shell run = sh(latex + control + " && timeout 120 " + c.program + " " + c.option + "thesis");
  ASSERT_EQ(run.status, 0) << run.output;
  CORVINA_EXPECT_RAN(big5 && !biber ? "bibtex8" : tool);
  EXPECT_TRUE(read_file("refs.bib") == read_file("refs.orig")) << "database not restored";

  std::string bbl = read_file("thesis.bbl");
  // corvina4 leaves the fields as written for biblatex, so the labels are built from them;
  // corvina encodes them, and its labels are built from the tokens.
  if (std::string(c.style) == "alphabetic" && big5) {
    fs::create_directory("encoded");
    write_file("encoded/thesis.tex", document);
    write_file("encoded/refs.bib", stroke_encoded(kDatabase));
    const Shell encoded = sh("cd encoded && " + latex + control + " && timeout 60 " + tool + " thesis");
    ASSERT_EQ(encoded.status, 0) << encoded.output;
    const std::string expected = read_file("encoded/thesis.bbl");
    ASSERT_NE(expected.find("{labelalpha}{Zzz"), std::string::npos) << "premise: labels from tokens\n" << expected;
    EXPECT_EQ(entry_keys(bbl), entry_keys(expected)) << "entries not in the back end's order";
    EXPECT_EQ(label_lines(bbl), label_lines(expected)) << "labels not as the back end made them";
  }
  EXPECT_FALSE(holds_sort_key(bbl)) << "a sort key left in the .bbl";
  if (big5) {
    write_file("final.big5", bbl);
    const Shell utf8 = sh("iconv -f BIG5 -t UTF-8 final.big5");
    ASSERT_EQ(utf8.status, 0) << "not Big5: " << utf8.output;
    bbl = utf8.output;
  } else {
    bbl = without(bbl, "\\mbox{}");
  }
  const Bbl ours = read_bbl(bbl, !biber, !big5), theirs = read_bbl(read_file("direct/thesis.bbl"), false, !big5);
  ASSERT_EQ(ours.entries.size(), theirs.entries.size());
  for (const auto& [key, entry] : theirs.entries) EXPECT_EQ(ours.entries.at(key), entry) << key;
  ASSERT_EQ(ours.hashes.size(), theirs.hashes.size());
  for (auto a = theirs.hashes.begin(); a != theirs.hashes.end(); ++a)
    for (auto b = std::next(a); b != theirs.hashes.end(); ++b) {
      const std::string kind = a->first.substr(0, a->first.find('\t'));
      if (kind != b->first.substr(0, b->first.find('\t'))) continue;
      // bibtex's hash of one name is its initials; only biber's are compared name by name.
      if (!biber && kind == "name") continue;
      EXPECT_EQ(ours.hashes.at(a->first) == ours.hashes.at(b->first), a->second == b->second)
          << a->first << " and " << b->first << ": hash shared in one run only";
    }
}

CORVINA_INSTANTIATE_BY_NAME(Cases, BblAsDirect, kCases);

}  // namespace
}  // namespace corvina::e2e
