#!/usr/bin/env bash
# Builds KV Mailbox as users run it and starts it.
#
# With KVMAIL unset, the program opens a demo Mail Directory in your data
# directory, made on first use: a MASTER.INI naming a few users and you, and
# two welcome messages for you, one plain and one scrambled.  Arguments are
# passed to the program (a user name, /A, /E, /P, /U).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin="$root/build/release/bin"

# Said before anything is built, so nobody waits minutes to learn it.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  cat <<MSG
KV Mailbox is a desktop program and needs a display, but none was found
(neither DISPLAY nor WAYLAND_DISPLAY is set).

Without a display, read and send mail with the command-line front end
(bash scripts/run.sh builds it first; or cmake --preset release &&
cmake --build --preset release):
  $root/build/release/bin/kvmailctl --maildir /path/to/maildir --user ALICE list
  echo "At noon?" | $root/build/release/bin/kvmailctl --maildir /path/to/maildir --user ALICE send --subject Lunch BOB
  $root/build/release/bin/kvmailctl --help
MSG
  exit 1
fi

(
  cd "$root"
  bash scripts/setup-deps.sh
  echo "Building KV Mailbox (build/release)..."
  cmake --preset release >/dev/null
  cmake --build --preset release
)

if [ -z "${KVMAIL:-}" ]; then
  demo="${XDG_DATA_HOME:-$HOME/.local/share}/kvmail/demo"
  me=$(id -un | cut -c1-15)
  if [ ! -e "$demo/MASTER.INI" ]; then
    mkdir -p "$demo"
    printf '[USERS]\r\nALICE=\r\nBOB=\r\nCAROL=\r\n%s=\r\n' "$me" > "$demo/MASTER.INI"
    "$bin/kvmailctl" --maildir "$demo" --user ALICE send --subject "Welcome to KV Mailbox" "$me" <<TEXT
Hello $me,

welcome to KV Mailbox. Every message lives in the shared Mail Directory:
$demo

Select a message in the In Box to read it. Press F8 to look for new mail.
Other users can write to you with kvmailctl, for example:
  echo Hi | $bin/kvmailctl --maildir "$demo" --user BOB send $me

Alice
TEXT
    "$bin/kvmailctl" --maildir "$demo" --user BOB send --encrypt --subject "A scrambled message" "$me" <<TEXT
This message was sent with "Encrypt Mail": the file in the Mail Directory
is scrambled, and KV Mailbox shows it to you in plain text.

Bob
TEXT
    echo "Made a demo Mail Directory in $demo"
  fi
  export KVMAIL="$demo"
fi
# The Mail Directory stored by an earlier run wins over KVMAIL, as it does
# for every user; say so when they differ.
settings="${XDG_CONFIG_HOME:-$HOME/.config}/Brenlow/Dashdeck.conf"
stored=$(sed -n 's/^MailDir=//p' "$settings" 2>/dev/null | head -1)
if [ -n "${KVMAIL:-}" ] && [ -n "$stored" ] && [ "$stored" != "$KVMAIL" ]; then
  cat <<MSG
Note: KV Mailbox uses the Mail Directory stored by an earlier run,
  $stored
not KVMAIL ($KVMAIL): KVMAIL only serves a user who has none stored.
To switch, change the line MailDir= in $settings
(or delete it to fall back to KVMAIL).
MSG
fi

exec "$bin/kvmail" "$@"
