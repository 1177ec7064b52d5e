#!/usr/bin/env bash
# Plants faults in the portable core one at a time and reports whether the native unit tests
# notice each: a measure of the tests' power that does not depend on what they look like.
# With --win32, plants faults in the Windows layer instead (mutants-win32.txt): each is built with
# mingw-w64 (build/mingw) and judged by the platform or end-to-end tests its line names, run
# under Wine on a virtual display in a prefix made once for the run.
#
#   scripts/mutants.sh [--win32] [--build DIR] [--only ID[,ID...]] [--list FILE] [--timeout SECONDS]
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
list=
limit=120
win32=
while (($#)); do
  case $1 in
    --win32) win32=1; shift ;;
    --build) build=${2:?--build needs a folder}; shift 2 ;;
    --only) only=${2:?--only needs an id}; shift 2 ;;
    --list) list=${2:?--list needs a file}; shift 2 ;;
    --timeout) limit=${2:?--timeout needs seconds}; shift 2 ;;
    -h|--help) sed -n '2,18p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "unknown argument: $1" >&2; exit 2 ;;
  esac
done

root=$(git rev-parse --show-toplevel 2>/dev/null) || { echo "not inside a git checkout" >&2; exit 2; }
cd "$root" || exit 2
[[ -n $list ]] || list=$here/mutants${win32:+-win32}.txt
[[ -f $list ]] || { echo "no mutant list $list" >&2; exit 2; }
list=$(cd "$(dirname "$list")" && pwd)/$(basename "$list")
# shellcheck source=common.sh
source "$root/scripts/common.sh"
[[ -n $build ]] || build=${win32:+$root/build/mingw}
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
  if [[ -n $wineprefix ]]; then
    WINEPREFIX=$wineprefix "$wineserver" -k >/dev/null 2>&1
    rm -rf "$wineprefix"
  fi
}
trap finish EXIT
wineprefix=
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

# The Windows layer: TESTS is win32:FILTER (the platform tests) or e2e:FILTER (the end-to-end
# tests, with the virtual desktop they run in); only that test program is built and run.
win32_program() { [[ $1 == e2e:* ]] && echo sayvane-e2e-tests || echo sayvane-win32-tests; }
build_win32() { # build_win32 LOG TESTS...
  local log=$1 t
  local -a targets=()
  shift
  for t in "$@"; do targets+=("$(win32_program "$t")"); done
  ninja -C "$build" -j"$SAYVANE_JOBS" "${targets[@]}" >"$log" 2>&1
}
in_wine() { # in_wine COMMAND...: on a display of its own, the wineserver ended with it
  xvfb-run -a -s '-screen 0 1600x1200x24' env WINEPREFIX="$wineprefix" WINEARCH=win64 WINEDEBUG=-all \
    WINEDLLOVERRIDES="mscoree,mshtml=" SAYVANE_ARTIFACTS="$logs/artifacts" "$@"
  local rc=$?
  WINEPREFIX=$wineprefix "$wineserver" -k >/dev/null 2>&1
  return $rc
}
desktop=
run_win32() { # run_win32 LOG TESTS
  local log=$1 tests=$2 rc
  local want=off
  [[ $tests == e2e:* ]] && want=on
  if [[ $desktop != "$want" ]]; then
    if [[ $want == on ]]; then
      in_wine "$wine" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    else
      in_wine "$wine" reg delete 'HKCU\Software\Wine\Explorer' /v Desktop /f >/dev/null 2>&1
    fi
    desktop=$want
  fi
  local -a run=(in_wine timeout -k 10 "$limit" "$wine" "$build/tests/$(win32_program "$tests").exe"
                --gtest_filter="${tests#*:}" --gtest_brief=1)
  "${run[@]}" </dev/null >"$log" 2>&1
  rc=$?
  # Wine 8 now and then fails to start a program: exit 1 and not a byte written. Nothing ran.
  if ((rc == 1)) && [[ ! -s $log ]]; then
    "${run[@]}" </dev/null >"$log" 2>&1
    rc=$?
  fi
  # A filter that selected nothing proves nothing.
  if ((rc == 0)) && grep -q '^\[  PASSED  \] 0 tests' "$log"; then rc=3; fi
  return $rc
}

