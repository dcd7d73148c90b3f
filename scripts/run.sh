#!/usr/bin/env bash
# Builds KV Mailbox as users run it and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release >/dev/null

if [ -x build/release/bin/kvmailctl ]; then
  exec build/release/bin/kvmailctl "$@"
fi
echo "KV Mailbox: the mail store is built (build/release), but neither the window nor the"
echo "command-line front end kvmailctl exists yet; there is nothing to start."
