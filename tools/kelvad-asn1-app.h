#pragma once
// kelvad-asn1: decodes octets of any carried ASN.1 type and prints the value
// in value notation, then its re-encoding. The whole program as a function
// of its arguments and streams, so that tests run it in-process.
#include <iosfwd>
#include <string>
#include <vector>

namespace asn1tool {

// args excludes the program name. Exit status: 0 decoded, 1 the input could
// not be read or decoded, 2 usage error or unknown type.
int run(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err);

} // namespace asn1tool
