#include "encode/utf8_groups.h"

#include <array>

namespace corvina::utf8 {

namespace {

constexpr char32_t kByteOrderMark = 0xFEFF;

constexpr std::array<std::string_view, 38> kCodes{
    "0",   "A",   "B",   "C",   "D",   "E",   "F",   "G",   "H",   "I",
    "J",   "K",   "L",   "M",   "N",   "O",   "P",   "Q",   "R",   "S",
    "T",   "U",   "V",   "W",   "X",   "Y",   "Z",   "Zza", "Zzb", "Zzc",
    "Zzd", "Zze", "Zzf", "Zzg", "Zzh", "Zzi", "Zzj", "Zzk",
};

}  // namespace

Classified readn2p(std::string_view character, GroupLookup lookup, int previous_group) {
  const auto byte = [&](int i) { return static_cast<unsigned char>(character[i]); };
  const char32_t code =
      (byte(0) & 0x0Fu) << 12 | (byte(1) & 0x3Fu) << 6 | (byte(2) & 0x3Fu);
  if (code == kByteOrderMark) return {code, previous_group};
  return {code, lookup(code)};
}

std::string_view cvt(int group) {
  if (group < 0 || group >= static_cast<int>(kCodes.size())) return kCodes[0];
  return kCodes[group];
}

}  // namespace corvina::utf8
