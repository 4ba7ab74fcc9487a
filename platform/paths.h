#pragma once
// Every fixed path of the daemon (configuration, pid file, status dump,
// /var/monitoring, version and /proc files, /dev/log) is resolved here, so
// that the whole daemon can live under a sandbox directory ($KELVAD_ROOT).

#include <string>
#include <string_view>

namespace platform {

// The directory prefix: $KELVAD_ROOT when set and not empty, else "/".
const std::string& root();

// Maps an absolute system path into the root: "/var/run/server.pid" becomes
// "<root>/var/run/server.pid". With the default root the path is unchanged.
std::string resolve(std::string_view path);

// Replaces the root for the rest of the process (in-process tests).
void set_root(std::string directory);

}  // namespace platform
