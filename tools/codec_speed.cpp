// codec_speed --dump BBL: writes the decoded text of BBL, then its log, to standard output,
// so that two builds can be compared byte for byte.
//
// codec_speed DATABASE: the in-memory speed of the encoder and of the decoder (with its
// diagnostic log), in megabytes of database per second. The database is encoded in the
// pieces that a run reads, and the encoded text decoded line by line, as a run decodes
// the back end's .bbl. Prints "encode MB/s decode MB/s" on one line.
#include <chrono>
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

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string encode(const std::string& database) {
  auto encoder = MAKE_ENCODER(corvina::SortOrder::kStrokes, corvina::ChineseBlock::kLast);
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
  if (argc != 2) {
    std::cerr << "usage: codec_speed DATABASE | --dump BBL\n";
    return 2;
  }
  const std::string database = contents(argv[1]);
  const double mb = static_cast<double>(database.size()) / 1e6;
  double encode_s = 1e9, decode_s = 1e9;
  std::string encoded;
  volatile std::size_t sink = 0;
  for (int round = 0; round < 3; ++round) {
    auto start = Clock::now();
    encoded = encode(database);
    encode_s = std::min(encode_s, seconds_since(start));
    start = Clock::now();
    sink = sink + decode(encoded);
    decode_s = std::min(decode_s, seconds_since(start));
  }
  std::printf("%.0f %.0f\n", mb / encode_s, mb / decode_s);
  return 0;
}
