// kelvad-asn1 [--unaligned] MODULE.TYPE [HEX...]: an operator's decoder for
// the hex dumps of the daemon's logs and for TPKT payloads from captures.
#include <iostream>
#include <string>
#include <vector>

#include "tools/kelvad-asn1-app.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return asn1tool::run(args, std::cin, std::cout, std::cerr);
}
