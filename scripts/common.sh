# Shared by test.sh and run.sh (sourced, not run).
# Both configure build/native the same way so switching between them never rebuilds from scratch.

SAYVANE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
SAYVANE_JOBS=${SAYVANE_JOBS:-2}
SAYVANE_NATIVE_DIR=$SAYVANE_ROOT/build/native

sayvane_native_configure() {
  cmake -S "$SAYVANE_ROOT" -B "$SAYVANE_NATIVE_DIR" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSAYVANE_BENCH=ON
}
