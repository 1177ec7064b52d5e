#!/usr/bin/env bash
# Plants faults in the portable core one at a time and reports whether the native unit tests
# notice each: a measure of the tests' power that does not depend on what they look like.
#
#   scripts/mutants.sh [--build DIR] [--only ID[,ID...]] [--list FILE] [--timeout SECONDS]
#
# Works on the checkout that is the current directory (its build/native unless --build says
# otherwise, configured as scripts/test.sh does when missing); the list defaults to the
# mutants.txt beside this script. For each mutant: the original snippet must occur exactly
# once in its file, the file is changed, sayvane-unit-tests is rebuilt incrementally and run
# (a failure, a crash or a hang past the timeout counts as caught), and the file is put back,
# also when the script is interrupted. One line per mutant, then "caught N of M"; the build and
# test output of each is kept in DIR/mutants/.
# Exit status: 0 when every mutant was caught, 1 when some survived, 2 on a bad mutant or a
# tree or build that is not sound to start from.
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=
only=
list=$here/mutants.txt
limit=120
while (($#)); do
  case $1 in
    --build) build=${2:?--build needs a folder}; shift 2 ;;
    --only) only=${2:?--only needs an id}; shift 2 ;;
    --list) list=${2:?--list needs a file}; shift 2 ;;
    --timeout) limit=${2:?--timeout needs seconds}; shift 2 ;;
    -h|--help) sed -n '2,15p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "unknown argument: $1" >&2; exit 2 ;;
  esac
done

root=$(git rev-parse --show-toplevel 2>/dev/null) || { echo "not inside a git checkout" >&2; exit 2; }
cd "$root" || exit 2
[[ -f $list ]] || { echo "no mutant list $list" >&2; exit 2; }
list=$(cd "$(dirname "$list")" && pwd)/$(basename "$list")
# shellcheck source=common.sh
source "$root/scripts/common.sh"
[[ -n $build ]] || build=$SAYVANE_NATIVE_DIR
build=$(mkdir -p "$build" && cd "$build" && pwd)
unit=$build/tests/sayvane-unit-tests
logs=$build/mutants
mkdir -p "$logs"

tree_state() { git status --porcelain=v1 --untracked-files=all -- src; git diff -- src | sha256sum; }
before=$(tree_state)

# The file under change and its pristine copy: put back whatever ends the script.
backup=$(mktemp -t sayvane-mutant.XXXXXX)
current=
restore() {
  if [[ -n $current ]]; then
    # A fresh time stamp, so the next build compiles the original again.
    cp "$backup" "$current"
    current=
  fi
}
finish() {
  restore
  rm -f "$backup"
}
trap finish EXIT
trap 'finish; exit 130' INT
trap 'finish; exit 143' TERM

# Applies or checks one mutant on FILE. Prints the number of occurrences of the original when
# it is not exactly one; bytes are compared as they are, UTF-8 included.
substitute() { # substitute check|apply FILE ORIGINAL REPLACEMENT
  python3 - "$@" <<'EOF'
import sys
mode, path, old, new = sys.argv[1], sys.argv[2], sys.argv[3].encode(), sys.argv[4].encode()
data = open(path, 'rb').read()
n = data.count(old) if old else 0
if n != 1:
    print(n)
    sys.exit(1)
if mode == 'apply':
    open(path, 'wb').write(data.replace(old, new, 1))
EOF
}

build_unit() { ninja -C "$build" -j"$SAYVANE_JOBS" sayvane-unit-tests >"$1" 2>&1; }
run_unit() { timeout -k 10 "$limit" "$unit" --gtest_brief=1 </dev/null >"$1" 2>&1; }

if [[ ! -f $build/CMakeCache.txt ]]; then
  echo "configuring $build"
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSAYVANE_BENCH=ON >"$logs/configure.log" 2>&1 ||
    { echo "configure failed: $logs/configure.log" >&2; exit 2; }
fi

