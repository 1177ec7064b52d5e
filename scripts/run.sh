#!/usr/bin/env bash
# Builds sayvane-tool natively and runs it, or builds Sayvane.exe and runs it under Wine.
#   bash scripts/run.sh            build, then run the program's logic headless on out/program:
#                                  a demonstration script, or the lines you type on a terminal
#   bash scripts/run.sh --windows  build Sayvane.exe, then run it under Wine on this X display,
#                                  from the program folder out/windows-program
#   bash scripts/run.sh ARGS...    build, then run: sayvane-tool ARGS...
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$SAYVANE_ROOT"

bash scripts/setup.sh

if [[ ${1:-} == --windows ]]; then
  if [[ -z ${DISPLAY:-} ]]; then
    echo "run: --windows needs an X display (DISPLAY is not set)" >&2
    exit 1
  fi
  mingw=$SAYVANE_ROOT/build/mingw
  log=$(mktemp)
  trap 'rm -f "$log"' EXIT
  if ! { cmake -S . -B "$mingw" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake &&
         ninja -C "$mingw" -j"$SAYVANE_JOBS" Sayvane; } >"$log" 2>&1; then
    cat "$log" >&2
    echo "run: building Sayvane.exe failed" >&2
    exit 1
  fi
  wine=$(sed -n 's/^SAYVANE_WINE:FILEPATH=//p' "$mingw/CMakeCache.txt")
  prefix=$SAYVANE_ROOT/out/wine
  [[ -d $prefix ]] || WINE=$wine bash scripts/wine-prefix.sh "$prefix"
  # The program restores its default sets into an empty folder on its first start.
  folder=$SAYVANE_ROOT/out/windows-program
  mkdir -p "$folder"
  cp "$mingw/Sayvane.exe" "$mingw/Sayvane帮助.html" "$folder/"
  echo "run: Sayvane.exe in $folder (Wine prefix $prefix)"
  cd "$folder"
  WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" exec "$wine" ./Sayvane.exe
fi

log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! { sayvane_native_configure && ninja -C "$SAYVANE_NATIVE_DIR" -j"$SAYVANE_JOBS" sayvane-tool; } >"$log" 2>&1; then
  cat "$log" >&2
  echo "run: building sayvane-tool failed" >&2
  exit 1
fi
tool=$SAYVANE_NATIVE_DIR/sayvane-tool

if (($# > 0)); then
  exec "$tool" "$@"
fi

demo=out/program
mkdir -p "$demo"
shopt -s nullglob
existing=("$demo"/*.xml)
echo
if ((${#existing[@]} == 0)); then
  echo "\$ sayvane-tool restore-defaults $demo --yes"
  "$tool" restore-defaults "$demo" --yes
else
  # restore-defaults deletes every .xml in the folder, edits included: leave them alone.
  echo "$demo already holds ${#existing[@]} .xml file(s); not restoring over them"
fi
sets=("$demo"/*.xml)
if ((${#sets[@]} == 0)); then
  echo "run: $demo has no command sets after restore-defaults" >&2
  exit 1
fi
echo "$demo: ${#sets[@]} command set(s)"

echo
if [[ -t 0 ]]; then
  cat <<EOF
The program runs on a simulated system (see README.md, "sayvane-tool simulate").
Type what the user does, one line each, for example:
  hear Tobrin
  hear 关闭窗口
  agent-command 添加语音命令
  state
Ctrl+D ends the session.
EOF
  exec "$tool" simulate "$demo" --echo
fi
# The demonstration edits sets: it works on a copy, so out/program stays as the user left it.
copy=$(mktemp -d)
trap 'rm -f "$log"; rm -rf "$copy"' EXIT
cp "$demo"/*.xml "$copy"/
echo "\$ sayvane-tool simulate COPY-OF-$demo --echo < scripts/demo.sim"
"$tool" simulate "$copy" --echo <scripts/demo.sim
