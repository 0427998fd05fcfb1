#!/usr/bin/env bash
# Installs what a build needs and this machine lacks.
#
#   scripts/install_missing.sh PACKAGE:PROBE...
#
# Each PACKAGE (a Debian package name) is wanted unless its PROBE is found:
# a command on the PATH, or an absolute path that exists. What is missing is
# installed with apt-get, through sudo unless we are root; where there is no
# apt-get, the script stops with one line that names what to install.
set -euo pipefail
missing=()
for need in "$@"; do
  package=${need%%:*} probe=${need#*:}
  if [[ $probe == /* ]]; then
    [[ -e $probe ]] || missing+=("$package")
  else
    command -v "$probe" >/dev/null || missing+=("$package")
  fi
done
((${#missing[@]})) || exit 0
if ! command -v apt-get >/dev/null; then
  echo "Please install ${missing[*]} (or your system's equivalent), then run this again." >&2
  exit 1
fi
sudo=()
if [[ $(id -u) -ne 0 ]]; then sudo=(sudo); fi
echo "Installing what is missing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq \
  --no-install-recommends "${missing[@]}" >/dev/null
