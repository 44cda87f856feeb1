#include "Base64.h"

namespace
{
const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int DecodeChar(char c)
{
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}
}  // namespace

int Base64::EncodedLength(int n)
{
  if (n < 0) return -1;
  long long len = (static_cast<long long>(n) + 2) / 3 * 4;
  return len < 0x7fffffff ? static_cast<int>(len) : -1;
}

int Base64::Encode(const void* data, int n, char* out)
{
  int len = EncodedLength(n);
  if (len < 0 || !out || (n > 0 && !data)) return -1;
  const unsigned char* in = static_cast<const unsigned char*>(data);
  char* o = out;
  for (int i = 0; i < n; i += 3)
  {
    int left = n - i;
    unsigned int v = static_cast<unsigned int>(in[i]) << 16;
    if (left > 1) v |= static_cast<unsigned int>(in[i + 1]) << 8;
    if (left > 2) v |= in[i + 2];
    *o++ = kAlphabet[(v >> 18) & 63];
    *o++ = kAlphabet[(v >> 12) & 63];
    *o++ = left > 1 ? kAlphabet[(v >> 6) & 63] : '=';
    *o++ = left > 2 ? kAlphabet[v & 63] : '=';
  }
  *o = '\0';
  return len;
}

int Base64::Decode(const char* text, unsigned char* out, int outSize)
{
  if (!text || !out || outSize <= 0) return 0;
  unsigned int acc = 0;
  int bits = 0;
  int written = 0;
  for (const char* c = text; written < outSize; ++c)
  {
    int v = DecodeChar(*c);
    if (v < 0) break;
    acc = (acc << 6) | static_cast<unsigned int>(v);
    bits += 6;
    if (bits >= 8)
    {
      bits -= 8;
      out[written++] = static_cast<unsigned char>(acc >> bits);
      acc &= (1u << bits) - 1;
    }
  }
  return written;
}
