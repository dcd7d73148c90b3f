#!/usr/bin/env bash
# The program in a real notification area: an X server (Xvfb) with an
# XEmbed tray (trayer).  The program starts as an icon there; a click
# brings its window back, minimizing sends it back, and "Close Mailbox" of
# the icon's menu ends it with the close question.  Started before the
# tray, the program stays a window and its icon comes when the tray does.
# Ends with 77 (skipped), saying why, without those tools.
#
#   tray_under_xvfb.sh KVMAIL KVMAILCTL
set -uo pipefail
kvmail=$1
kvmailctl=$2
skip() { echo "SKIPPED: $*"; exit 77; }
for tool in Xvfb openbox trayer xdotool xwininfo; do
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
fail() { echo "FAILED: $*"; exit 1; }

# shellcheck source=../support/desktop.sh
. "$(dirname "$0")/../support/desktop.sh"
start_desktop 91 120  # a window manager, for minimizing

mkdir -p "$work/mail" "$work/home/.config/Brenlow"
printf '[USERS]\r\nALICE=\r\nBOB=\r\n' >"$work/mail/MASTER.INI"
printf '[Mail]\nMailDir=%s\nNotifyWhenMailArrives=0\nMailCheckInterval=1\n' "$work/mail" \
  >"$work/home/.config/Brenlow/Dashdeck.conf"
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config KVMAIL_INSTANCE=tray-test-$$ XDG_RUNTIME_DIR=$work
unset QT_QPA_PLATFORM
echo "A message." | "$kvmailctl" --maildir "$work/mail" --user ALICE send --subject Hello BOB || fail "kvmailctl"

# The program's icon in the tray: its position, or nothing.
icon_at() {
  xwininfo -root -tree 2>/dev/null | awk '/"panel": \("panel" "trayer"\)/ { inside = 1; next }
    inside && /\("kvmail" "KV Mailbox"\)/ { n = split($NF, p, "+"); print p[n-1] + 11, p[n] + 11; exit }'
}
window_shown() { [ -n "$(xdotool search --onlyvisible --name 'KV Mailbox \(BOB' 2>/dev/null)" ]; }
has_icon() { [ -n "$(icon_at)" ]; }
no_window() { ! window_shown; }
gone() { ! kill -0 "$program" 2>/dev/null; }

trayer --edge top --align right --widthtype pixel --width 120 --heighttype pixel --height 24 >/dev/null 2>&1 &
pids+=($!)
sleep 1
"$kvmail" BOB >"$work/kvmail.log" 2>&1 &
program=$!
pids+=($program)
wait_for 15 has_icon || fail "no icon in the tray"
wait_for 5 no_window || fail "the window did not go to the tray at the start"
echo "started in the tray"

read -r x y <<<"$(icon_at)"
xdotool mousemove "$x" "$y" click 1
wait_for 5 window_shown || fail "a click on the icon did not bring the window back"
echo "a click brings the window back"
xdotool windowminimize "$(xdotool search --onlyvisible --name 'KV Mailbox \(BOB' | head -1)"
wait_for 5 no_window || fail "minimized, the window stayed in the task bar"
echo "minimized, the window leaves for the tray"

xdotool mousemove "$x" "$y" click 3
sleep 1
xdotool key Up Return  # the menu's last item: Close Mailbox
wait_for 5 bash -c "xdotool search --onlyvisible --name '^Close Mailbox$' >/dev/null" || fail "no close question"
xdotool key Return  # Yes
wait_for 10 gone || fail "the program did not end"
echo "Close Mailbox from the icon's menu asks, then ends the program"

# Started before any tray: an ordinary window; the icon follows the tray.
kill "${pids[2]}" 2>/dev/null
wait "${pids[2]}" 2>/dev/null
"$kvmail" BOB >"$work/kvmail2.log" 2>&1 &
program=$!
pids+=($program)
wait_for 15 window_shown || fail "without a tray the window did not show"
trayer --edge top --align right --widthtype pixel --width 120 --heighttype pixel --height 24 >/dev/null 2>&1 &
pids+=($!)
wait_for 10 has_icon || fail "the icon did not come with the tray"
window_shown || fail "the window vanished when the tray came"
echo "PASSED: started before the tray, the window stays and the icon comes with the tray"
