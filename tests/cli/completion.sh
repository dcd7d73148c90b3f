#!/usr/bin/env bash
# The bash completion of kvmailctl, as bash calls it: commands, options,
# and user names from a Mail Directory's registry.
#
#   completion.sh KVMAILCTL COMPLETION-SCRIPT
set -uo pipefail
kvmailctl=$1
source "$2" || { echo "FAILED: the completion script does not load"; exit 1; }
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
printf '[USERS]\r\nALICE=\r\nBOB=\r\nMARY ANN=\r\n' >"$dir/MASTER.INI"
mkdir "$dir/sub"
failed=0

# expect "WORDS..." -- "REPLIES..." : the replies completing the last word
expect() {
  local line=$1 want=$2
  read -ra COMP_WORDS <<<"$line"
  [[ $line == *" " ]] && COMP_WORDS+=("")
  COMP_WORDS[0]=$kvmailctl
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  _kvmailctl
  local got="${COMPREPLY[*]}"
  if [[ $got != "$want" ]]; then
    echo "FAILED: '$line' completes to '$got', not '$want'"
    failed=1
  fi
}

expect "kvmailctl " "users list read send delete check"
expect "kvmailctl s" "send"
expect "kvmailctl --m" "--maildir"
expect "kvmailctl --maildir $dir/s" "$dir/sub"
expect "kvmailctl --maildir $dir send " "ALICE BOB '\"MARY ANN\"'"
expect "kvmailctl --maildir $dir send m" "'\"MARY ANN\"'"
expect "kvmailctl --maildir $dir --user b" "BOB"
expect "kvmailctl --maildir $dir send --s" "--subject"
expect "kvmailctl --maildir $dir send --subject " ""
expect "kvmailctl check --" "--store --repair --orphans --orphan-age"
expect "kvmailctl read " ""
expect "kvmailctl --maildir /no/such/dir send " ""
[ "$failed" = 0 ] && echo "PASSED"
exit "$failed"
