#include <iostream>

#include "cli/xml_tool.h"

int main(int argc, char** argv) {
  std::vector<velmora::NarrowString> arguments(argv + 1, argv + argc);
  return velmora::RunXmlTool(arguments, std::cout, std::cerr);
}
