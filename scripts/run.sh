#!/usr/bin/env bash
# Builds KV Mailbox as users run it and starts it.
#
# With KVMAIL unset, the program opens a demo Mail Directory in your data
# directory, made on first use: a MASTER.INI naming a few users and you, and
# two welcome messages for you, one plain and one scrambled.  Arguments are
# passed to the program (a user name, /A, /E, /P, /U).
#
# Whatever stops this script early, its last line says why.
set -Eeuo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin="$root/build/release/bin"

die() { echo "scripts/run.sh: $*" >&2; exit 1; }
trap 'status=$?; echo "scripts/run.sh: stopped at line $LINENO, where \"$BASH_COMMAND\" failed (status $status)" >&2' ERR

# Said before anything is built, so nobody waits minutes to learn it.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  cat <<MSG
KV Mailbox is a desktop program and needs a display, but none was found (neither DISPLAY nor WAYLAND_DISPLAY is set).

Without a display, read and send mail with the command-line front end
(bash scripts/run.sh builds it first; or cmake --preset release &&
cmake --build --preset release):
  $bin/kvmailctl --maildir /path/to/maildir --user ALICE list
  echo "At noon?" | $bin/kvmailctl --maildir /path/to/maildir --user ALICE send --subject Lunch BOB
  $bin/kvmailctl --help
MSG
  exit 1
fi

cd "$root"
bash scripts/setup-deps.sh || die "the packages KV Mailbox needs could not be installed (see above)"
echo "Building KV Mailbox (build/release)..."
{ cmake --preset release >/dev/null && cmake --build --preset release; } || die "the build failed (see above)"

if [ -z "${KVMAIL:-}" ]; then
  demo="${XDG_DATA_HOME:-$HOME/.local/share}/kvmail/demo"
  if [ ! -e "$demo/MASTER.INI" ]; then
    # Made beside its place and moved there whole, so that a run cut short
    # leaves no half-made demo that the next run would take as finished.
    me=$(id -un | cut -c1-15)
    making="$demo.making"
    rm -rf "$making"
    mkdir -p "$making"
    printf '[USERS]\r\nALICE=\r\nBOB=\r\nCAROL=\r\n%s=\r\n' "$me" > "$making/MASTER.INI"
    "$bin/kvmailctl" --maildir "$making" --user ALICE send --subject "Welcome to KV Mailbox" "$me" <<TEXT ||
Hello $me,

welcome to KV Mailbox. Every message lives in the shared Mail Directory:
$demo

Select a message in the In Box to read it. Press F8 to look for new mail.
Other users can write to you with kvmailctl, for example:
  echo Hi | $bin/kvmailctl --maildir "$demo" --user BOB send $me

Alice
TEXT
      die "the demo's first message could not be sent (see above)"
    "$bin/kvmailctl" --maildir "$making" --user BOB send --encrypt --subject "A scrambled message" "$me" <<TEXT ||
This message was sent with "Encrypt Mail": the file in the Mail Directory
is scrambled, and KV Mailbox shows it to you in plain text.

Bob
TEXT
      die "the demo's second message could not be sent (see above)"
    rmdir "$demo" 2>/dev/null || true
    mv -T "$making" "$demo" || die "the demo Mail Directory could not be put in place at $demo"
    echo "Made a demo Mail Directory in $demo"
  fi
  export KVMAIL="$demo"
fi

# The Mail Directory stored by an earlier run wins over KVMAIL, as it does
# for every user; say so when they differ.  Before the first run nothing is
# stored yet.
settings="${XDG_CONFIG_HOME:-$HOME/.config}/Brenlow/Dashdeck.conf"
stored=
if [ -r "$settings" ]; then
  stored=$(sed -n '/^MailDir=/{s///p;q;}' "$settings")
fi
if [ -n "$stored" ] && [ "$stored" != "$KVMAIL" ]; then
  cat <<MSG
Note: KV Mailbox uses the Mail Directory stored by an earlier run,
  $stored
not KVMAIL ($KVMAIL): KVMAIL only serves a user who has none stored.
To switch, change the line MailDir= in $settings
(or delete it to fall back to KVMAIL).
MSG
fi

trap - ERR
exec "$bin/kvmail" "$@"
