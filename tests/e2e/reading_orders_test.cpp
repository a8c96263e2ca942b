// corvina4 -y and -p with the real back ends: names and titles in the order of their whole
// Taiwan (zhuyin) or mainland (pinyin) readings, surnames by their surname readings, and
// long fields that come back whole. The document names its database the old way,
// \bibliography{refs}, without the extension.

#include <regex>
#include <string>
#include <tuple>
#include <vector>

#include "e2e_support.h"
#include "decode/codec_io.h"
#include "decode/utf8_decoder.h"
#include "encode/utf8_encoder.h"

namespace corvina::e2e {
namespace {

using testing::decode_lines;

// In zhuyin order, the order the bibliography must take with -y; the database lists them
// the other way round. Latin names before the block; full-width letters, which have no
// reading, first in it. The ㄌ surnames by their whole readings (ㄌㄧ ㄌㄧㄠ ㄌㄧㄡ ㄌㄧㄢ ㄌㄧㄣ
// ㄌㄨ ㄌㄨㄛ ㄌㄩ ㄌㄞ ㄌㄢ); 車 ㄔㄜ, 單 ㄕㄢˋ, 沈 ㄕㄣˇ, 曾 ㄗㄥ and 區 ㄡ by their surname
// readings; a book without author sorts by its title, 曾經 ㄘㄥˊ ㄐㄧㄥ.
const std::vector<Book> kBooks = {
    {"abbott", "Abbott, Ann", "Chinese Phonology"}, {"zhou", "Zhou, Min", "Bronze Inscriptions"},
    {"fullwidth", "ＡＢＣ", "全形字母"},
    {"li", "李大文", "史記"},     {"liao", "廖大文", "漢書"}, {"liu", "劉大文", "後漢書"},
    {"lian", "連大文", "三國志"}, {"lin", "林大文", "晉書"},  {"lu", "盧大文", "宋書"},
    {"luo", "羅大文", "南齊書"},  {"lv", "呂大文", "梁書"},   {"lai", "賴大文", "陳書"},
    {"lan", "藍大文", "魏書"},    {"zhang", "張大文", "北齊書"}, {"che", "車大文", "周書"},
    {"chen", "陳大文", "隋書"},   {"shi", "石大文", "南史"},  {"shan", "單大文", "北史"},
    {"shen", "沈大文", "舊唐書"}, {"zuo", "左大文", "新唐書"}, {"zeng", "曾大文", "舊五代史"},
    {"cai", "蔡大文", "新五代史"}, {"cengjing", "", "曾經滄海"}, {"sun", "孫大文", "遼史"},
    {"wang", "王大文", "金史"},   {"ou", "區大文", "元史"},   {"an", "安大文", "明史"},
    {"er", "兒大文", "清史稿"},
};

// The same books in pinyin order, -p: by the letters of the mainland readings (lai lan li
// lian liao lin liu lu luo lü), surnames as surnames (單 shàn before 沈 shěn and 石 shí,
// 曾 zēng among the z, 區 ōu), the title 曾經 céng between 蔡 cài and 車 chē.
const std::vector<std::string> kPinyinKeys = {
    "abbott", "zhou", "fullwidth", "an",  "cai",  "cengjing", "che", "chen", "er",  "lai",
    "lan",    "li",   "lian",      "liao", "lin", "liu",      "lu",  "luo",  "lv",  "ou",
    "shan",   "shen", "shi",       "sun", "wang", "zeng",     "zhang", "zuo"};

struct Order {
  std::string option;
  SortOrder order;
  std::vector<std::string> keys;
};

const Order& order_of(const std::string& option) {
  static const Order kZhuyin{"-y", SortOrder::kZhuyin, keys_of(kBooks)}, kPinyin{"-p", SortOrder::kPinyin, kPinyinKeys};
  return option == "-y" ? kZhuyin : kPinyin;
}

std::string database() { return database_of({kBooks.rbegin(), kBooks.rend()}, "  year = {2001},\n"); }

// The first zhuyin- or pinyin-order character token in `text`, with what stands around it. Initials
// and hashes that the back end builds from a token ("x", "xxxx1") are not tokens.
std::string token_left(const std::string& text) {
  static const std::regex kToken("x(0|[A-Za-z]|[Zz][Zz]+[A-Ya-y])[A-Va-v]*[0-5](0|[A-Za-z]|[Zz][Zz]+[A-Ya-y])[0-9Yy]");
  std::smatch m;
  if (!std::regex_search(text, m, kToken)) return "";
  const auto at = static_cast<std::size_t>(m.position(0));
  return text.substr(at < 200 ? 0 : at - 200, 400);
}

// 25 names in one field and a title of 120 characters: tokens of eleven bytes a character
// in zhuyin order, and in pinyin order up to fourteen, the syllables here being of five and
// six letters (zhuang, shuang, xiong), which the back end must keep whole.
struct LongEntry {
  std::vector<std::string> names;
  std::string title, bib;
};

LongEntry long_entry() {
  const std::string surnames = "莊張鄭蔣常項熊黃梁商鍾程強雙廣鄺闖專川栓宣全娟炯瓊";
  const std::string given = "爽壯窗床霜撞狀裝創祥翔想向相香鄉牆搶獎講光逛框況礦";
  LongEntry e;
  std::string authors;
  for (std::size_t i = 0; i < 25; ++i) {
    e.names.push_back(surnames.substr(3 * i, 3) + given.substr(3 * i, 3) + given.substr(3 * ((i + 7) % 25), 3));
    authors += (i ? " and " : "") + e.names.back();
  }
  for (std::size_t i = 0; i < 120; ++i) e.title += (surnames + given).substr(3 * (i * 7 % 50), 3);
  e.bib = "@book{long,\n  author = {" + authors + "},\n  title = {" + e.title + "},\n}\n";
  return e;
}

// The order's keys (the long entry left out), every book and the long entry whole.
void expect_in_order_and_whole(const std::string& bbl, const LongEntry& e, const Order& order) {
  std::vector<std::string> keys = entry_keys(bbl);
  std::erase(keys, "long");
  EXPECT_EQ(keys, order.keys) << "entries not in whole-reading order with " << order.option;
  EXPECT_NE(bbl.find("曾經滄海"), std::string::npos) << "title not decoded";
  const std::string entry = without(entry_text(bbl, "long"), "\\mbox{}");
  for (const std::string& name : e.names)
    EXPECT_NE(entry.find("family={" + name + "}"), std::string::npos) << name << " missing from\n" << entry;
  EXPECT_EQ(without(braced_after(entry, "\\field{title}{", false), "\n  ", ""), e.title);
  EXPECT_EQ(token_left(bbl), "") << "a token left in the .bbl";
}

class ReadingOrder : public DocumentFolder,
                     public ::testing::WithParamInterface<std::tuple<std::string, std::string>> {};

TEST_P(ReadingOrder, NamesOutOfWholeReadingOrderSurnamesReadAsWordsOrLongFieldCut) {
  const auto& [option, backend] = GetParam();
  const Order& order = order_of(option);
  CORVINA_SKIP_WITHOUT("pdflatex", "kpsewhich", "biblatex", backend);
  const LongEntry e = long_entry();
  const std::string bib = database() + e.bib;
  write_file("refs.bib", bib);
  const Shell run = latex_then(biblatex_document("backend=" + backend, "\\bibliography{refs}"), "corvina4 " + option);
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_TRUE(read_file("refs.bib") == bib) << "database not restored";
  expect_in_order_and_whole(read_file("thesis.bbl"), e, order);
}

INSTANTIATE_TEST_SUITE_P(OrdersAndBackends, ReadingOrder,
                         ::testing::Combine(::testing::Values("-y", "-p"), ::testing::Values("biber", "bibtex")),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param) == "-y" ? "zhuyin_" : "pinyin_") + std::get<1>(info.param);
                         });

