#pragma once
// Base64 text of byte runs (RFC 4648 alphabet, "=" padding). Free of shared state and
// allocation-free: any thread may call.

class Base64
{
public:
  // Characters needed for the text of n bytes, without the terminator; -1 when n is negative
  // or the text would not fit an int.
  static int EncodedLength(int n);

  // Writes the text of n bytes and a terminator into out, which holds EncodedLength(n) + 1
  // characters. Returns the number of characters written (without the terminator), or -1.
  static int Encode(const void* data, int n, char* out);

  // Decodes text into out, writing at most outSize bytes. Decoding stops at the first
  // character outside the alphabet (so at the padding) or when outSize bytes are written;
  // a trailing group of fewer than 8 bits is dropped. Returns the number of bytes written.
  static int Decode(const char* text, unsigned char* out, int outSize);
};
