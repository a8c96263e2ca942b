// corvina4: documents and databases in UTF-8, sorted by strokes, with -y by zhuyin, or
// with -p by pinyin.

#include "decode/changepq.h"
#include "decode/utf8_decoder.h"
#include "driver/run.h"
#include "encode/utf8_encoder.h"
#include "version.h"

int main(int argc, char** argv) {
  const corvina::Build build{
      .program = "corvina4",
      .banner = "The Chinese processor of Corvina4, version utf-8b2.3.",
      .version = "corvina4 " CORVINA_VERSION,
      .usage = "\n** Usage: corvina4  [-Option...]  filename(.vdk)\n"
               "\n      y : sorting by zhuyin.\n\n",
      .takes_order_option = true,
      .reads_utf8 = true,
      .bibtex_without_bcf = {"bibtex"},
      .preprocessor = {"pellam4", "-+", "--", "-b"},
      .fixed_temp_bbl = "temp21-tmp.bbl",
      .rewrite_font_families = corvina::changepq,
      .make_encoder = corvina::make_utf8_encoder,
      .make_decoder = corvina::make_utf8_decoder,
  };
  return corvina::corvina_main(build, argc, argv);
}
