#!/usr/bin/env bash
# Prints a message through a real print queue: a private CUPS scheduler
# with a PDF queue, the program's printing on it, and the job's PDF read
# back.  Ends with 77 (skipped), saying why, when this machine cannot run
# the scheduler.
#
#   print_through_cups.sh PRINT_JOB
set -uo pipefail
print_job=$1

skip() { echo "SKIPPED: $*"; exit 77; }
command -v cupsd >/dev/null || skip "no CUPS scheduler (Debian package cups-daemon)"
command -v lpadmin >/dev/null || skip "no CUPS client commands (Debian package cups-client)"
[ -x /usr/lib/cups/backend/cups-pdf ] || skip "no PDF queue backend (Debian package printer-driver-cups-pdf)"
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
[ -r "$ppd" ] || skip "no PDF queue description $ppd"
[ "$(id -u)" -eq 0 ] || skip "the PDF queue's backend runs only under a scheduler started as root"
command -v pdftotext >/dev/null || skip "no pdftotext (Debian package poppler-utils)"

dir=$(mktemp -d)
scheduler=
cleanup() {
  [ -n "$scheduler" ] && kill "$scheduler" 2>/dev/null && wait "$scheduler" 2>/dev/null
  [ -n "${KEEP:-}" ] || rm -rf "$dir"
}
trap cleanup EXIT

mkdir -p "$dir/etc" "$dir/spool/tmp" "$dir/cache" "$dir/state" "$dir/log"
# The filters run as the scheduler's unprivileged user.
chmod 755 "$dir"
cat > "$dir/etc/cupsd.conf" <<CONF
Listen $dir/cups.sock
LogLevel warn
<Location />
  Order allow,deny
  Allow all
</Location>
<Location /admin>
  Order allow,deny
  Allow all
</Location>
CONF
cat > "$dir/etc/cups-files.conf" <<CONF
ServerRoot $dir/etc
RequestRoot $dir/spool
TempDir $dir/spool/tmp
CacheDir $dir/cache
StateDir $dir/state
AccessLog $dir/log/access_log
ErrorLog $dir/log/error_log
PageLog $dir/log/page_log
SystemGroup root
CONF
cupsd -f -c "$dir/etc/cupsd.conf" -s "$dir/etc/cups-files.conf" &
scheduler=$!
export CUPS_SERVER=$dir/cups.sock
for _ in $(seq 50); do [ -S "$CUPS_SERVER" ] && lpstat -r >/dev/null 2>&1 && break; sleep 0.1; done
lpstat -r >/dev/null 2>&1 || skip "the CUPS scheduler did not start: $(tail -3 "$dir/log/error_log" 2>/dev/null)"

queue=KVMAILTEST$$
# Cairo keeps the text of the fonts the program embeds, so that the PDF
# the queue makes can be read back.
lpadmin -p "$queue" -E -v cups-pdf:/ -P "$ppd" -D "KV Mail Test Queue" -o pdftops-renderer-default=pdftocairo 2>/dev/null || skip "lpadmin could not make a queue"
lpadmin -d "$queue"

# The queue writes into the PDF folder of the job's owner.
out=$(getent passwd "$(id -un)" | cut -d: -f6)/PDF
title="Mail From ANN $$"
started=$(date +%s)

fail() { echo "FAILED: $*"; tail -5 "$dir/log/error_log" 2>/dev/null; exit 1; }
prompt=$(QT_QPA_PLATFORM=offscreen "$print_job" "$title") || fail "the print run failed: $prompt"
echo "$prompt"
[ "$prompt" = "Prompt: \"$title\" to KV Mail Test Queue" ] || fail "the dialog's printer line is not the queue's"

pdf=
for _ in $(seq 300); do
  pdf=$(find "$out" -maxdepth 1 -name "*$$*.pdf" -newermt "@$((started - 1))" 2>/dev/null | head -1)
  [ -n "$pdf" ] && [ -z "$(lpstat -o "$queue" 2>/dev/null)" ] && break
  sleep 0.1
done
[ -n "$pdf" ] || fail "no PDF came out of the queue in $out"
text=$(pdftotext -layout "$pdf" -)
[ -n "${KEEP:-}" ] || rm -f "$pdf"
echo "$text" | sed '/^[[:space:]]*$/d'
for line in "$title" "From:    ANN" "Subject: Printer" "the printer on the second floor works again." "Page 1"; do
  grep -qF -- "$line" <<<"$text" || fail "the job's PDF lacks: $line"
done
echo "the job went through the queue and its PDF holds the message"

# A queue that refuses jobs: the print run says so and fails.
cupsreject -r "closed for the test" "$queue" || fail "cupsreject could not close the queue"
refused=$(QT_QPA_PLATFORM=offscreen "$print_job" "$title" 2>&1 >/dev/null) && fail "a refused job was reported as printed"
echo "$refused"
grep -qF "The printer $queue refused the job" <<<"$refused" || fail "the refusal was not told: $refused"
echo "PASSED: the job went through the queue and its PDF holds the message; a refused job is told"
