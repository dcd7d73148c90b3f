// The scrambling of message texts ("En&crypt Mail").
//
// A scrambled message text file starts with three lines: "KVWMB0100", the
// seed in decimal, and the recipient's name.  Every later line is passed
// byte by byte through a substitution table built from the seed: a
// permutation that keeps the bytes 0 to 31 (line ends, tabs) and shuffles
// 32 to 255 among themselves.  It hides a message from a casual look; it is
// not encryption.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace mailstore {

inline constexpr const char* kScrambleSignature = "KVWMB0100";

using ScrambleTable = std::array<unsigned char, 256>;

// The table's generator: advances `randomSeed` (x * 134775813 + 1, modulo
// 2^32) and returns a value from 0 to range - 1, the upper half of the 64-bit
// product of the new seed and `range`.  `range` must be at least 1.
uint32_t NextRandom(uint32_t& randomSeed, uint32_t range);

// The substitution table of a seed.
ScrambleTable BuildScrambleTable(uint32_t seed);

// Replace, in place, every byte b of `line` by table[b], and back.  A line
// holds no line end and no zero byte.
void ScrambleLine(const ScrambleTable& table, std::string& line);
void UnscrambleLine(const ScrambleTable& table, std::string& line);

}  // namespace mailstore
