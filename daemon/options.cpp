#include "daemon/options.h"

#include <cstdlib>
#include <getopt.h>

#include "core/version.h"

const char sUsageText[] =
    "Usage:\n"
    " kelvad -Dh\n"
    "  -D --daemon                      run as daemon\n"
    "  -p --port                        use this port\n"
    "     --disable-clock               disable clock control\n"
    "     --version                     print version\n"
    "  -h --help                        display this information\n";

int print_version = 0;

namespace {
constexpr int kDisableClock = 10;
const struct option long_options[] = {
    {"daemon", no_argument, nullptr, 'D'},
    {"port", required_argument, nullptr, 'p'},
    {"disable-clock", no_argument, nullptr, kDisableClock},
    {"version", no_argument, &print_version, 1},
    {"help", no_argument, nullptr, 'h'},
    {nullptr, 0, nullptr, 0},
};
}  // namespace

OptionsOutcome ParseOptions(int argc, char** argv, Options& options, std::ostream& out) {
  opterr = 1;
  int c;
  while ((c = getopt_long(argc, argv, "Dh", long_options, nullptr)) != -1) {
    switch (c) {
      case 0:
        break;  // --version: the flag is set by getopt_long
      case 'D':
        options.daemon = true;
        break;
      case 'p':
        options.port = std::strtol(optarg, nullptr, 10);
        break;
      case kDisableClock:
        // Clock control belongs to the bus-clock service; it acts here, at
        // once, when that service is part of the daemon.
        break;
      case 'h':
        out << sUsageText << std::endl;
        return OptionsOutcome::exit_help;
      default:
        out << sUsageText << std::endl;
        return OptionsOutcome::exit_usage;
    }
  }
  if (print_version) {
    out << "server version: " << Version::current << std::endl;
    return OptionsOutcome::exit_version;
  }
  return OptionsOutcome::run;
}
