#!/usr/bin/env bash
# The project's test command. Installs what is missing, then:
#   native build + ctest; the mingw-w64 builds (64-bit with every test, 32-bit program);
#   under Wine on a virtual display: the same unit tests, the platform tests of the real
#   services, and the end-to-end tests of Sayvane.exe (screenshots kept in out/artifacts);
#   a time-boxed libFuzzer pass over every fuzz target, and a short benchmark run. Every stage runs even if an earlier one failed; the last line
#   is "N passed, M failed" and the exit status is non-zero if anything failed.
# Knobs: SAYVANE_JOBS (default 2), SAYVANE_FUZZ_SECONDS per target (default 120).
# While working on one thing: --only TEXT runs the setup and the stages whose names contain TEXT
# (the build a stage needs must have run once); --filter PATTERN hands a GoogleTest filter to
# the test programs (through GTEST_FILTER). A test program that then runs no test fails.
set -uo pipefail

only=
while (($#)); do
  case $1 in
    --only) only=$2; shift 2 ;;
    --filter) export GTEST_FILTER=$2; shift 2 ;;
    *) echo "usage: test.sh [--only STAGE-TEXT] [--filter GTEST-FILTER]" >&2; exit 2 ;;
  esac
done

source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$SAYVANE_ROOT"

FUZZ_SECONDS=${SAYVANE_FUZZ_SECONDS:-120}
MINGW_DIR=build/mingw
MINGW32_DIR=build/mingw32
FUZZ_DIR=build/fuzz

tmp=$(mktemp -d -t sayvane-test.XXXXXX)
wineserver_bin=
cleanup() {
  # A wineserver left running would keep files open inside the prefix.
  if [[ -n $wineserver_bin && -d $tmp/wine ]]; then
    WINEPREFIX=$tmp/wine "$wineserver_bin" -k >/dev/null 2>&1 || true
  fi
  rm -rf "$tmp"
}
trap cleanup EXIT

results=()
passed=0
failed=0
skipped=0

record() { # record NAME pass|fail|skip SECONDS [NOTE]
  results+=("$(printf '%-5s %5ss  %s%s' "$2" "$3" "$1" "${4:+  ($4)}")")
  case $2 in
    pass) passed=$((passed + 1)) ;;
    fail) failed=$((failed + 1)) ;;
    skip) skipped=$((skipped + 1)) ;;
  esac
}

kSkip=77
# A filter that selects nothing must not read as a pass.
selected_nothing() { # selected_nothing OUTPUT-FILE
  grep -q '^\[  PASSED  \] 0 tests' "$1" || return 1
  echo "no test was selected" >&2
}
stage() { # stage NAME COMMAND...: runs the command and records the outcome; exit 77 is a skip
  local name=$1 start=$SECONDS rc=0
  shift
  [[ -z $only || $name == setup || $name == *"$only"* ]] || return 0
  echo
  echo "=== $name"
  "$@" || rc=$?
  if ((rc == 0)); then
    record "$name" pass $((SECONDS - start))
  elif ((rc == kSkip)); then
    echo "--- $name SKIPPED: $skip_reason"
    record "$name" skip $((SECONDS - start)) "$skip_reason"
    rc=0
  else
    echo "--- $name FAILED (exit $rc)"
    record "$name" fail $((SECONDS - start)) "exit $rc"
  fi
  return $rc
}

summary() {
  echo
  echo "=== summary"
  printf '%s\n' "${results[@]}"
  echo "$passed passed, $failed failed, $skipped skipped"
}

# --- setup -------------------------------------------------------------------
if ! stage "setup" bash scripts/setup.sh; then
  summary
  exit 1
fi

# --- native ------------------------------------------------------------------
native_build() {
  sayvane_native_configure && ninja -C "$SAYVANE_NATIVE_DIR" -j"$SAYVANE_JOBS" -k 0
}
native_tests() {
  # Only a test executable that was just (re)built successfully is worth running.
  ninja -C "$SAYVANE_NATIVE_DIR" -j"$SAYVANE_JOBS" sayvane-unit-tests >/dev/null || return 1
  [[ -n ${GTEST_FILTER:-} ]] || { ctest --test-dir "$SAYVANE_NATIVE_DIR" --output-on-failure --timeout 600; return; }
  local out=$tmp/native.out rc
  "$SAYVANE_NATIVE_DIR/tests/sayvane-unit-tests" 2>&1 | tee "$out"
  rc=${PIPESTATUS[0]}
  ((rc == 0)) || return $rc
  ! selected_nothing "$out"
}
stage "native build" native_build
stage "native tests (ctest)" native_tests

