#!/bin/sh
# Compiles the locale NAME (for example ja_JP.SJIS) from the system's locale
# sources into the folder LOCPATH, where the code-page runs of the tests
# point glibc; no system locale is changed and no root is needed.
#
#   make_locale.sh LOCPATH NAME SOURCE CHARMAP
#
# Exit status 0 when LOCPATH holds the locale, 77 (skipped) when localedef or
# the sources are missing (scripts/test.sh installs them), 1 when localedef
# failed or the locale does not report CHARMAP.
set -u
[ $# -eq 4 ] || { echo "usage: make_locale.sh LOCPATH NAME SOURCE CHARMAP" >&2; exit 2; }
path=$1 name=$2 source=$3 charmap=$4

works() { [ "$(LOCPATH=$path LC_ALL=$name locale charmap 2>/dev/null)" = "$charmap" ]; }

works && exit 0
if ! command -v localedef >/dev/null 2>&1 || [ ! -f "/usr/share/i18n/locales/$source" ] ||
   { [ ! -f "/usr/share/i18n/charmaps/$charmap.gz" ] && [ ! -f "/usr/share/i18n/charmaps/$charmap" ]; }; then
  echo "SKIPPED: localedef or the locale sources $source / $charmap are missing (package locales)"
  exit 77
fi
rm -rf "${path:?}/$name"
mkdir -p "$path"
# Shift_JIS puts the yen sign at 0x5C, so localedef calls the charmap not
# ASCII compatible and, with that warning, exits 1 without --no-warnings.
if ! localedef --no-warnings=ascii -i "$source" -f "$charmap" "$path/$name"; then
  echo "localedef could not compile $name"
  exit 1
fi
works && exit 0
echo "the compiled $name does not report the code set $charmap"
exit 1
