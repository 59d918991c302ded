#!/usr/bin/env bash
# Installs the Debian packages listed in scripts/packages.txt (or in the list
# given as argument) that are not installed yet. Runs apt-get only when something is missing; uses sudo when
# not root.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
missing=()
while read -r pkg; do
  [[ -z "$pkg" || "$pkg" == \#* ]] && continue
  status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$pkg")
done < "${1:-$here/packages.txt}"
if ((${#missing[@]} == 0)); then
  exit 0
fi
echo "bootstrap: installing ${missing[*]}"
sudo=""
if [[ $(id -u) -ne 0 ]]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq "${missing[@]}"
