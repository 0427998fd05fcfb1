#!/usr/bin/env bash
# Builds the tool, runs it on a scratch copy of this folder (the tool rewrites
# its input files in place, so never on the committed copy) and shows the
# dehashed results.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$root" -B "$root/build" >/dev/null
cmake --build "$root/build" -j2 --target Quorvantide >/dev/null
scratch=$(mktemp -d)
cp "$root"/examples/*.txt "$root"/examples/*.ymt "$root"/examples/*.xml "$scratch"
cd "$scratch"
echo | "$root/build/Quorvantide" vehicles.ymt props.xml
printf '\n\n--- %s ---\n' "$scratch/vehicles_dehashed.ymt"
cat vehicles_dehashed.ymt
printf -- '--- %s ---\n' "$scratch/props_dehashed.xml"
cat props_dehashed.xml