// bibtex8 (corvina's back end) sorts by its own collation file: the encoded database,
// written here by the encoder itself, must come out in the same order and whole.
class ReadingOrderBibtex8 : public DocumentFolder, public ::testing::WithParamInterface<std::string> {};

TEST_P(ReadingOrderBibtex8, TokensOutOfOrderOrCut) {
  CORVINA_SKIP_WITHOUT("pdflatex", "kpsewhich", "biblatex", "bibtex8");
  const LongEntry e = long_entry();
  const Order& order = order_of(GetParam());
  write_file("refs.bib", testing::encode_whole(*make_utf8_encoder(order.order, ChineseBlock::kLast), database() + e.bib));
  write_file("thesis.tex", biblatex_document("backend=bibtex8", "\\addbibresource{refs.bib}"));
  const Shell run = sh("pdflatex -interaction=nonstopmode thesis.tex && bibtex8 --mstrings 50000 -W thesis");
  ASSERT_EQ(run.status, 0) << run.output;
  expect_in_order_and_whole(decode_lines(*make_utf8_decoder(false), read_file("thesis.bbl")), e, order);
}

INSTANTIATE_TEST_SUITE_P(Orders, ReadingOrderBibtex8, ::testing::Values("-y", "-p"),
                         [](const auto& info) { return std::string(info.param == "-y" ? "zhuyin" : "pinyin"); });

}  // namespace
}  // namespace corvina::e2e
