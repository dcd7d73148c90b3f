#!/usr/bin/env bash
# The manual page of kvmailctl says what its --help says: every command and
# option of one is in the other, and the page formats without a warning, as
# do the other pages given.
#
#   manual.sh KVMAILCTL PAGE [OTHER-PAGE...]
set -uo pipefail
kvmailctl=$1 page=$2
shift 2
command -v man >/dev/null && command -v col >/dev/null ||
  { echo "SKIPPED: no man or col (Debian packages man-db, bsdextrautils)"; exit 77; }
failed=0
help=$("$kvmailctl" --help)
manual=$(LC_ALL=C.UTF-8 MANWIDTH=100 man --warnings -E UTF-8 -l "$page" 2>/tmp/manual-warnings.$$ | col -b)
if [ -s /tmp/manual-warnings.$$ ]; then echo "FAILED: the page formats with warnings:"; cat /tmp/manual-warnings.$$; failed=1; fi
rm -f /tmp/manual-warnings.$$
words() { grep -oE -- '(^|[ [])--[a-z-]+|^  [a-z]+ ' | tr -d ' [' | sort -u; }
for word in $(echo "$help" | words); do
  grep -qF -- "$word" <<<"$manual" || { echo "FAILED: --help has $word, the manual page does not"; failed=1; }
done
for word in $(echo "$manual" | grep -oE -- '--[a-z-]+' | sort -u); do
  [ "$word" = "--warnings" ] && continue
  grep -qF -- "$word" <<<"$help" || { echo "FAILED: the manual page has $word, --help does not"; failed=1; }
done
for other in "$@"; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=100 man --warnings -E UTF-8 -l "$other" 2>&1 >/dev/null)
  [ -z "$warnings" ] || { echo "FAILED: $other formats with warnings: $warnings"; failed=1; }
done
[ "$failed" = 0 ] && echo "PASSED"
exit "$failed"
