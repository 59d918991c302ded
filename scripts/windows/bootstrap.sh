#!/usr/bin/env bash
# Installs what the Windows build needs (scripts/windows/packages.txt) and
# turns on Debian's source archive, from which the Windows Qt is built.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
sudo=""
if [[ $(id -u) -ne 0 ]]; then sudo="sudo"; fi
sources=/etc/apt/sources.list.d/debian.sources
if [[ -f $sources ]] && grep -q '^Types: deb$' "$sources"; then
  echo "bootstrap: enabling deb-src in $sources"
  $sudo sed -i 's/^Types: deb$/Types: deb deb-src/' "$sources"
  $sudo apt-get update -qq
fi
"$here/../bootstrap.sh" "$here/packages.txt"
