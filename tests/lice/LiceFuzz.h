#pragma once
// Reproducible random inputs for the raster fuzz tests. The seed is BRELIX_FUZZ_SEED when set,
// otherwise a fixed default, and is printed; each test draws from its own stream of it.

#include "LiceTestSupport.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <memory>
#include <vector>

namespace lice_test
{

class Fuzzer
{
public:
  explicit Fuzzer(const char* stream)
  {
    const char* env = std::getenv("BRELIX_FUZZ_SEED");
    m_seed = env && *env ? std::strtoull(env, nullptr, 0) : 20261208ull;
    std::printf("fuzz stream '%s', seed %llu (repeat with BRELIX_FUZZ_SEED=%llu)\n", stream,
                (unsigned long long)m_seed, (unsigned long long)m_seed);
    m_state = m_seed;
    for (const char* p = stream; *p; ++p)
      m_state = (m_state ^ (unsigned char)*p) * 0x100000001b3ull;
  }

  // splitmix64: identical on every platform and library, unlike the std distributions.
  uint32_t next()
  {
    uint64_t z = (m_state += 0x9e3779b97f4a7c15ull);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    return (uint32_t)((z ^ (z >> 31)) >> 32);
  }
  uint32_t below(uint32_t n) { return n ? next() % n : 0; }
  bool chance(int percent) { return (int)below(100) < percent; }

  // Mostly around a bitmap of `size` pixels, sometimes far off or at the ends of the int range.
  int coord(int size)
  {
    static const int extremes[] = {INT_MIN, INT_MIN + 1, -(1 << 30), -65537,      -32768, -1, 0, 1,
                                   32767,   65536,       1 << 30,    INT_MAX - 1, INT_MAX};
    if (chance(8)) return extremes[below(sizeof extremes / sizeof *extremes)];
    if (chance(10)) return (int)below(4000) - 2000;
    return (int)below((uint32_t)size * 2 + 20) - size / 2 - 10;
  }
  float fcoord(int size)
  {
    static const float odd[] = {std::numeric_limits<float>::quiet_NaN(),
                                std::numeric_limits<float>::infinity(),
                                -std::numeric_limits<float>::infinity(),
                                3.0e38f,
                                -3.0e38f,
                                2147483648.0f,
                                -2147483904.0f,
                                1.0e9f,
                                -0.0f,
                                1.0e-30f,
                                0.4999f,
                                65535.5f};
    if (chance(8)) return odd[below(sizeof odd / sizeof *odd)];
    return (float)coord(size) + (float)below(1024) / 1024.0f;
  }
  float alpha()
  {
    static const float odd[] = {0.0f,
                                0.25f,
                                0.5f,
                                0.75f,
                                1.0f,
                                1.0f,
                                1.0f,
                                0.001f,
                                1.5f,
                                -0.5f,
                                1.0e9f,
                                -1.0e9f,
                                std::numeric_limits<float>::quiet_NaN(),
                                std::numeric_limits<float>::infinity()};
    if (chance(70)) return odd[below(sizeof odd / sizeof *odd)];
    return (float)below(300) / 256.0f;
  }
  // Every combine mode with and without filtering and source alpha, channel copies, and noise.
  int mode()
  {
    if (chance(5)) return (int)next();
    int m = chance(15) ? 0xf0 + (int)below(16) : (int)below(7);
    if (chance(30)) m |= 0x100;
    if (chance(40)) m |= 0x10000;
    return m;
  }
  LICE_pixel color() { return chance(20) ? (chance(50) ? 0xffffffffu : 0u) : next(); }
  uint64_t seed() const { return m_seed; }

  // A randomly filled guarded bitmap of up to `maxSide` pixels a side (sometimes empty), either
  // way up, with some row padding.
  std::unique_ptr<GuardedBitmap> bitmap(int maxSide)
  {
    const int w = chance(3) ? 0 : (int)below((uint32_t)maxSide + 1);
    const int h = chance(3) ? 0 : (int)below((uint32_t)maxSide + 1);
    auto bmp = std::make_unique<GuardedBitmap>(w, h, chance(40), w + (int)below(5), 64);
    bmp->fillRandom(next());
    return bmp;
  }

private:
  uint64_t m_seed = 0, m_state = 0;
};

// The visible pixels of a bitmap, to prove that a source was left alone.
inline std::vector<LICE_pixel> Snapshot(LICE_IBitmap* bmp)
{
  std::vector<LICE_pixel> px;
  for (int y = 0; y < bmp->getHeight(); ++y)
    for (int x = 0; x < bmp->getWidth(); ++x) px.push_back(PixelAt(bmp, x, y));
  return px;
}

}  // namespace lice_test
