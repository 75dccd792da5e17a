// procdir list <proc.dir> | procdir check [--no-files | --folder <dir>] <proc.dir>
#include <iostream>
#include <string>
#include <vector>

#include "tools/procdir/procdir_tool.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return procdir_tool::Run(args, std::cout, std::cerr);
}
