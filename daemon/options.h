#pragma once
// The command line of kelvad.

#include <ostream>

extern const char sUsageText[];
extern int print_version;

struct Options {
  bool daemon = false;
  long port = 20001;
};

enum class OptionsOutcome { run, exit_help, exit_version, exit_usage };

// Parses argv with getopt_long ("Dh" and the long options); options act in
// the order given. Writes the usage or version text to out when it ends the
// process.
OptionsOutcome ParseOptions(int argc, char** argv, Options& options, std::ostream& out);
