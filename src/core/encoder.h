#pragma once
// The streaming sort-key encoder: the interface that the run driver and the tests use.

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "core/sort_settings.h"

namespace corvina {

// Which order the sort tokens give. The Big5 build knows only strokes.
enum class SortOrder { kStrokes, kZhuyin, kPinyin };

// Where the Chinese entries stand among the others: after every key that begins with a
// letter, or, as Taiwanese thesis guidelines ask, before them.
enum class ChineseBlock { kLast, kFirst };

// Whether every run of tokens carries one fixed CJK ideograph right after its prefix. A
// classic .bst style formats the tokens as the text of the entry and looks at their bytes
// for Chinese (gbt7714 picks "等" for "et al." and Chinese punctuation so); the ideograph
// lets it find some. Every run has the same one in the same place, so the order of the
// keys among themselves and against Latin ones stays as it is without it.
enum class RunMark { kNone, kIdeograph };

// That ideograph, 中, in each build's encoding.
inline constexpr std::string_view kUtf8RunMark = "\xE4\xB8\xAD";
inline constexpr std::string_view kBig5RunMark = "\xA4\xA4";

// Marked runs also write the first character of each word of a given name in a brace group
// of its own, which this opens, for the styles that abbreviate given names (the encoder's
// InitialGroups says how); the decoder takes the group back to the bare character.
inline constexpr std::string_view kInitialOpening = "{\\!";

// Rewrites every run of Chinese characters as one ASCII sort token; every other byte is
// copied. Feed a database in pieces of any size: a character cut by a piece boundary is
// held back until the next piece, and a run that goes on into the next piece keeps its
// single group prefix. Memory stays constant whatever the length of a run or a file.
class Encoder {
 public:
  virtual ~Encoder() = default;
  // Appends the encoding of `input` to `out`.
  virtual void encode(std::string_view input, std::string& out) = 0;
  // End of one database: appends whatever is held back (an incomplete character goes out
  // as the plain bytes it was). The encoder is then ready for the next database; any
  // memory the classifier keeps across characters carries over.
  virtual void finish(std::string& out) = 0;

  // Told of each entry of a database that cannot be read as one, when it is met: the line
  // where it begins and why. Its bytes are still encoded, as text between entries.
  using MalformedListener = std::function<void(std::size_t line, std::string_view reason)>;
  virtual void on_malformed(MalformedListener) {}

  // Told that the back end sorts by biblatex's sort fields under `settings`: the fields of
  // each entry are then written as they are, so that styles format, label and hash the
  // user's own text, and only what the order depends on is encoded (sort fields added or
  // encoded where the user wrote them). An encoder that cannot do so encodes everything.
  virtual void keep_fields_as_written(const SortSettings&) {}
};

}  // namespace corvina
