// Stand-in for the Chinese preprocessor, which is not part of this project: it copies the
// file named second to last to the file named last, so that a whole run can be made and
// tested. Built as pellam and pellam4.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <vector>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << argv[0] << ": usage: " << argv[0] << " [options] INPUT OUTPUT\n";
    return 2;
  }
  const char* input_name = argv[argc - 2];
  const char* output_name = argv[argc - 1];
  std::FILE* input = std::fopen(input_name, "rb");
  if (!input) {
    std::cerr << argv[0] << ": cannot open " << input_name << ": " << std::strerror(errno) << "\n";
    return 1;
  }
  std::FILE* output = std::fopen(output_name, "wb");
  if (!output) {
    std::cerr << argv[0] << ": cannot write " << output_name << ": " << std::strerror(errno) << "\n";
    return 1;
  }
  // Copied as cat would, in large blocks: a whole run's measured cost is then ours, not
  // the stand-in's.
  std::vector<char> block(1 << 20);
  for (std::size_t got; (got = std::fread(block.data(), 1, block.size(), input)) > 0;) {
    if (std::fwrite(block.data(), 1, got, output) != got) break;
  }
  const bool read_failed = std::ferror(input);
  if (read_failed || std::fclose(output) != 0) {
    std::cerr << argv[0] << ": cannot " << (read_failed ? "read " : "write ")
              << (read_failed ? input_name : output_name) << ": " << std::strerror(errno) << "\n";
    return 1;
  }
  return 0;
}
