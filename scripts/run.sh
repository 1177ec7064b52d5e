#!/usr/bin/env bash
# Builds sayvane-tool natively and runs it.
#   bash scripts/run.sh            build, show the commands, and demonstrate them on out/program
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

cat <<EOF
Built: ${tool#"$SAYVANE_ROOT"/} (the Windows build is build/mingw/sayvane-tool.exe after scripts/test.sh)

  sayvane-tool dry-run ACTION              print each step the action would perform, without doing it
  sayvane-tool list FILE                   list a command set's commands: phrase<TAB>action
  sayvane-tool find FILE PHRASE            print the phrase's action (exit 1 when there is none)
  sayvane-tool menu FILE                   list the entries of the helper menu
  sayvane-tool check FILE...               report problems in command set files (exit 1 on a problem)
  sayvane-tool restore-defaults DIR --yes  delete every .xml command set in DIR, write the default sets

Run any of them with: bash scripts/run.sh COMMAND ARGS...
EOF

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
echo '$ sayvane-tool dry-run "LWindows*R"'
"$tool" dry-run "LWindows*R"
