#!/usr/bin/env bash
# Builds KV Mailbox as users run it and starts it.
#
# The window is not built yet; until it is, this runs the command-line front
# end kvmailctl with the arguments given (its help when there are none).
# The Mail Directory is $KVMAIL, else the current directory, unless
# --maildir names one.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
(
  cd "$root"
  bash scripts/setup-deps.sh
  cmake --preset release >/dev/null
  cmake --build --preset release >/dev/null
)
kvmailctl="$root/build/release/bin/kvmailctl"

if [ $# -eq 0 ]; then
  "$kvmailctl" --help
  echo
  echo "The program's window is not built yet; mail is read and sent with kvmailctl:"
  echo "  bash scripts/run.sh --maildir /path/to/maildir --user ALICE list"
  exit 0
fi
exec "$kvmailctl" "$@"
