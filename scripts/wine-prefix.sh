#!/usr/bin/env bash
# Makes a Wine prefix fit for Sayvane's windows: booted, Chinese UI fonts mapped to a font
# Debian has (otherwise Chinese renders as empty boxes), and, with --desktop WxH, every
# window in a virtual desktop so title bars are drawn (screenshots show them).
# Usage: wine-prefix.sh PREFIX [--desktop 1024x768]. Needs WINE (the loader) in the environment.
set -euo pipefail

prefix=$1
shift
desktop=
if [[ ${1:-} == --desktop ]]; then desktop=$2; fi
: "${WINE:?the Wine loader to use}"

export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$prefix"
log=$(mktemp)
trap 'rm -f "$log" "$prefix/sayvane-prefix.reg"' EXIT
if ! "$WINE" wineboot --init </dev/null >"$log" 2>&1; then
  cat "$log" >&2
  exit 1
fi

font="WenQuanYi Micro Hei"
{
  printf 'Windows Registry Editor Version 5.00\r\n\r\n'
  printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]\r\n'
  for face in "Microsoft YaHei UI" "Microsoft YaHei" "宋体" "SimSun" "NSimSun" "MS Shell Dlg" "MS Shell Dlg 2" \
              "Tahoma" "Segoe UI" "MS Sans Serif"; do
    printf '"%s"="%s"\r\n' "$face" "$font"
  done
  # Wine's own fallback list, which its dialogs and message boxes go by.
  printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
  for face in "Microsoft YaHei UI" "宋体" "SimSun" "Tahoma" "MS Shell Dlg" "MS Shell Dlg 2" "MS Sans Serif" "System"; do
    printf '"%s"="%s"\r\n' "$face" "$font"
  done
  if [[ -n $desktop ]]; then
    printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\r\n"Desktop"="Default"\r\n'
    printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\r\n"Default"="%s"\r\n' "$desktop"
  fi
} | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$prefix/sayvane-prefix.reg"
"$WINE" regedit /S 'Z:'"$(echo "$prefix/sayvane-prefix.reg" | tr / '\\')" </dev/null >"$log" 2>&1 || {
  cat "$log" >&2
  exit 1
}
"$(dirname "$WINE")/wineserver" -w 2>/dev/null || wineserver -w
