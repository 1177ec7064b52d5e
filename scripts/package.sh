#!/usr/bin/env bash
# Builds the release a Windows user downloads: Release builds for x86_64 and i686, and in
# out/dist Sayvane-VERSION-windows-x64.zip, Sayvane-VERSION-windows-x86.zip and SHA256SUMS.
# Each zip holds one folder, Sayvane-VERSION/, with Sayvane.exe, sayvane-tool.exe, the manual
# and the license; the first start writes the default sets there. Two runs from the same
# commit give the same bytes: the entries are dated at the commit, in a fixed order.
#   --out DIR     where the zips go (default out/dist)
#   --build DIR   build in DIR/x64 and DIR/x86 (default build/release-x64, and build/mingw32,
#                 the 32-bit build scripts/test.sh runs end to end)
# The version is the CMake project's (CMakeLists.txt).
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$SAYVANE_ROOT"

out=out/dist
builds=(build/release-x64 build/mingw32)
while (($#)); do
  case $1 in
    --out) out=$2; shift 2 ;;
    --build) builds=("$2/x64" "$2/x86"); shift 2 ;;
    *) echo "package: unknown argument $1 (--out DIR, --build DIR)" >&2; exit 2 ;;
  esac
done

bash scripts/setup.sh >/dev/null

# The entries' time: SOURCE_DATE_EPOCH when set, else the commit's time.
if [[ -z ${SOURCE_DATE_EPOCH:-} ]]; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null) || {
    echo "package: not a git checkout: set SOURCE_DATE_EPOCH" >&2
    exit 1
  }
fi
export SOURCE_DATE_EPOCH

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

build() { # build DIR ARCH
  if ! { sayvane_mingw_release_configure "$1" "$2" && ninja -C "$1" -j"$SAYVANE_JOBS" Sayvane sayvane-tool; } \
      >"$work/build.log" 2>&1; then
    cat "$work/build.log" >&2
    echo "package: the $2 build in $1 failed" >&2
    return 1
  fi
}

# package BUILD ARCH NAME FORMAT: checks the executables and writes the zip into $work.
package() {
  local build=$1 objdump=$2-w64-mingw32-objdump zip=$work/Sayvane-$version-windows-$3.zip
  local folder=$work/$3/Sayvane-$version exe
  mkdir -p "$folder"
  for exe in Sayvane.exe sayvane-tool.exe; do
    "$objdump" -f "$build/$exe" | grep -q "file format $4" || { echo "package: $build/$exe is not $4" >&2; return 1; }
    # A build path inside would make the bytes depend on where the checkout lies.
    if grep -aqF -e "$SAYVANE_ROOT" -e "$(cd "$build" && pwd)" "$build/$exe"; then
      echo "package: $build/$exe holds a build path" >&2
      return 1
    fi
    cp "$build/$exe" "$folder/"
  done
  sayvane_check_windows_imports "$objdump" "$folder"/*.exe >&2 || return 1
  cp "docs/Sayvane帮助.html" "$folder/"
  sed 's/$/\r/' LICENSE >"$folder/LICENSE.txt"  # Notepad before Windows 10 wants CR LF
  python3 - "$zip" "$work/$3" <<'PYTHON'
import os, sys, time, zipfile
zip_path, root = sys.argv[1], sys.argv[2]
stamp = time.gmtime(max(int(os.environ["SOURCE_DATE_EPOCH"]), 315532800))[:6]  # zip dates start in 1980
entries = []
for folder, dirs, files in os.walk(root):
    relative = os.path.relpath(folder, root).replace(os.sep, "/")
    entries.append(relative + "/")
    entries += [relative + "/" + name for name in files]
with zipfile.ZipFile(zip_path, "w") as archive:
    for name in sorted(e for e in entries if e != "./"):
        info = zipfile.ZipInfo(name, stamp)
        info.create_system = 0  # attributes in Windows' terms, whoever packs
        if name.endswith("/"):
            info.external_attr = 0x10  # a folder
            archive.writestr(info, b"")
        else:
            info.external_attr = 0x20  # an ordinary file
            info.compress_type = zipfile.ZIP_DEFLATED
            with open(os.path.join(root, name), "rb") as f:
                archive.writestr(info, f.read(), compresslevel=9)
PYTHON
}

build "${builds[0]}" x86_64
build "${builds[1]}" i686
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "${builds[0]}/CMakeCache.txt")
[[ -n $version ]] || { echo "package: no project version in ${builds[0]}/CMakeCache.txt" >&2; exit 1; }
package "${builds[0]}" x86_64 x64 pei-x86-64
package "${builds[1]}" i686 x86 pei-i386

mkdir -p "$out"
zips=("Sayvane-$version-windows-x64.zip" "Sayvane-$version-windows-x86.zip")
(cd "$work" && sha256sum "${zips[@]}" >SHA256SUMS)
for file in "${zips[@]}" SHA256SUMS; do mv -f "$work/$file" "$out/$file"; done
(cd "$out" && ls -l "${zips[@]}" | awk '{ printf "package: %s, %d bytes\n", $NF, $5 }')
