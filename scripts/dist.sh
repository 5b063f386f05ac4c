#!/usr/bin/env bash
# Packs the portable zip and the installer into dist/ (or the folder given second).
set -euo pipefail
exe=$(realpath "${1:?usage: dist.sh path/to/Corvantile.exe [output folder]}")
root=$(cd "$(dirname "$0")/.." && pwd)
version=$(sed -n 's/^project(Corvantile VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
out=$(realpath -m "${2:-$root/dist}")
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir -p "$out" "$stage/Corvantile"
cp "$exe" "$stage/Corvantile/"
cp "$root/README.md" "$stage/Corvantile/README.txt"
(cd "$stage" && zip -qr "$out/Corvantile-$version.zip" Corvantile)
echo "Zip: $out/Corvantile-$version.zip"
makensis -V2 -DVERSION="$version" -DEXE="$exe" -DICON="$root/src/res/Corvantile.ico" \
    -DOUTFILE="$out/Corvantile-$version-setup.exe" \
    "$root/scripts/installer.nsi"
echo "Installer: $out/Corvantile-$version-setup.exe"
