// Stand-in for the Chinese preprocessor, which is not part of this project: it copies the
// file named second to last to the file named last, so that a whole run can be made and
// tested. Built as pellam and pellam4.

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << argv[0] << ": usage: " << argv[0] << " [options] INPUT OUTPUT\n";
    return 2;
  }
  const char* input_name = argv[argc - 2];
  const char* output_name = argv[argc - 1];
  std::ifstream input(input_name, std::ios::binary);
  if (!input) {
    std::cerr << argv[0] << ": cannot open " << input_name << ": " << std::strerror(errno) << "\n";
    return 1;
  }
  std::ofstream output(output_name, std::ios::binary | std::ios::trunc);
  if (!output) {
    std::cerr << argv[0] << ": cannot write " << output_name << ": " << std::strerror(errno) << "\n";
    return 1;
  }
  output << input.rdbuf();
  output.close();
  if (!output) {
    std::cerr << argv[0] << ": cannot write " << output_name << "\n";
    return 1;
  }
  return 0;
}
