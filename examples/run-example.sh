#!/usr/bin/env bash
# Builds the tool (installing cmake and a compiler first if they are
# missing), runs it on a scratch copy of this folder (the tool rewrites its
# input files in place, so never on the committed copy) and shows the
# dehashed results.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install_missing.sh" cmake:cmake make:make g++:c++
cmake -S "$root" -B "$root/build" >/dev/null
cmake --build "$root/build" -j2 --target Quorvantide >/dev/null
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp "$root"/examples/*.txt "$root"/examples/*.ymt "$root"/examples/*.xml "$scratch"
cd "$scratch"
echo | "$root/build/Quorvantide" vehicles.ymt props.xml
printf '\n\n--- vehicles_dehashed.ymt ---\n'
cat vehicles_dehashed.ymt
printf -- '--- props_dehashed.xml ---\n'
cat props_dehashed.xml
