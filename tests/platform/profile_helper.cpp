// Writes keys PREFIX_0 .. PREFIX_{N-1} into section USERS of a profile file,
// one write each, as a copy of the program would; exits 1 on any failure.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/ProfileFile.h"

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  const std::string path = argv[1], prefix = argv[2];
  const int count = std::atoi(argv[3]);
  for (int i = 0; i < count; ++i) {
    const int code = platform::WriteProfileString(path, "USERS", prefix + "_" + std::to_string(i), std::to_string(i));
    if (code != 0) {
      std::fprintf(stderr, "write %d failed with %d\n", i, code);
      return 1;
    }
  }
  return 0;
}
