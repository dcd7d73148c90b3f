# A desktop for tests of real windows, sourced by their scripts: an X
# server (Xvfb) on a free display with a window manager (openbox).
#
#   start_desktop FIRST LAST   picks a free display number between FIRST and
#                              LAST, starts both, exports DISPLAY and adds
#                              their processes to the array `pids` (the X
#                              server first); calls `skip` with the reason
#                              when it cannot
#   wait_for SECONDS COMMAND...  runs COMMAND every tenth of a second until
#                              it succeeds; fails after SECONDS

start_desktop() {
  local n display=
  for n in $(seq "$1" "$2"); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { display=":$n"; break; }
  done
  [ -n "$display" ] || skip "no free X display number"
  Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
  pids+=($!)
  export DISPLAY=$display
  wait_for 5 xwininfo -root || skip "Xvfb did not start"
  openbox >/dev/null 2>&1 &
  pids+=($!)
  # Windows mapped before the window manager runs are not managed.
  wait_for 5 bash -c "xwininfo -root -tree 2>/dev/null | grep -q '\"Openbox\"'" || skip "openbox did not start"
}

wait_for() {
  local tenths=$(($1 * 10)); shift
  for _ in $(seq "$tenths"); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
  return 1
}
