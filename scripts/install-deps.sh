#!/usr/bin/env bash
# Brings every package the native and Windows builds and their tests need onto a
# Debian 12 machine. Idempotent: when everything is present it only checks.
set -euo pipefail

packages=(
  cmake g++ make git python3 clang clang-format valgrind libclang-rt-14-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev libssl-dev nlohmann-json3-dev
  g++-mingw-w64-i686 gcc-mingw-w64-i686 binutils-mingw-w64-i686
  g++-mingw-w64-x86-64 gcc-mingw-w64-x86-64 binutils-mingw-w64-x86-64 mingw-w64-tools
  libwine-dev wine wine32:i386 wine64 wixl msitools zip unzip
  osslsigncode openssl
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

echo "install-deps: installing ${missing[*]}" >&2
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo_cmd[@]}" dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
