// Build-time check of a supplied Tarvelon.exe: its FileVersion must begin with the product
// definition's version text, since the setup's question announces that text.
//
//   check_version FILE VERSION-TEXT
//
// Exit code 0 when it does; otherwise 1 and one line that says what the file holds.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "payload/supplied/pe_file_version.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: check_version FILE VERSION-TEXT\n");
    return 2;
  }
  const std::string path = argv[1];
  const std::string expected = argv[2];
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "%s cannot be read\n", path.c_str());
    return 1;
  }
  const std::string image{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const std::string version = FileVersionOfBlock(VersionBlockOfImage(image));
  if (FileVersionBeginsWith(version, expected)) return 0;
  std::fprintf(stderr,
               "%s has FileVersion \"%s\", which does not begin with the product's version %s "
               "(setup/product.h): the setup would announce the wrong version\n",
               path.c_str(), version.c_str(), expected.c_str());
  return 1;
}
