# Shared by test.sh and run.sh (sourced, not run).
# Both configure build/native the same way so switching between them never rebuilds from scratch.

SAYVANE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
SAYVANE_JOBS=${SAYVANE_JOBS:-2}
SAYVANE_NATIVE_DIR=$SAYVANE_ROOT/build/native

sayvane_native_configure() {
  cmake -S "$SAYVANE_ROOT" -B "$SAYVANE_NATIVE_DIR" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSAYVANE_BENCH=ON
}

# A Release build of the program for Windows (ARCH x86_64 or i686), without the tests:
# the 32-bit one scripts/test.sh runs end to end, and the ones scripts/package.sh ships.
sayvane_mingw_release_configure() { # DIR ARCH
  cmake -S "$SAYVANE_ROOT" -B "$1" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSAYVANE_TESTS=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$SAYVANE_ROOT/cmake/mingw-w64-$2.cmake"
}

# Fails, naming the file and the DLL, when an executable imports a DLL that Windows does not bring.
sayvane_check_windows_imports() { # OBJDUMP FILE...
  local objdump=$1 file foreign
  shift
  for file in "$@"; do
    foreign=$("$objdump" -p "$file" | sed -n 's/^[[:space:]]*DLL Name: //p' | grep -viE \
      '^(kernel32|user32|gdi32|comctl32|comdlg32|shell32|advapi32|ole32|oleaut32|version|msvcrt)\.dll$|^api-ms-win-' || true)
    if [[ -n $foreign ]]; then
      echo "$file needs a DLL that does not come with Windows: $(echo $foreign)"
      return 1
    fi
  done
}
