// corvina: documents and databases in Big5, sorted by strokes.

#include "decode/big5_decoder.h"
#include "driver/run.h"
#include "encode/character_uses.h"
#include "encode/big5_encoder.h"
#include "version.h"

int main(int argc, char** argv) {
  const corvina::Build build{
      .program = "corvina",
      .banner = "The Chinese processor of Corvina, version 0.93r",
      .version = "corvina " CORVINA_VERSION,
      .usage = "\n** Usage: corvina  filename(.vdk)\n",
      .takes_order_option = false,
      .reads_utf8 = false,
      .bibtex_without_bcf = {"bibtex8", "--mstrings", "50000", "-W"},
      // The decoder writes Big5 into the .bbl, so biber must write the rest of it in Big5
      // too, whatever the document's texencoding says (biblatex's default is UTF-8, which
      // would leave a "\'e" of the database as UTF-8 beside Big5 Chinese).
      .biber_options = {"--output-encoding=big5"},
      .preprocessor = {"pellam", "-+", "--"},
      .fixed_temp_bbl = "",
      .rewrite_font_families = nullptr,
      .make_encoder = corvina::make_big5_encoder,
      .make_decoder = corvina::make_big5_decoder,
      .character_uses = corvina::big5_character_uses,
  };
  return corvina::corvina_main(build, argc, argv);
}
