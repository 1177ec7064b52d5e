#!/usr/bin/env bash
# Installs the Debian packages the builds and tests need. Safe to rerun: apt is
# skipped entirely when every package is already installed.
set -euo pipefail

packages=(
  cmake ninja-build g++
  clang libclang-rt-14-dev            # libFuzzer and the sanitizer runtimes
  libgtest-dev libgmock-dev googletest # googletest: sources in /usr/src for the mingw build
  libbenchmark-dev
  g++-mingw-w64-x86-64-posix          # posix thread model: std::thread/std::mutex for GoogleTest
  g++-mingw-w64-i686-posix            # the 32-bit program, which can host 32-bit controls
  wine wine64                         # runs the cross-compiled tests
  wine32                              # (i386) runs the 32-bit program and stand-ins
  xvfb xauth                          # xvfb-run, for anything under Wine that wants a display
  fonts-wqy-microhei                  # a Chinese font Wine can map the Windows UI fonts to
  python3                             # writes and unpacks the release zips
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
  [[ $status == installed ]] || missing+=("$p")
done

if ((${#missing[@]} == 0)); then
  echo "setup: all ${#packages[@]} packages present"
  exit 0
fi

sudo=()
if ((EUID != 0)); then
  command -v sudo >/dev/null || { echo "setup: need root (or sudo) to install: ${missing[*]}" >&2; exit 1; }
  sudo=(sudo)
fi

echo "setup: installing ${missing[*]}"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
export DEBIAN_FRONTEND=noninteractive
# wine32 is an i386 package: the architecture must be known before the package lists are read.
if [[ " ${missing[*]} " == *" wine32 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo[@]}" dpkg --add-architecture i386
fi
if ! { "${sudo[@]}" apt-get update -q &&
       "${sudo[@]}" apt-get install -y -q -o Dpkg::Use-Pty=0 "${missing[@]}"; } </dev/null >"$log" 2>&1; then
  tail -n 40 "$log" >&2
  echo "setup: apt-get failed" >&2
  exit 1
fi
echo "setup: done"
