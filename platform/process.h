#pragma once
// Process-level operations that touch the host: detaching as a daemon.

namespace platform {

// daemon(3), except that the working directory becomes the root ($KELVAD_ROOT)
// rather than "/" when nochdir is 0. Returns 0, or -1 with errno set.
int daemonize(int nochdir);

}  // namespace platform
