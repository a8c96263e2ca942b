// The .bib entry reader: what it makes of the hard cases, that no byte is lost or moved
// whatever the pieces, and the name starts it gives the encoder.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "bib/entry_reader.h"
#include "bib/name_lists.h"
#include "encode/utf8_encoder.h"

namespace corvina::bib {
namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Writes every event as one line of a transcript ("T" text, merged; "E" an entry with its
// fields; "M" a malformed entry) and keeps every byte handed out, checking that the
// extents of each entry agree with its text.
class Recorder : public Handler {
 public:
  void text(std::string_view bytes) override {
    if (!in_text_) transcript += "T";
    transcript.append(bytes);
    in_text_ = true;
    bytes_out.append(bytes);
  }

  void entry(const Entry& e) override {
    check_extents(e);
    transcript += (in_text_ ? "\n" : "") + std::string("E") + std::to_string(e.line) + ":" + e.type + "(" + e.key + ")";
    for (const Field& f : e.fields) {
      transcript += " " + f.name + "=";
      for (const ValuePiece& p : f.pieces) {
        transcript += (&p == &f.pieces.front() ? "" : "#") + std::string(e.text.substr(p.begin, p.end - p.begin));
      }
    }
    transcript += "\n";
    in_text_ = false;
    bytes_out.append(e.text);
  }

  void malformed(std::size_t line, std::string_view reason) override {
    transcript += (in_text_ ? "\n" : "") + std::string("M") + std::to_string(line) + ":" + std::string(reason) + "\n";
    in_text_ = false;
  }

  std::string transcript;
  std::string bytes_out;

 private:
  void check_extents(const Entry& e) {
    EXPECT_EQ(e.offset, bytes_out.size()) << e.text;
    EXPECT_EQ(e.text.front(), '@');
    EXPECT_EQ(e.text.substr(e.key_begin, e.key_end - e.key_begin), e.key);
    for (const Field& f : e.fields) {
      std::string name(e.text.substr(f.name_begin, f.name.size()));
      for (char& c : name) c = lower(c);
      EXPECT_EQ(name, f.name) << e.text;
      ASSERT_FALSE(f.pieces.empty()) << e.text;
      EXPECT_EQ(f.value_begin, f.pieces.front().begin);
      EXPECT_EQ(f.value_end, f.pieces.back().end);
    }
  }

  bool in_text_ = false;
};

// Each piece is fed from a copy that is spoilt once feed() returns, as a run's read
// buffer is refilled: a reader that kept pointing into a piece it was done with would
// hand out the spoilt bytes of an entry that straddles two pieces.
std::string read(std::string_view input, std::size_t piece, ReaderOptions options = {}) {
  Recorder recorder;
  EntryReader reader(recorder, options);
  std::string scratch;
  for (std::size_t i = 0; i < input.size(); i += piece) {
    scratch.assign(input.substr(i, piece));
    reader.feed(scratch);
    scratch.assign(scratch.size(), '?');
  }
  reader.finish();
  EXPECT_EQ(recorder.bytes_out, input) << "in pieces of " << piece;
  return recorder.transcript;
}

// Reads `input` whole and in pieces of every size: the bytes handed out are the input,
// and the events are the same.
std::string read_in_all_pieces(std::string_view input, ReaderOptions options = {}) {
  const std::string whole = read(input, input.size() + 1, options);
  for (std::size_t piece = 1; piece <= input.size(); ++piece) {
    EXPECT_EQ(read(input, piece, options), whole) << input << " in pieces of " << piece;
  }
  return whole;
}

using Cases = std::vector<std::pair<std::string, std::string>>;

void expect_transcripts(const Cases& cases, ReaderOptions options = {}) {
  for (const auto& [input, expected] : cases) EXPECT_EQ(read_in_all_pieces(input, options), expected) << input;
}

TEST(EntryReader, MisreadsHardCases) {
  expect_transcripts({
      {"@article{k, title = {a {b {c}} d}}", "E1:article(k) title={a {b {c}} d}\n"},
      {"@comment{see @book{x, y}} @book{k}", "E1:comment()\nT \nE1:book(k)\n"},
      {"@book{k, title = \"a {\"} b\", year = 1999, journal = jn,}",
       "E1:book(k) title=\"a {\"} b\" year=1999 journal=jn\n"},
      {"@string{jn = \"J. \" # {N} # jn2}", "E1:string() jn=\"J. \"#{N}#jn2\n"},
      {"@preamble{ \"\\def\\x{}\" # \"y\" }", "E1:preamble() =\"\\def\\x{}\"#\"y\"\n"},
      {"@book{k,\r\n title = {a\r\n b}}\r\n@misc{m}", "E1:book(k) title={a\r\n b}\nT\r\n\nE4:misc(m)\n"},
      {"\xEF\xBB\xBF@book{k}", "T\xEF\xBB\xBF\nE1:book(k)\n"},
      {"@article(key, title = {a)b})", "E1:article(key) title={a)b}\n"},
      {"@ARTICLE {Key:2/x-y.z+1 ,\n\tTITLE\n= x}", "E1:article(Key:2/x-y.z+1) title=x\n"},
      {"% @book{k}\n", "T% \nE1:book(k)\nT\n"},
      {"write to me@example.com today.\n@misc{m}", "Twrite to me@example.com today.\n\nE2:misc(m)\n"},
      {"@{x} @@ book{k} @1", "T@{x} @\nE1:book(k)\nT @1"},
      {"@book{k, author = {\xE6\x9B\xBE}, \xE4\xBD\x9C={\xE6\x9B\xBE}}",
       "E1:book(k) author={\xE6\x9B\xBE} \xE4\xBD\x9C={\xE6\x9B\xBE}\n"},
  });
}

TEST(EntryReader, MalformedEntryLostOrSwallowsTheNext) {
  expect_transcripts({
      {"x\n@book{k, title = {abc", "Tx\n\nM2:the entry is not closed (the file ends inside it)\nT@book{k, title = {abc"},
      {"@book{k, title = {x}\n@misc{m}",
       "M1:a value is not followed by a comma or the end of the entry\nT@book{k, title = {x}\n\nE2:misc(m)\n"},
      {"@book{k, title = {x} year = 1}@misc{m}",
       "M1:a value is not followed by a comma or the end of the entry\nT@book{k, title = {x} year = 1}\nE1:misc(m)\n"},
      {"@book{k title = 1}", "M1:a comma is missing after the entry key\nT@book{k title = 1}"},
      {"@book{k, = 1}", "M1:a field name is missing\nT@book{k, = 1}"},
      {"@book{k, title 1}", "M1:a field name is not followed by \"=\"\nT@book{k, title 1}"},
      {"@book{k, title = }", "M1:a field has no value\nT@book{k, title = }"},
      {"@book{k, t = \"a } b\"}", "M1:a value closes a brace that it did not open\nT@book{k, t = \"a } b\"}"},
      {"@preamble{\"a\", b = 1}", "M1:a value is not followed by a comma or the end of the entry\nT@preamble{\"a\", b = 1}"},
      // A comment that never closes gives back its braces: the entries after it are read.
      {"@comment{ a { b\n@book{k}\n",
       "M1:the comment is not closed (the file ends inside it)\nT@comment{ a { b\n\nE2:book(k)\nT\n"},
      {"@comment{ {\n@comment{ {\n@book{k}",
       "M1:the comment is not closed (the file ends inside it)\nT@comment{ {\n\n"
       "M2:the comment is not closed (the file ends inside it)\nT@comment{ {\n@book{k}"},
  });
}

TEST(EntryReader, UnclosedEntryHeldWithoutBound) {
  ReaderOptions small;
  small.longest_entry = 24;
  const std::string tail = "@misc{m}";
  expect_transcripts({
      {"@book{k, title = {" + std::string(40, 'x') + "}}" + tail,
       "M1:the entry is not closed within 24 bytes\nT@book{k, title = {xxxxxxx" + std::string(33, 'x') + "}}\nE1:misc(m)\n"},
      {"@comment{{" + std::string(30, 'x') + "\n" + tail,
       "M1:the comment is not closed within 24 bytes\nT@comment{{" + std::string(30, 'x') + "\n\nE2:misc(m)\n"},
      {"a@" + std::string(30, 'x') + "{k}", "Ta@" + std::string(30, 'x') + "{k}"},
  }, small);
}

// In Big5 the second byte of a character may be "@", "{" or "}"; A0 leads only after a
// character.
TEST(EntryReader, Big5SecondByteReadAsSyntax) {
  ReaderOptions big5;
  big5.big5 = true;
  expect_transcripts({
      {"\xA4@book{k}", "T\xA4@book{k}"},
      {"@book{k, title = {\xA4}\xA4{}}", "E1:book(k) title={\xA4}\xA4{}\n"},
      {"@book{\xA4}, t = \"\xA4\"\"}", "E1:book(\xA4}) t=\"\xA4\"\"\n"},
      {"\xA0@misc{m}\xA4\xA4\xA0@x", "T\xA0\nE1:misc(m)\nT\xA4\xA4\xA0@x"},
  }, big5);
}

TEST(EntryReader, LineCountedWrong) {
  const std::string bib = "\n\r\n@a{k,\n t = {\n\n}}\r\n\r\n @b{j}\n@c{i,\nx = 1 y}";
  EXPECT_EQ(read_in_all_pieces(bib),
            "T\n\r\n\nE3:a(k) t={\n\n}\nT\r\n\r\n \nE8:b(j)\nT\n\n"
            "M9:a value is not followed by a comma or the end of the entry\nT@c{i,\nx = 1 y}");
}

// The name starts, shown by the byte at each: a name list's pieces, braces at any depth,
// " and " in any case at the top of a piece only; no other field.
TEST(NameStarts, NameStartMissedOrMisplaced) {
  const Cases cases = {
      {"@book{k, author = {A and B AND\n\tC {D {E}} x and{F}}, title = {G and H}}", "ABCDEF"},
      {"@book{k, Editor = \"A and {B and C}\" # {D}, editora = x # \"E\"}", "A{BDE"},
      {"@book{k, author = {Aand B andC and  D}}", "AD"},
      {"@string{author = {A and B}}", "AB"},
      {"@book{k, translator = {A and }}", "A}"},
  };
  for (const auto& [bib, expected] : cases) {
    struct : Handler {
      void text(std::string_view) override {}
      void entry(const Entry& e) override {
        std::vector<std::size_t> starts;
        name_starts(e, starts);
        for (std::size_t s : starts) {
          const std::size_t at = e.text.find_first_not_of(" \t\n", s);
          marks.push_back(e.text[at]);
        }
      }
      void malformed(std::size_t, std::string_view) override {}
      std::string marks;
    } handler;
    EntryReader reader(handler);
    reader.feed(bib);
    reader.finish();
    EXPECT_EQ(handler.marks, expected) << bib;
  }
}

TEST(EntryEncoder, MalformedEntryNotReported) {
  auto encoder = make_utf8_encoder(SortOrder::kZhuyin, ChineseBlock::kLast);
  std::vector<std::pair<std::size_t, std::string>> told;
  encoder->on_malformed([&](std::size_t line, std::string_view reason) { told.emplace_back(line, reason); });
  const std::string bib = "@book{a, author = {x}}\n@book{b, x = 1 y = 2}\n\n@book{c, title = {";
  std::string out;
  encoder->encode(bib, out);
  encoder->finish(out);
  EXPECT_EQ(out, bib);
  const std::vector<std::pair<std::size_t, std::string>> expected = {
      {2, "a value is not followed by a comma or the end of the entry"},
      {4, "the entry is not closed (the file ends inside it)"}};
  EXPECT_EQ(told, expected);
}

}  // namespace
}  // namespace corvina::bib
