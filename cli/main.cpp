#include <iostream>
#include <string>
#include <vector>

#include "cli/app.h"
#include "cli/input_reader.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  ramulet::UseBinaryStdin();
  std::vector<std::string> args(argv + 1, argv + argc);
  return ramulet::RunCli(args, std::cin, std::cout, std::cerr);
}
