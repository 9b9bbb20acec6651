#pragma once

namespace ramulet {

// The character of each Windows-1251 byte from 0x80 to 0xFF, indexed by the
// byte minus 0x80. Byte 0x98 has none and maps to kNoCp1251Char.
inline constexpr char16_t kNoCp1251Char = 0xFFFF;
extern const char16_t kCp1251High[128];

}  // namespace ramulet
