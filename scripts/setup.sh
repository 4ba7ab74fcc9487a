#!/usr/bin/env bash
# Installs what building and testing kelvad needs (Debian packages).
# As root it runs apt-get; otherwise it names what is missing and fails.
set -euo pipefail

packages=(cmake ninja-build g++ googletest libbenchmark-dev
          g++-powerpc-linux-gnu qemu-user clang libclang-rt-14-dev
          python3 ccache)
packages+=(erlang-base erlang-asn1) # independent X.691 codec for the ASN.1 cross-check

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "setup: missing Debian packages: ${missing[*]}" >&2
  echo "setup: install them with: sudo apt-get install ${missing[*]}" >&2
  exit 1
fi
echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
