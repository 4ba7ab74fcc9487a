#include "platform/process.h"

#include <unistd.h>

#include "platform/paths.h"

namespace platform {

int daemonize(int nochdir) {
  if (::daemon(1, 0) < 0) return -1;
  if (!nochdir && ::chdir(root().c_str()) < 0) return -1;
  return 0;
}

}  // namespace platform
