# Homebrew formula for corvina and corvina4. Copy it into a tap
# (`brew tap-new you/corvina`, then Formula/corvina.rb there) and `brew install corvina`.
#
# homepage, url and sha256 below are placeholders, to be filled in at each release: url
# names the release's source tarball, sha256 is that tarball's `shasum -a 256`.
class Corvina < Formula
  desc "Chinese stroke and zhuyin order for biblatex and bibtex bibliographies"
  homepage "https://example.org/corvina"
  url "https://example.org/corvina/releases/corvina-2.3.0.tar.gz"
  sha256 "0000000000000000000000000000000000000000000000000000000000000000"

  depends_on "cmake" => :build

  def install
    # The tests need GoogleTest and the TeX programs; the formula builds the programs only.
    # bash completion goes where Homebrew's bash-completion@2 reads it,
    # share/bash-completion/completions under Homebrew's prefix.
    system "cmake", "-S", ".", "-B", "build", "-DCMAKE_BUILD_TYPE=Release",
           "-DCORVINA_TESTS=OFF", *std_cmake_args
    system "cmake", "--build", "build"
    system "cmake", "--install", "build"
  end

  def caveats
    <<~EOS
      corvina4 runs in place of biber or bibtex: they come with MacTeX
      (or `brew install --cask mactex-no-gui`).
    EOS
  end

  test do
    assert_equal "corvina4 #{version}", shell_output("#{bin}/corvina4 --version").strip
  end
end
