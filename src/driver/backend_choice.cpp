#include "driver/backend_choice.h"

#include <cerrno>

#include "driver/document_name.h"
#include "core/run_error.h"
#include "platform/file_io.h"
#include "platform/platform.h"
#include "scan/control_files.h"

namespace corvina {

std::vector<std::string> choose_backend(const Build& build, const ControlFiles& files,
                                        const std::string& purename) {
  std::vector<std::string> argv;
  if (!files.bcf) {
    argv = build.bibtex_without_bcf;
  } else if (!files.blx || (files.bcf_newer && *files.bcf_newer > 0)) {
    argv = {"biber"};
  } else {
    argv = {"bibtex"};
  }
  argv.push_back(purename);
  return argv;
}

std::vector<std::string> backend_command(const Build& build, const std::string& purename,
                                         const std::string& output_directory,
                                         std::string& bibinputs_folder) {
  const std::string base = in_directory(output_directory, purename);
  std::vector<std::string> argv = choose_backend(build, probe_control_files(base), base);
  bibinputs_folder.clear();
  if (argv.front() == "biber") {
    std::vector<std::string> biber = {"biber"};
    biber.insert(biber.end(), build.biber_options.begin(), build.biber_options.end());
    if (!output_directory.empty()) biber.insert(biber.end(), {"--output-directory", output_directory});
    biber.push_back(output_directory.empty() ? base : purename);
    return biber;
  }
  if (!output_directory.empty()) bibinputs_folder = output_directory;
  return argv;
}

namespace {

bool readable(const std::string& path) {
  InputFile in(path);
  if (!in.is_open() && in.error() != ENOENT) throw RunError(kExitFileError, "\n" + file_error("read", path, in.error()));
  return in.is_open();
}

}  // namespace

bool runs_classic_style(const Build& build, const std::string& purename, const std::string& output_directory) {
  const std::string base = in_directory(output_directory, purename);
  if (choose_backend(build, probe_control_files(base), base).front() == "biber") return false;
  const std::string style = aux_bibstyle(base + ".aux");
  return !style.empty() && style != "biblatex";
}

ControlFiles probe_control_files(const std::string& purename) {
  const std::string bcf = purename + ".bcf";
  const std::string blx = purename + "-blx.bib";
  ControlFiles files;
  files.bcf = readable(bcf);
  files.blx = files.bcf && readable(blx);
  if (files.bcf && files.blx) files.bcf_newer = comparefiletime(bcf, blx);
  return files;
}

}  // namespace corvina
