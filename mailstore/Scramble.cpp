#include "mailstore/Scramble.h"

#include <vector>

namespace mailstore {

uint32_t NextRandom(uint32_t& randomSeed, uint32_t range) {
  randomSeed = randomSeed * 134775813u + 1u;  // 0x08088405; wraps modulo 2^32
  return static_cast<uint32_t>((static_cast<uint64_t>(randomSeed) * range) >> 32);
}

ScrambleTable BuildScrambleTable(uint32_t seed) {
  ScrambleTable table{};
  std::vector<unsigned char> pool;
  for (int v = 0; v < 256; ++v) {
    table[v] = static_cast<unsigned char>(v);
    if (v >= 32) pool.push_back(static_cast<unsigned char>(v));
  }
  uint32_t randomSeed = seed;
  for (int i = 32; !pool.empty(); ++i) {
    const uint32_t k = NextRandom(randomSeed, static_cast<uint32_t>(pool.size()));
    table[i] = pool[k];
    pool.erase(pool.begin() + k);
  }
  return table;
}

void ScrambleLine(const ScrambleTable& table, std::string& line) {
  for (char& c : line) c = static_cast<char>(table[static_cast<unsigned char>(c)]);
}

void UnscrambleLine(const ScrambleTable& table, std::string& line) {
  ScrambleTable inverse{};
  for (int j = 1; j < 256; ++j) inverse[table[j]] = static_cast<unsigned char>(j);
  for (char& c : line) c = static_cast<char>(inverse[static_cast<unsigned char>(c)]);
}

}  // namespace mailstore
