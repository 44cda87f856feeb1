#pragma once
// A four-character code such as "Brx1" packed most significant byte first (0x42727831), as the
// big-endian integer hosts, class ids and program files store. Any thread; constant expression.

constexpr int MakeFourCC(const char (&code)[5])
{
  return static_cast<int>((static_cast<unsigned>(static_cast<unsigned char>(code[0])) << 24) |
                          (static_cast<unsigned>(static_cast<unsigned char>(code[1])) << 16) |
                          (static_cast<unsigned>(static_cast<unsigned char>(code[2])) << 8) |
                          static_cast<unsigned>(static_cast<unsigned char>(code[3])));
}
