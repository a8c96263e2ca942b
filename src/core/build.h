#pragma once
// What tells corvina (Big5) and corvina4 (UTF-8) apart. Each program in programs/ fills in
// one Build; the shared code asks it and never tests which program it is.

#include <memory>
#include <string>
#include <vector>

#include "core/character_use.h"
#include "core/decoder.h"
#include "core/encoder.h"

namespace corvina {

struct Build {
  std::string program{};  // "corvina" or "corvina4", as in messages
  std::string banner{};   // first line of the banner
  std::string version{};  // printed by --version
  std::string usage{};    // the usage text, line ends included
  bool takes_order_option = false;  // corvina4 reads "-y" before the document name
  bool reads_utf8 = false;          // corvina4 reads UTF-8, corvina Big5

  // The back end run when there is no NAME.bcf; the document name is appended.
  std::vector<std::string> bibtex_without_bcf{};
  // Options biber is given before the document name.
  std::vector<std::string> biber_options{};
  // The preprocessor and its options; the temporary and the final .bbl are appended.
  std::vector<std::string> preprocessor{};
  // The decoded .bbl that the preprocessor reads. An empty name means NAME-tmp.bbl.
  std::string fixed_temp_bbl{};
  // corvina4 rewrites the font families of cinput.tex after the preprocessor; null in corvina.
  void (*rewrite_font_families)() = nullptr;

  std::unique_ptr<Encoder> (*make_encoder)(SortOrder order, ChineseBlock block, RunMark mark) = nullptr;
  // `add_mbox` asks for the corvina4 "\mbox{}" before a brace behind a decoded character;
  // a check that compares decoded text with an original database turns it off.
  std::unique_ptr<Decoder> (*make_decoder)(bool add_mbox) = nullptr;
  // What the encoder's tokens use of each character, for --explain.
  CharacterUses character_uses = nullptr;

  std::string temp_bbl(const std::string& purename) const {
    return fixed_temp_bbl.empty() ? purename + "-tmp.bbl" : fixed_temp_bbl;
  }
};

}  // namespace corvina
