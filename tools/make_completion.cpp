// Writes tessaly-find's bash completion from its template: @SEARCHES@
// becomes the names of the searches of the list (searches.h), so that the
// completion offers what --mode takes.
//
//   make_completion TEMPLATE OUTPUT
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "searches.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: make_completion TEMPLATE OUTPUT\n";
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  std::string names;
  for (const tessaly::SearchKind* kind : tessaly::Searches()) {
    if (!names.empty()) names += ' ';
    names += kind->name;
  }
  std::string out = text.str();
  const std::string mark = "@SEARCHES@";
  for (size_t at = out.find(mark); at != std::string::npos; at = out.find(mark, at + names.size())) {
    out.replace(at, mark.size(), names);
  }
  std::ofstream file(argv[2], std::ios::binary);
  file << out;
  return in && file ? 0 : 1;
}