# --- mingw-w64 + Wine --------------------------------------------------------
mingw_build() {
  cmake -S . -B "$MINGW_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake &&
    ninja -C "$MINGW_DIR" -j"$SAYVANE_JOBS" -k 0
}
# The 32-bit program is the one that can host the 32-bit character control; it and the
# 32-bit stand-ins are built and checked to be self-contained 32-bit files.
mingw32_build() {
  sayvane_mingw_release_configure "$MINGW32_DIR" i686 &&
    ninja -C "$MINGW32_DIR" -j"$SAYVANE_JOBS" Sayvane sayvane-tool speechsim speechsim-say || return 1
  local file
  local -a files=("$MINGW32_DIR/Sayvane.exe" "$MINGW32_DIR/speechsim/speechsim.dll" "$MINGW32_DIR/speechsim/speechsim-say.exe")
  for file in "${files[@]}"; do
    i686-w64-mingw32-objdump -f "$file" | grep -q 'file format pei-i386' || { echo "$file is not 32-bit"; return 1; }
  done
  sayvane_check_windows_imports i686-w64-mingw32-objdump "${files[@]}" || return 1
  # COM finds the stand-in's entry points by their plain names.
  # (read whole first: grep -q stopping early would fail the pipe under pipefail)
  local exports
  exports=$(i686-w64-mingw32-objdump -p "$MINGW32_DIR/speechsim/speechsim.dll")
  grep -qw DllGetClassObject <<<"$exports" ||
    { echo "speechsim.dll (32-bit) does not export DllGetClassObject undecorated"; return 1; }
}

