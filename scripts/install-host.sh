#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need. Quick no-op when
# everything is present; needs root otherwise.
set -euo pipefail

PACKAGES=(
  cmake make g++ python3 zip unzip dpkg-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 libz-mingw-w64-dev
  zlib1g-dev libgtest-dev googletest libbenchmark-dev
  wine wine32:i386 wine64 xvfb xauth x11-apps x11-utils imagemagick
  fonts-wqy-microhei lzma-alone locales qemu-user-static
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
have_src=1
grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/ || have_src=0

# Some virtual machines run no 32-bit user code at all: 32-bit Wine then
# runs through qemu's i386 user-mode emulation, registered with binfmt_misc.
have_i386=1
if [ -x /usr/lib/wine/wine ] && ! /usr/lib/wine/wine --version >/dev/null 2>&1; then have_i386=0; fi
have_locale=1
locale -a 2>/dev/null | grep -qix 'zh_CN.utf8' || have_locale=0

[ ${#missing[@]} -eq 0 ] && [ $have_src -eq 1 ] && [ $have_locale -eq 1 ] && [ $have_i386 -eq 1 ] && exit 0

if [ "$(id -u)" != 0 ]; then
  echo "install-host: missing Debian packages: ${missing[*]:-(deb-src entry)}" >&2
  echo "install-host: run 'make' once as root (or install them with apt-get) and try again." >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
if [ $have_src -eq 0 ]; then
  # Source packages (minizip, lzma) are fetched with apt-get source.
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
      > /etc/apt/sources.list.d/debian-src.sources
  else
    grep -E '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' \
      > /etc/apt/sources.list.d/debian-src.list
  fi
fi
if [ ${#missing[@]} -ne 0 ] || [ $have_src -eq 0 ]; then
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${PACKAGES[@]}"
fi
# Wine takes its ANSI code page (936) from this locale.
if [ $have_locale -eq 0 ]; then
  sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi

if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  [ -e /proc/sys/fs/binfmt_misc/register ] || mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
  [ -e /proc/sys/fs/binfmt_misc/qemu-i386 ] || printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' > /proc/sys/fs/binfmt_misc/register
  /usr/lib/wine/wine --version >/dev/null || { echo "install-host: 32-bit Wine cannot run on this machine" >&2; exit 1; }
fi
