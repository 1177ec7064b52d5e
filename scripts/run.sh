#!/usr/bin/env bash
# Builds sayvane-tool natively and runs it.
#   bash scripts/run.sh            build, then run the program's logic headless on out/program:
#                                  a demonstration script, or the lines you type on a terminal
#   bash scripts/run.sh ARGS...    build, then run: sayvane-tool ARGS...
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$SAYVANE_ROOT"

bash scripts/setup.sh

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
