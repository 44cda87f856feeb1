#pragma once
// Growable byte buffer in which plug-in state is serialised and read back at a position.
//
// Values are stored little-endian whatever the machine, with no alignment and no type tags:
// 32-bit integers take 4 bytes, doubles 8 (IEEE 754). Strings are a signed 32-bit length
// followed by the characters, without a terminator.
//
// Put* operations append and return the new size, or -1 when the buffer could not grow (the
// contents are then unchanged). Get* operations read at a byte position and return the
// position after the value, or -1 when the value does not lie completely inside the buffer
// (or pos is negative); the output is then left unchanged. Readers hand a -1 on, so a chain
// of reads stops at the first failure.
//
// Not thread-safe: the owner serialises access. Growing allocates, so Put* is not real-time
// safe; Get* is.

#include <cstdint>
#include <cstring>
#include <type_traits>

#include "WDL_HeapBuf.h"

class WDL_String;

class ByteChunk
{
public:
  ByteChunk() = default;
  ByteChunk(const ByteChunk&) = delete;
  ByteChunk& operator=(const ByteChunk&) = delete;

  template <class T>
  int PutValue(T value)
  {
    static_assert(std::is_arithmetic<T>::value && !std::is_same<T, bool>::value, "PutValue stores numbers");
    unsigned char bytes[sizeof(T)];
    Encode(value, bytes);
    return PutBytes(bytes, static_cast<int>(sizeof(T)));
  }

  template <class T>
  int GetValue(T* value, int pos) const
  {
    static_assert(std::is_arithmetic<T>::value && !std::is_same<T, bool>::value, "GetValue reads numbers");
    unsigned char bytes[sizeof(T)];
    int next = GetBytes(bytes, static_cast<int>(sizeof(T)), pos);
    if (next < 0 || !value) return -1;
    *value = Decode<T>(bytes);
    return next;
  }

  // A null string is stored as an empty one.
  int PutString(const char* s);
  // Reads a string stored by PutString, cut at its first zero byte. A negative length, or a
  // length reaching past the end, gives -1.
  int GetString(WDL_String* s, int pos) const;

  int PutBool(bool b);
  // Any non-zero byte reads as true.
  int GetBool(bool* b, int pos) const;

  // Appends n raw bytes (data may point into this chunk). n < 0 or null data with n > 0 gives -1.
  int PutBytes(const void* data, int n);
  // Appends the bytes of another chunk (which may be this one).
  int PutBytes(const ByteChunk* other);
  // Copies n raw bytes at pos into out.
  int GetBytes(void* out, int n, int pos) const;

  int Size() const { return mBytes.GetSize(); }
  // The bytes, or null while the chunk is empty.
  unsigned char* GetBytes() const { return mBytes.Get(); }
  void Clear() { mBytes.Resize(0); }
  // Sets the size; new bytes are zero. Returns the new size, or -1 (unchanged) on failure.
  int Resize(int newSize);
  bool IsEqual(const ByteChunk* other) const;

  // Little-endian encoding of plain numbers, for callers that lay out bytes themselves.
  template <class T>
  static void Encode(T value, unsigned char* out)
  {
    using U = typename Bits<sizeof(T)>::Type;
    U u;
    std::memcpy(&u, &value, sizeof(T));
    for (size_t i = 0; i < sizeof(T); ++i) out[i] = static_cast<unsigned char>(u >> (8 * i));
  }

  template <class T>
  static T Decode(const unsigned char* in)
  {
    using U = typename Bits<sizeof(T)>::Type;
    U u = 0;
    for (size_t i = 0; i < sizeof(T); ++i) u |= static_cast<U>(static_cast<U>(in[i]) << (8 * i));
    T value;
    std::memcpy(&value, &u, sizeof(T));
    return value;
  }

private:
  template <size_t N>
  struct Bits;

  WDL_TypedBuf<unsigned char> mBytes;
};

template <>
struct ByteChunk::Bits<1>
{
  using Type = uint8_t;
};
template <>
struct ByteChunk::Bits<2>
{
  using Type = uint16_t;
};
template <>
struct ByteChunk::Bits<4>
{
  using Type = uint32_t;
};
template <>
struct ByteChunk::Bits<8>
{
  using Type = uint64_t;
};
