#!/usr/bin/env bash
# Brings every package the native and Windows builds and their tests need onto a
# Debian 12 or 13 machine, and on a host whose kernel runs no 32-bit programs sets up
# their emulation (scripts/enable-i386-emulation.sh). Idempotent: when everything is
# present it only checks.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/apt-sources.sh"

# Where releases name a package differently, "a|b" lists the names, the newer first: the
# first one the release offers is installed, and any one installed counts as present.
packages=(
  cmake ninja-build g++ make git python3 clang clang-format valgrind 'libclang-rt-dev|libclang-rt-14-dev'
  googletest libgtest-dev libgmock-dev libbenchmark-dev libssl-dev nlohmann-json3-dev
  g++-mingw-w64-i686 gcc-mingw-w64-i686 binutils-mingw-w64-i686
  g++-mingw-w64-x86-64 gcc-mingw-w64-x86-64 binutils-mingw-w64-x86-64 mingw-w64-tools
  libwine-dev wine wine32:i386 wine64 wixl msitools zip unzip
  osslsigncode openssl
)

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
# first_of TEST ENTRY: prints the first of ENTRY's names for which TEST NAME succeeds.
first_of() {
  local name names
  IFS='|' read -r -a names <<<"$2"
  for name in "${names[@]}"; do
    if "$1" "$name"; then echo "$name"; return 0; fi
  done
  return 1
}
missing=()
for entry in "${packages[@]}"; do
  first_of installed "$entry" >/dev/null || missing+=("$entry")
done

# Where the kernel runs no 32-bit programs, Wine's 32-bit loader runs under emulation.
emulation=$(dirname "${BASH_SOURCE[0]}")/enable-i386-emulation.sh
if [ ${#missing[@]} -eq 0 ]; then
  exec "$emulation"
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

echo "install-deps: installing ${missing[*]}" >&2
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo_cmd[@]}" dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt_get() { "${sudo_cmd[@]}" apt-get "$@"; }

# A mirror in the middle of a sync serves some indexes short; a later try often gets them.
updated=no
for attempt in 1 2 3; do
  if apt_get update -qq; then updated=yes; break; fi
  [ "$attempt" -eq 3 ] || sleep $((attempt * 5))
done
[ "$updated" = yes ] || echo "install-deps: some package indexes could not be fetched" >&2

# offered NAME: whether the package indexes hold an installable version of NAME.
offered() { LC_ALL=C apt-cache policy "$1" 2>/dev/null | grep -q '^  Candidate: [^(]'; }
chosen=()
for entry in "${missing[@]}"; do
  pick=$(first_of offered "$entry") || pick=${entry%%|*}
  [ "$pick" = "$entry" ] || echo "install-deps: of $entry this release offers $pick" >&2
  chosen+=("$pick")
done
missing=("${chosen[@]}")

if ! apt_get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null; then
  [ "$updated" = no ] || exit 1
  # With one architecture's index of the security suite missing, the 32-bit Wine
  # libraries find no twin of the 64-bit ones' version and nothing installs. The
  # release suites alone hold a consistent set for both architectures.
  # The entries are this machine's own, with only the release and its updates suites.
  echo "install-deps: installing from the release suites alone" >&2
  lists=$(mktemp -d)
  mkdir -p "$lists/parts" "$lists/state/partial"
  nodmark_release_sources | while IFS=$'\t' read -r options uri suite components; do
    echo "deb ${options:+[$options] }$uri $suite $components"
  done >"$lists/parts/release.list"
  if [ ! -s "$lists/parts/release.list" ]; then
    echo "install-deps: this machine's apt sources name no suite of its release" >&2
    exit 1
  fi
  release_only=(-o "Dir::Etc::SourceParts=$lists/parts" -o Dir::Etc::SourceList=/dev/null
                -o "Dir::State::Lists=$lists/state")
  apt_get "${release_only[@]}" update -qq
  apt_get "${release_only[@]}" install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  "${sudo_cmd[@]}" rm -rf "$lists"
fi
"$emulation"