# Parse the list: ID FILE ORIGINAL ==> REPLACEMENT (see the head of the list file).
ids=() files=() olds=() news=()
bad=0
lineno=0
while IFS= read -r line || [[ -n $line ]]; do
  lineno=$((lineno + 1))
  [[ $line =~ ^[[:space:]]*(#|$) ]] && continue
  if [[ ! $line =~ ^[[:space:]]*([^[:space:]]+)[[:space:]]+([^[:space:]]+)[[:space:]]+(.*)$ ]] ||
     [[ ${BASH_REMATCH[3]} != *' ==>'* ]]; then
    echo "$list:$lineno: not ID FILE ORIGINAL ==> REPLACEMENT" >&2
    bad=1
    continue
  fi
  id=${BASH_REMATCH[1]} file=${BASH_REMATCH[2]} rest=${BASH_REMATCH[3]}
  old=${rest%% ==>*} new=${rest#* ==>}
  new=${new# }
  old=${old%"${old##*[![:space:]]}"}
  if [[ -n $only && ",$only," != *",$id,"* ]]; then continue; fi
  ids+=("$id") files+=("$file") olds+=("$old") news+=("$new")
done <"$list"
((bad == 0)) || exit 2
((${#ids[@]} > 0)) || { echo "no mutant${only:+ with id $only}" >&2; exit 2; }

# Only the portable core: the Win32 layer is not built natively.
for i in "${!ids[@]}"; do
  file=${files[$i]}
  if [[ $file != src/* || $file == */win32/* || $file == */posix/* || ! -f $file ]]; then
    echo "${ids[$i]}: bad mutant: $file is not a file of the portable core" >&2
    bad=1
  elif ! count=$(substitute check "$file" "${olds[$i]}" "${news[$i]}"); then
    echo "${ids[$i]}: bad mutant: the original occurs $count times in $file, not once" >&2
    bad=1
  fi
done
((bad == 0)) || exit 2

# The unchanged tree must build and pass, or nothing below means anything.
start=$SECONDS
build_unit "$logs/baseline-build.log" || { echo "the unchanged tree does not build: $logs/baseline-build.log" >&2; exit 2; }
run_unit "$logs/baseline-run.log" || { echo "the unit tests fail on the unchanged tree: $logs/baseline-run.log" >&2; exit 2; }

caught=0 survived=0 broken=0
for i in "${!ids[@]}"; do
  id=${ids[$i]} file=${files[$i]}
  cp "$file" "$backup"
  current=$file
  substitute apply "$file" "${olds[$i]}" "${news[$i]}" >/dev/null
  t0=$SECONDS
  if ! build_unit "$logs/$id.build.log"; then
    result="BAD (does not compile)"
    broken=$((broken + 1))
  else
    run_unit "$logs/$id.run.log"
    rc=$?
    if ((rc == 0)); then
      result=survived
      survived=$((survived + 1))
    else
      caught=$((caught + 1))
      if ((rc == 124 || rc == 137)); then
        result="caught (hang)"
      else
        # Which tests noticed it: the first, and how many in all (a lone guard is worth knowing).
        mapfile -t by < <(sed -n 's/^\[  FAILED  \] \([A-Za-z0-9_/]*\.[A-Za-z0-9_/]*\).*/\1/p' "$logs/$id.run.log" | awk '!seen[$0]++')
        if ((${#by[@]} == 0)); then
          result="caught (exit $rc)"
        else
          result="caught by ${by[0]}"
          ((${#by[@]} == 1)) || result+=" (+$((${#by[@]} - 1)) more)"
        fi
      fi
    fi
  fi
  restore
  printf '%-26s %-34s %s  (%ss)\n' "$id" "$file" "$result" $((SECONDS - t0))
done

# Leave the build matching the tree again.
build_unit "$logs/final-build.log" || echo "warning: the restored tree did not rebuild: $logs/final-build.log" >&2
total=${#ids[@]}
note=
((broken == 0)) || note=" ($broken did not compile)"
echo "caught $caught of $total$note in $((SECONDS - start))s"
if [[ $(tree_state) != "$before" ]]; then
  echo "error: the source tree differs from before the run (git status / git diff of src)" >&2
  exit 2
fi
((broken == 0)) || exit 2
((survived == 0)) || exit 1
exit 0
