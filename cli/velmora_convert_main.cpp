#include <unistd.h>

#include <cstdlib>
#include <iostream>

#include "cli/convert_tool.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  std::vector<velmora::NarrowString> arguments(argv + 1, argv + argc);
  const int status =
      velmora::RunConvertTool(arguments, std::cout, std::cerr, ::isatty(STDERR_FILENO) == 1, true);
  std::cout.flush();
  std::cerr.flush();
  // The loaded document was left to the end of the process.
  std::_Exit(status);
}