wine=
wine_ready=
# One prefix for every Wine stage: booted, Chinese fonts mapped, a virtual desktop.
wine_prefix() {
  [[ -n $wine_ready ]] && return 0
  wine=$(sed -n 's/^SAYVANE_WINE:FILEPATH=//p' "$MINGW_DIR/CMakeCache.txt")
  if [[ ! -x $wine ]]; then
    echo "no Wine loader recorded in $MINGW_DIR/CMakeCache.txt (SAYVANE_WINE)"
    return 1
  fi
  wineserver_bin=$(dirname "$wine")/wineserver
  [[ -x $wineserver_bin ]] || wineserver_bin=$(command -v wineserver) || return 1
  echo "wine: $wine, prefix $tmp/wine"
  in_display env WINE="$wine" bash scripts/wine-prefix.sh "$tmp/wine" --desktop 1280x1024 || return 1
  wine_ready=1
}
# Runs a command on a virtual X display; Wine's desktop process is bound to that display,
# so the wineserver is ended with it.
in_display() {
  xvfb-run -a -s '-screen 0 1600x1200x24' "$@"
  local rc=$?
  [[ -n $wineserver_bin ]] && WINEPREFIX=$tmp/wine "$wineserver_bin" -k >/dev/null 2>&1
  return $rc
}
# Wine 8 now and then fails to start a console program: exit 1 and not a byte written. Such a
# run never began, so it is made once more; a run that wrote anything is never repeated.
despite_wine() { # despite_wine COMMAND...
  local out=$tmp/run.out rc
  "$@" 2>&1 | tee "$out"
  rc=${PIPESTATUS[0]}
  if ((rc == 1)) && [[ ! -s $out ]]; then
    echo "Wine did not start it (exit 1, no output): starting it again" >&2
    "$@" 2>&1 | tee "$out"
    rc=${PIPESTATUS[0]}
  fi
  if ((rc == 0)) && selected_nothing "$out"; then rc=1; fi
  return $rc
}
wine_env() { # the environment every Wine command here runs in
  winevars=(env WINEPREFIX="$tmp/wine" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
            SAYVANE_ARTIFACTS="$SAYVANE_ROOT/out/artifacts")
}
# The virtual desktop draws title bars for the screenshots, but Wine 8 applies relative
# mouse moves there from a stale position: the platform tests run without it.
virtual_desktop() { # virtual_desktop on|off
  local -a change=(reg delete 'HKCU\Software\Wine\Explorer' /v Desktop /f)
  [[ $1 == on ]] && change=(reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f)
  despite_wine in_display "${winevars[@]}" "$wine" "${change[@]}" >/dev/null || [[ $1 == off ]]
}
wine_run() { # wine_run on|off EXE: runs a test program of the mingw build in the prefix, with a display
  wine_prefix || return 1
  wine_env
  virtual_desktop "$1" || return 1
  despite_wine in_display "${winevars[@]}" timeout 900 "$wine" "$2" </dev/null
}
wine_tests() {
  ninja -C "$MINGW_DIR" -j"$SAYVANE_JOBS" sayvane-unit-tests >/dev/null || return 1
  wine_run off "$MINGW_DIR/tests/sayvane-unit-tests.exe"
}
platform_tests() {
  ninja -C "$MINGW_DIR" -j"$SAYVANE_JOBS" sayvane-win32-tests >/dev/null || return 1
  wine_run off "$MINGW_DIR/tests/sayvane-win32-tests.exe"
}
e2e_tests() {
  ninja -C "$MINGW_DIR" -j"$SAYVANE_JOBS" sayvane-e2e-tests >/dev/null || return 1
  rm -rf out/artifacts && mkdir -p out/artifacts
  wine_run on "$MINGW_DIR/tests/sayvane-e2e-tests.exe" || return 1
  echo "screenshots: $(ls out/artifacts/*.png 2>/dev/null | tr '\n' ' ')"
}
# Some kernels are built without 32-bit support: there wine32 cannot start at all, which says
# nothing about our program, so a 32-bit stage is skipped with the reason rather than failed.
# Any other failure of the loader is left for the stage to report.
skip_reason=
wine32_runs() {
  local out
  out=$("$(dirname "$wine")/wine" --version 2>&1) && return 0
  [[ $out == *"Exec format error"* ]] || return 0
  skip_reason="this machine's kernel cannot run 32-bit programs (the 32-bit Wine loader: Exec format error)"
  return 1
}
# The 32-bit program with the 32-bit stand-ins, as on a system whose character control is
# 32-bit only: the spoken road, driven by the same tests.
e2e_tests_32() {
  ninja -C "$MINGW_DIR" -j"$SAYVANE_JOBS" sayvane-e2e-tests e2e-target >/dev/null || return 1
  [[ -f $MINGW32_DIR/Sayvane.exe && -f $MINGW32_DIR/speechsim/speechsim.dll ]] || { echo "no 32-bit build"; return 1; }
  wine_prefix || return 1
  wine32_runs || return $kSkip
  wine_env
  winevars+=(SAYVANE_E2E_PROGRAM_BUILD="$SAYVANE_ROOT/$MINGW32_DIR")
  virtual_desktop on || return 1
  despite_wine in_display "${winevars[@]}" timeout 900 "$wine" "$MINGW_DIR/tests/sayvane-e2e-tests.exe" \
    --gtest_filter='Spoken.*:BuiltInCharacter.*:BothRecognizers.*:Busy.*:-Busy.AThousand*:Busy.Holds*' </dev/null
}
# The release zips: built twice, the second time in fresh build folders, to the same bytes.
package_build() {
  bash scripts/package.sh || return 1
  bash scripts/package.sh --build "$tmp/package-build" --out "$tmp/dist" >/dev/null || return 1
  cmp out/dist/SHA256SUMS "$tmp/dist/SHA256SUMS" || { echo "the second packaging gave other bytes"; return 1; }
  (cd out/dist && sha256sum --check --quiet SHA256SUMS)
}
# A zip unpacked inside the prefix and started there as shipped, with the stand-in recognizer
# of its width; for x64 also a second copy the program cannot write.
package_wine_tests() { # package_wine_tests x64|x86
  local arch=$1 version
  ninja -C "$MINGW_DIR" -j"$SAYVANE_JOBS" sayvane-e2e-tests >/dev/null || return 1
  version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/release-x64/CMakeCache.txt)
  wine_prefix || return 1
  [[ $arch == x64 ]] || wine32_runs || return $kSkip
  local drive=$tmp/wine/drive_c/sayvane-$arch windows="C:\\sayvane-$arch" folder
  chmod -R u+w "$drive" 2>/dev/null; rm -rf "$drive"
  for folder in shipped readonly; do
    python3 -m zipfile -e "out/dist/Sayvane-$version-windows-$arch.zip" "$drive/$folder" || return 1
  done
  local said
  # Through cmd, which starts either width.
  said=$(despite_wine env WINEPREFIX="$tmp/wine" WINEDEBUG=-all "$wine" cmd /c \
    "$windows\\shipped\\Sayvane-$version\\sayvane-tool.exe" --version) || return 1
  [[ $said == "sayvane-tool $version" ]] || { echo "sayvane-tool --version said: $said"; return 1; }

  wine_env
  local filter=Package.*
  if [[ $arch == x64 ]]; then
    # Root writes through any permission: for root only a read-only mount, in a mount namespace
    # of the test's own, keeps the program out.
    local -a inside=()
    chmod -R a-w "$drive/readonly"
    if touch "$drive/readonly/probe" 2>/dev/null; then
      rm -f "$drive/readonly/probe"
      if unshare --mount true 2>/dev/null; then
        inside=(unshare --mount -- sh -c 'mount --bind -o ro "$0" "$0" && exec "$@"' "$drive/readonly")
      else
        echo "no way to make a folder unwritable here: the read-only test is left out"
      fi
    fi
    [[ ${#inside[@]} -gt 0 || ! -w $drive/readonly ]] && filter+=:ReadOnlyPackage.*
    winevars=("${inside[@]}" "${winevars[@]}" SAYVANE_E2E_READONLY_PACKAGE="$windows\\readonly\\Sayvane-$version")
  else
    winevars+=(SAYVANE_E2E_PROGRAM_BUILD="$SAYVANE_ROOT/$MINGW32_DIR")
  fi
  virtual_desktop on || return 1
  # The wineserver opens the files, so it too must start inside the namespace.
  WINEPREFIX=$tmp/wine "$wineserver_bin" -k 2>/dev/null
  local rc=0
  despite_wine in_display "${winevars[@]}" SAYVANE_E2E_PACKAGE="$windows\\shipped\\Sayvane-$version" \
    timeout 900 "$wine" "$MINGW_DIR/tests/sayvane-e2e-tests.exe" --gtest_filter="$filter" </dev/null || rc=1
  chmod -R u+w "$drive"  # or the clean-up could not remove it
  return $rc
}
stage "mingw-w64 build" mingw_build
stage "mingw-w64 i686 build" mingw32_build
stage "unit tests under Wine" wine_tests
stage "platform tests under Wine" platform_tests
stage "end-to-end tests under Wine" e2e_tests
stage "32-bit program end to end under Wine" e2e_tests_32
stage "release packages (x64, x86), reproducible" package_build
stage "64-bit release package started as shipped under Wine" package_wine_tests x64
stage "32-bit release package started as shipped under Wine" package_wine_tests x86

# --- fuzzing -----------------------------------------------------------------
fuzz_targets() { # executables the fuzz build defines, as paths relative to $FUZZ_DIR
  ninja -C "$FUZZ_DIR" -t targets all 2>/dev/null |
    sed -n 's#^\(tests/fuzz/fuzz-[^:/]*\): CXX_EXECUTABLE_LINKER.*#\1#p' | sort
}
fuzz_build() {
  CC=clang CXX=clang++ cmake -S . -B "$FUZZ_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DSAYVANE_FUZZ=ON -DSAYVANE_TESTS=OFF || return 1
  local -a targets
  mapfile -t targets < <(fuzz_targets)
  if ((${#targets[@]} == 0)); then
    echo "the fuzz build defines no tests/fuzz/fuzz-* executable"
    return 1
  fi
  ninja -C "$FUZZ_DIR" -j"$SAYVANE_JOBS" -k 0 "${targets[@]}"
}
fuzz_run() { # fuzz_run TARGET-PATH
  local exe=$FUZZ_DIR/$1 name
  name=$(basename "$1")
  ninja -C "$FUZZ_DIR" "$1" >/dev/null || return 1
  local corpus=$tmp/corpus/$name artifacts=$FUZZ_DIR/artifacts log=$tmp/$name.log
  mkdir -p "$corpus" "$artifacts"
  # libFuzzer writes new inputs into the first directory only: a scratch one, so the kept
  # corpus and the seeds in the repository are only read.
  local -a dirs=("$corpus") options=()
  local dir
  for dir in tests/fuzz/corpus/$name tests/fuzz/seeds/$name; do
    [[ -d $dir ]] && dirs+=("$dir")
  done
  [[ -f tests/fuzz/$name.options ]] && read -ra options <"tests/fuzz/$name.options"
  echo "$name: ${FUZZ_SECONDS}s, reads: ${dirs[*]:1}${options[*]:+, options: ${options[*]}}"
  local rc=0
  timeout $((FUZZ_SECONDS + 120)) "$exe" -max_total_time="$FUZZ_SECONDS" -timeout=5 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$artifacts/$name-" "${options[@]}" \
    "${dirs[@]}" </dev/null >"$log" 2>&1 || rc=$?
  if ((rc != 0)); then
    tail -n 60 "$log"
    echo "crash input (if any) kept under $artifacts/"
    return $rc
  fi
  # INITED: what the kept corpus covers; DONE: what the run reached beyond it.
  grep -E '^#[0-9]+[[:space:]]+(INITED|DONE)|^stat::(number_of_executed_units|new_units_added|peak_rss_mb)' "$log" ||
    tail -n 3 "$log"
}
stage "fuzz build" fuzz_build
mapfile -t fuzz_list < <(fuzz_targets)
for t in "${fuzz_list[@]}"; do
  stage "fuzz $(basename "$t")" fuzz_run "$t"
done

# --- benchmark (smoke run only: timings are printed, never judged) ------------
bench_run() {
  ninja -C "$SAYVANE_NATIVE_DIR" bench/sayvane-bench >/dev/null || return 1
  timeout 600 "$SAYVANE_NATIVE_DIR/bench/sayvane-bench" --benchmark_min_time=0.05 </dev/null
}
stage "benchmark smoke run" bench_run

summary
((failed == 0))