if [[ -n $win32 ]]; then
  [[ -f $build/CMakeCache.txt ]] || { echo "no mingw-w64 build in $build: run scripts/test.sh --only build first" >&2; exit 2; }
elif [[ ! -f $build/CMakeCache.txt ]]; then
  echo "configuring $build"
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSAYVANE_BENCH=ON >"$logs/configure.log" 2>&1 ||
    { echo "configure failed: $logs/configure.log" >&2; exit 2; }
fi

# Parse the list: ID FILE ORIGINAL ==> REPLACEMENT (see the head of the list file).
ids=() files=() olds=() news=() testsOf=()
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
  id=${BASH_REMATCH[1]} file=${BASH_REMATCH[2]} rest=${BASH_REMATCH[3]} tests=
  if [[ -n $win32 ]]; then
    if [[ ! $file =~ ^(win32|e2e):. || ! $rest =~ ^([^[:space:]]+)[[:space:]]+(.*)$ ]]; then
      echo "$list:$lineno: not ID win32|e2e:FILTER FILE ORIGINAL ==> REPLACEMENT" >&2
      bad=1
      continue
    fi
    tests=$file file=${BASH_REMATCH[1]} rest=${BASH_REMATCH[2]}
  fi
  old=${rest%% ==>*} new=${rest#* ==>}
  new=${new# }
  old=${old%"${old##*[![:space:]]}"}
  if [[ -n $only && ",$only," != *",$id,"* ]]; then continue; fi
  ids+=("$id") files+=("$file") olds+=("$old") news+=("$new") testsOf+=("$tests")
done <"$list"
((bad == 0)) || exit 2
((${#ids[@]} > 0)) || { echo "no mutant${only:+ with id $only}" >&2; exit 2; }

# Only the portable core natively (the Windows layer is not built there), only the Windows layer
# with --win32.
for i in "${!ids[@]}"; do
  file=${files[$i]}
  if [[ -n $win32 && ( $file != src/platform/win32/* && $file != src/app/win32/* || ! -f $file ) ]]; then
    echo "${ids[$i]}: bad mutant: $file is not a file of the Windows layer" >&2
    bad=1
  elif [[ -z $win32 && ( $file != src/* || $file == */win32/* || $file == */posix/* || ! -f $file ) ]]; then
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
if [[ -n $win32 ]]; then
  wine=$(sed -n 's/^SAYVANE_WINE:FILEPATH=//p' "$build/CMakeCache.txt")
  [[ -x $wine ]] || { echo "no Wine loader recorded in $build/CMakeCache.txt" >&2; exit 2; }
  wineserver=$(dirname "$wine")/wineserver
  [[ -x $wineserver ]] || wineserver=$(command -v wineserver) || exit 2
  wineprefix=$(mktemp -d -t sayvane-mutants-wine.XXXXXX)
  xvfb-run -a -s '-screen 0 1600x1200x24' env WINE="$wine" bash "$root/scripts/wine-prefix.sh" "$wineprefix" \
    --desktop 1280x1024 >"$logs/prefix.log" 2>&1 || { echo "no Wine prefix: $logs/prefix.log" >&2; exit 2; }
  mapfile -t distinct < <(printf '%s\n' "${testsOf[@]}" | sort -u)
  build_win32 "$logs/baseline-build.log" "${distinct[@]}" ||
    { echo "the unchanged tree does not build: $logs/baseline-build.log" >&2; exit 2; }
  for t in "${!distinct[@]}"; do
    run_win32 "$logs/baseline-run-$t.log" "${distinct[$t]}" ||
      { echo "${distinct[$t]} fails on the unchanged tree: $logs/baseline-run-$t.log" >&2; exit 2; }
  done
  build_unit() { local -a each; read -ra each <<<"$tests"; build_win32 "$1" "${each[@]}"; }
  run_unit() { run_win32 "$1" "$tests"; }
else
  build_unit "$logs/baseline-build.log" || { echo "the unchanged tree does not build: $logs/baseline-build.log" >&2; exit 2; }
  run_unit "$logs/baseline-run.log" || { echo "the unit tests fail on the unchanged tree: $logs/baseline-run.log" >&2; exit 2; }
fi

caught=0 survived=0 broken=0
for i in "${!ids[@]}"; do
  id=${ids[$i]} file=${files[$i]} tests=${testsOf[$i]}
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
[[ -z $win32 ]] || tests=${distinct[*]}
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
