#!/usr/bin/env bash
# Checks an installed KV Mailbox under PREFIX: both commands are linked into
# bin, the desktop entry, kvmailctl's bash completion, the help, the lexicons and the modules are there, kvmailctl sends and reads a message in a
# scratch Mail Directory, and kvmail runs and says it needs a display.
# Usage: scripts/check-install.sh PREFIX
set -euo pipefail
prefix=$1
for command in kvmail kvmailctl; do
  [ -x "$prefix/bin/$command" ] || { echo "missing: $prefix/bin/$command"; exit 1; }
done
[ -f "$prefix/share/applications/kvmail.desktop" ] || { echo "missing: the desktop entry"; exit 1; }
completion=$prefix/share/bash-completion/completions/kvmailctl
[ -f "$completion" ] && bash -n "$completion" || { echo "missing or broken: $completion"; exit 1; }
for page in kvmail kvmailctl; do
  [ -f "$prefix/share/man/man1/$page.1" ] || { echo "missing: the manual page of $page"; exit 1; }
done
for file in kvmail.qhc kvmail.qch SSCEAM.TLX SSCEAM1.CLX libkvmail_help.so libkvmail_print.so; do
  [ -f "$prefix/lib/kvmail/$file" ] || { echo "missing beside the program: $prefix/lib/kvmail/$file"; exit 1; }
done

mail=$(mktemp -d)
config=$(mktemp -d)
trap 'rm -rf "$mail" "$config"' EXIT
printf '[USERS]\r\nALICE=\r\nBOB=\r\n' >"$mail/MASTER.INI"
export XDG_CONFIG_HOME=$config
echo "Installed and working." | "$prefix/bin/kvmailctl" --maildir "$mail" --user alice send --subject Install bob
[ "$("$prefix/bin/kvmailctl" --maildir "$mail" --user bob read 0)" = "Installed and working." ] || {
  echo "kvmailctl could not read back what it sent"
  exit 1
}
# Without a display the program says so and ends with 1.
set +e
out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/kvmail" 2>&1)
code=$?
set -e
[ $code -eq 1 ] && [[ "$out" == *"needs a display"* ]] || { echo "kvmail without a display: $code $out"; exit 1; }
