#include "ByteChunk.h"

#include <climits>

#include "WDL_String.h"

int ByteChunk::PutString(const char* s)
{
  size_t len = s ? std::strlen(s) : 0;
  if (len > static_cast<size_t>(INT_MAX - 4)) return -1;
  int n = static_cast<int>(len);
  int size = Size();
  if (size > INT_MAX - 4 - n) return -1;
  // Grow once so that a failure leaves neither the length nor the characters behind.
  if (!mBytes.Resize(size + 4 + n)) return -1;
  Encode(static_cast<int32_t>(n), mBytes.Get() + size);
  if (n) std::memcpy(mBytes.Get() + size + 4, s, len);
  return Size();
}

int ByteChunk::GetString(WDL_String* s, int pos) const
{
  int32_t len = 0;
  int start = GetValue(&len, pos);
  // 64-bit arithmetic: a length near 2^31 must not wrap around the end test.
  if (start < 0 || len < 0 || static_cast<int64_t>(start) + len > Size()) return -1;
  if (s)
  {
    const char* text = reinterpret_cast<const char*>(mBytes.Get() + start);
    const void* zero = len ? std::memchr(text, 0, static_cast<size_t>(len)) : nullptr;
    int n = zero ? static_cast<int>(static_cast<const char*>(zero) - text) : len;
    // The bytes need not end in a zero: "%.*s" reads no further than n.
    s->SetFormatted(n, "%.*s", n, text);
  }
  return start + len;
}

int ByteChunk::PutBool(bool b)
{
  unsigned char byte = b ? 1 : 0;
  return PutBytes(&byte, 1);
}

int ByteChunk::GetBool(bool* b, int pos) const
{
  unsigned char byte = 0;
  int next = GetBytes(&byte, 1, pos);
  if (next < 0 || !b) return -1;
  *b = byte != 0;
  return next;
}

int ByteChunk::PutBytes(const void* data, int n)
{
  if (n < 0 || (n > 0 && !data)) return -1;
  int size = Size();
  if (n == 0) return size;
  if (size > INT_MAX - n) return -1;
  // The source may lie inside this chunk, whose memory Resize may move.
  const unsigned char* src = static_cast<const unsigned char*>(data);
  const unsigned char* base = mBytes.Get();
  bool inside = base && src >= base && src < base + size;
  ptrdiff_t offset = inside ? src - base : 0;
  unsigned char* p = mBytes.Resize(size + n);
  if (!p) return -1;
  std::memmove(p + size, inside ? p + offset : src, static_cast<size_t>(n));
  return Size();
}

int ByteChunk::PutBytes(const ByteChunk* other)
{
  if (!other) return -1;
  return PutBytes(other->GetBytes(), other->Size());
}

int ByteChunk::GetBytes(void* out, int n, int pos) const
{
  if (pos < 0 || n < 0 || static_cast<int64_t>(pos) + n > Size() || (n > 0 && !out)) return -1;
  if (n) std::memcpy(out, mBytes.Get() + pos, static_cast<size_t>(n));
  return pos + n;
}

int ByteChunk::Resize(int newSize)
{
  int size = Size();
  if (newSize < 0) return -1;
  if (newSize == 0)
  {
    Clear();
    return 0;
  }
  unsigned char* p = mBytes.Resize(newSize);
  if (!p) return -1;
  if (newSize > size) std::memset(p + size, 0, static_cast<size_t>(newSize - size));
  return newSize;
}

bool ByteChunk::IsEqual(const ByteChunk* other) const
{
  if (!other || other->Size() != Size()) return false;
  return Size() == 0 || std::memcmp(GetBytes(), other->GetBytes(), static_cast<size_t>(Size())) == 0;
}
