#!/usr/bin/env bash
# The README's run command as a newcomer meets it: `bash scripts/run.sh`
# from the clone, with a home directory the program has never seen, under
# a real X server with a window manager.
#   1. The first run makes the demo Mail Directory, the window opens with
#      its two messages and the announcement of new mail; closed, the
#      program stores its Mail Directory.
#   2. The second run, with settings stored, opens the window again.
#   3. With KVMAIL naming another directory and a user name given, the
#      script says that the stored directory wins, and the program opens
#      for that user.
#   4. Without a display the script says so in its first line and ends with 1.
# Ends with 77 (skipped), saying why, without Xvfb, openbox or xdotool.
#
#   readme_run_command.sh   (from anywhere; runs the clone it lies in)
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
skip() { echo "SKIPPED: $*"; exit 77; }
for tool in Xvfb openbox xdotool xwininfo; do
  command -v "$tool" >/dev/null || skip "$tool is not installed"
done

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAILED: $*"
  for log in "$work"/run*.log; do
    [ -f "$log" ] && { echo "--- $(basename "$log"), its last lines:"; tail -15 "$log"; }
  done
  exit 1
}

# shellcheck source=../support/desktop.sh
. "$root/tests/support/desktop.sh"
start_desktop 121 160

# A home the program has never seen, and nothing of the caller's that
# would point it elsewhere.
mkdir -p "$work/home" "$work/tmp"
unset KVMAIL XDG_CONFIG_HOME XDG_DATA_HOME QT_QPA_PLATFORM KVMAIL_INSTANCE WAYLAND_DISPLAY
export HOME=$work/home TMPDIR=$work/tmp
user=$(id -un | cut -c1-15)
user=${user^^}
settings=$HOME/.config/Brenlow/Dashdeck.conf
demo=$HOME/.local/share/kvmail/demo

shown() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1; }
is_shown() { [ -n "$(shown "$1")" ]; }
running() { kill -0 "$script" 2>/dev/null; }
gone() { ! running; }

# Starts the README's command; the build it begins with is up to date
# when the release build has been made, but may take a while otherwise.
start() {  # start LOG [ARGS...]
  local log=$1; shift
  (cd "$root" && exec bash scripts/run.sh "$@") >"$work/$log" 2>&1 &
  script=$!
  pids+=($script)
}
# Waits for the main window (its caption a pattern), or says how the
# script ended instead.
expect_window() {  # expect_window WHAT PATTERN
  wait_for 600 bash -c "xdotool search --onlyvisible --name '$2' >/dev/null 2>&1 || ! kill -0 $script 2>/dev/null"
  if ! is_shown "$2"; then
    if gone; then wait "$script"; fail "$1: scripts/run.sh ended with status $? and no window"; fi
    fail "$1: no window \"$2\""
  fi
}
# Answers the announcement of new mail with OK; returns 1 when none came.
dismiss_notice() {  # dismiss_notice SECONDS
  wait_for "$1" is_shown '^KV Mailbox$' || return 1
  xdotool windowactivate --sync "$(shown '^KV Mailbox$')" 2>/dev/null
  xdotool key Return
  wait_for 10 bash -c '! xdotool search --onlyvisible --name "^KV Mailbox\$" >/dev/null 2>&1' ||
    fail "the announcement of new mail did not go with OK"
}
# Closes the main window as a person does: Alt+F4, then Yes to the question.
close_program() {  # close_program WHAT PATTERN
  xdotool windowactivate --sync "$(shown "$2")" 2>/dev/null
  xdotool key --clearmodifiers alt+F4
  wait_for 10 is_shown '^Close Mailbox$' || fail "$1: Alt+F4 asked nothing"
  xdotool key Return
  wait_for 15 gone || fail "$1: the program did not end after Yes"
  wait "$script"
  local status=$?
  [ $status -eq 0 ] || fail "$1: the program ended with status $status"
}

# 1. The first run on a fresh home.
start run1.log
expect_window "first run" "^KV Mailbox \\($user: 2 messages\\)\$"
grep -q "Made a demo Mail Directory in $demo" "$work/run1.log" || fail "first run: the demo was not announced"
dismiss_notice 10 || fail "first run: no announcement of the new mail"
close_program "first run" "^KV Mailbox \\($user"
grep -qx "MailDir=$demo" "$settings" || fail "first run: the Mail Directory was not stored in $settings"
echo "first run: demo made, window with 2 messages and the new-mail notice, Mail Directory stored"

# 2. Again, with the settings stored.
start run2.log
expect_window "second run" "^KV Mailbox \\($user: 2 messages\\)\$"
grep -q "Made a demo" "$work/run2.log" && fail "second run: the demo was made again"
grep -q "^Note:" "$work/run2.log" && fail "second run: a note about another Mail Directory"
dismiss_notice 5  # the two are still unread, and may be announced again
close_program "second run" "^KV Mailbox \\($user"
echo "second run: the window again, from the stored settings"

# 3. KVMAIL naming another directory, and a user name for the program.
mkdir -p "$work/elsewhere"
KVMAIL=$work/elsewhere start run3.log BOB
expect_window "third run" "^KV Mailbox \\(BOB"
grep -q "^Note: KV Mailbox uses the Mail Directory stored by an earlier run" "$work/run3.log" ||
  fail "third run: no note that the stored Mail Directory wins over KVMAIL"
dismiss_notice 3
close_program "third run" "^KV Mailbox \\(BOB"
echo "third run: the stored Mail Directory wins over KVMAIL and says so; the user name reaches the program"

# 4. Without a display.
out=$(cd "$root" && env -u DISPLAY -u WAYLAND_DISPLAY bash scripts/run.sh 2>&1)
status=$?
[ $status -eq 1 ] || fail "without a display: status $status, not 1"
first=$(head -1 <<<"$out")
[[ "$first" == *"needs a display"* ]] || fail "without a display, the first line was: $first"
echo "without a display: \"$first\", status 1"
echo "PASSED"
