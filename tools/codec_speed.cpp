// codec_speed --dump BBL: writes the decoded text of BBL, then its log, to standard output,
// so that two builds can be compared byte for byte.
//
// codec_speed [-y|-p] DATABASE: the in-memory speed of the encoder and of the decoder (with
// its diagnostic log), in megabytes of database per second of CPU time. The database is
// encoded in the pieces that a run reads, in stroke order (zhuyin with -y, pinyin with
// -p), and the encoded text decoded line by line, as a run decodes the back end's .bbl.
// Prints "encode MB/s decode MB/s" on one line.
//
// codec_speed --encode [-y|-p] DATABASE: writes the encoded database to standard output,
// so that two builds' encoders can be compared byte for byte.
#include <ctime>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#ifdef CODEC_SPEED_BIG5
#include "decode/big5_decoder.h"
#include "encode/big5_encoder.h"
#define MAKE_ENCODER corvina::make_big5_encoder
#define MAKE_DECODER corvina::make_big5_decoder
#else
#include "decode/utf8_decoder.h"
#include "encode/utf8_encoder.h"
#define MAKE_ENCODER corvina::make_utf8_encoder
#define MAKE_DECODER corvina::make_utf8_decoder
#endif

namespace {

// CPU time, not wall time: the machine is shared, and a round that waited for a core
// should not count as a slow one.
double cpu_seconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

std::string encode(const std::string& database, corvina::SortOrder order) {
  auto encoder = MAKE_ENCODER(order, corvina::ChineseBlock::kLast);
  std::string encoded, piece;
  encoded.reserve(database.size() * 2);
  for (std::size_t at = 0; at < database.size(); at += 1 << 16) {
    piece.clear();
    encoder->encode(std::string_view(database).substr(at, 1 << 16), piece);
    encoded += piece;
  }
  encoder->finish(encoded);
  return encoded;
}

// The decoded text and the log go to buffers that are emptied now and then, as a run
// writes them to files.
std::size_t decode(const std::string& encoded) {
  auto decoder = MAKE_DECODER(true);
  std::string out, log;
  std::size_t total = 0;
  for (std::size_t at = 0; at < encoded.size();) {
    std::size_t end = encoded.find('\n', at);
    end = end == std::string::npos ? encoded.size() : end + 1;
    decoder->decode_line(std::string_view(encoded).substr(at, end - at), out, &log);
    at = end;
    if (out.size() + log.size() > (1 << 20)) {
      total += out.size() + log.size();
      out.clear();
      log.clear();
    }
  }
  return total + out.size() + log.size();
}

}  // namespace

std::string contents(const char* path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

void dump(const std::string& bbl) {
  auto decoder = MAKE_DECODER(true);
  std::string out, log;
  for (std::size_t at = 0; at < bbl.size();) {
    std::size_t end = bbl.find('\n', at);
    end = end == std::string::npos ? bbl.size() : end + 1;
    decoder->decode_line(std::string_view(bbl).substr(at, end - at), out, &log);
    at = end;
  }
  std::cout << out << log;
}

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--dump") {
    dump(contents(argv[2]));
    return 0;
  }
  int arg = 1;
  const bool encode_only = arg < argc && std::string(argv[arg]) == "--encode";
  if (encode_only) ++arg;
  corvina::SortOrder order = corvina::SortOrder::kStrokes;
  if (arg < argc && std::string(argv[arg]) == "-y") order = corvina::SortOrder::kZhuyin, ++arg;
  else if (arg < argc && std::string(argv[arg]) == "-p") order = corvina::SortOrder::kPinyin, ++arg;
  if (arg + 1 != argc) {
    std::cerr << "usage: codec_speed [--encode] [-y|-p] DATABASE | --dump BBL\n";
    return 2;
  }
  const std::string database = contents(argv[arg]);
  if (encode_only) {
    std::cout << encode(database, order);
    return 0;
  }
  const double mb = static_cast<double>(database.size()) / 1e6;
  double encode_s = 1e9, decode_s = 1e9;
  std::string encoded;
  volatile std::size_t sink = 0;
  for (int round = 0; round < 3; ++round) {
    double start = cpu_seconds();
    encoded = encode(database, order);
    encode_s = std::min(encode_s, cpu_seconds() - start);
    start = cpu_seconds();
    sink = sink + decode(encoded);
    decode_s = std::min(decode_s, cpu_seconds() - start);
  }
  std::printf("%.0f %.0f\n", mb / encode_s, mb / decode_s);
  return 0;
}
