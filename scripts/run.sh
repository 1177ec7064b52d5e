#!/usr/bin/env bash
# Runs Sayvane.exe under Wine on this X display with the stand-in recognizer, or the program's
# logic headless, or the command-line tool.
#   bash scripts/run.sh             build Sayvane.exe and the stand-in recognizer, make a Wine
#                                   prefix (out/wine), register the stand-in there and start the
#                                   program from out/windows-program (it writes the default sets
#                                   there on its first start). Type phrases into the window
#                                   "语音模拟器" and press Enter: "Tobrin", then "记事本".
#                                   Without an X display it falls back to --simulate.
#   bash scripts/run.sh --simulate  build, then run the program's logic headless on out/program:
#                                   a demonstration script, or the lines you type on a terminal
#   bash scripts/run.sh ARGS...     build, then run: sayvane-tool ARGS...
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$SAYVANE_ROOT"

bash scripts/setup.sh

mode=windows
case ${1:-} in
  --simulate) mode=simulate; shift ;;
  --windows) shift ;;  # the default; kept for those who learned it
  "") ;;
  *) mode=tool ;;
esac
if [[ $mode == windows && -z ${DISPLAY:-} ]]; then
  echo "run: no X display (DISPLAY is not set): running the program's logic headless instead" >&2
  mode=simulate
fi

if [[ $mode == windows ]]; then
  mingw=$SAYVANE_ROOT/build/mingw
  log=$(mktemp)
  trap 'rm -f "$log"' EXIT
  if ! { cmake -S . -B "$mingw" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake &&
         ninja -C "$mingw" -j"$SAYVANE_JOBS" Sayvane speechsim speechsim-say; } >"$log" 2>&1; then
    cat "$log" >&2
    echo "run: building Sayvane.exe failed" >&2
    exit 1
  fi
  wine=$(sed -n 's/^SAYVANE_WINE:FILEPATH=//p' "$mingw/CMakeCache.txt")
  export WINEPREFIX=$SAYVANE_ROOT/out/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  [[ -d $WINEPREFIX ]] || WINE=$wine bash scripts/wine-prefix.sh "$WINEPREFIX"
  # The recognizer stand-in takes the microphone's place. The character control stays
  # unregistered, so the program shows its own character.
  register=$("$wine" winepath -w "$mingw/speechsim/speechsim-register.cmd" 2>/dev/null)
  if ! "$wine" cmd /c "$register" recognizer >"$log" 2>&1; then
    cat "$log" >&2
    echo "run: registering the stand-in recognizer failed" >&2
    exit 1
  fi
  "$wine" cmd /c "$register" character /u >/dev/null 2>&1 || true
  folder=$SAYVANE_ROOT/out/windows-program
  mkdir -p "$folder"
  cp "$mingw/Sayvane.exe" "$mingw/Sayvane帮助.html" "$folder/"
  SAYVANE_SIM_LOG=$("$wine" winepath -w "$SAYVANE_ROOT/out/speechsim.log" 2>/dev/null)
  export SAYVANE_SIM_LOG
  cat <<TEXT
run: Sayvane.exe in $folder (Wine prefix $WINEPREFIX)
Type into the window "语音模拟器" and press Enter after each phrase:
  Tobrin, then 记事本       Wine's notepad opens
  Tobrin, then 关闭窗口     the window in front closes
Right-click the character for the phrases of the active set. The stand-in logs the calls it
receives in out/speechsim.log. A phrase can also come from another terminal:
  WINEPREFIX=$WINEPREFIX $wine $mingw/speechsim/speechsim-say.exe Tobrin
TEXT
  cd "$folder"
  exec "$wine" ./Sayvane.exe
fi

log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! { sayvane_native_configure && ninja -C "$SAYVANE_NATIVE_DIR" -j"$SAYVANE_JOBS" sayvane-tool; } >"$log" 2>&1; then
  cat "$log" >&2
  echo "run: building sayvane-tool failed" >&2
  exit 1
fi
tool=$SAYVANE_NATIVE_DIR/sayvane-tool

if [[ $mode == tool ]]; then
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
