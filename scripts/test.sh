#!/usr/bin/env bash
# Builds KV Mailbox and runs every test:
#   1. everything, built with g++ (the window layers included);
#   2. the mail store, the command line and the fuzz targets under
#      AddressSanitizer and UndefinedBehaviorSanitizer, built with clang;
#   3. the program as users get it: the release build, installed into a
#      scratch prefix and started from there, and the README's run command
#      on a home the program has never seen.
set -uo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup-deps.sh || exit 1
export QT_QPA_PLATFORM=offscreen

passed=0
failed=0
status=0
for preset in dev asan; do
  echo "=== $preset: configure and build"
  buildlog=$(mktemp)
  if ! { cmake --preset "$preset" && cmake --build --preset "$preset"; } >"$buildlog" 2>&1; then
    echo "=== $preset: build failed"
    tail -60 "$buildlog"
    rm -f "$buildlog"
    status=1
    continue
  fi
  grep -E 'warning:' "$buildlog" | head -20
  rm -f "$buildlog"
  echo "=== $preset: tests"
  log=$(mktemp)
  ctest --test-dir "build/$preset" --output-on-failure -j2 2>&1 | tee "$log"
  [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
  summary=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -1)
  if [ -n "$summary" ]; then
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")
    bad=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$summary")
    passed=$((passed + total - bad))
    failed=$((failed + bad))
  else
    status=1
  fi
  rm -f "$log"
  # The stress harness's figures, one line per part.
  grep -hE '^(concurrent|kills|tails|repair|full disk|faults|accounts|fuzz|share|smb: concurrent|bindfs: concurrent|profile):' "build/$preset/Testing/Temporary/LastTest.log" 2>/dev/null
done

# The release build, installed as the README says, must give working
# commands: a broken install is caught here, not by a user.
echo "=== release: build, install into a scratch prefix"
prefix=$(mktemp -d)
installlog=$(mktemp)
if { cmake --preset release && cmake --build --preset release && cmake --install build/release --prefix "$prefix"; } \
    >"$installlog" 2>&1 && bash scripts/check-install.sh "$prefix"; then
  echo "installed commands work"
  passed=$((passed + 1))
else
  echo "=== release: install failed"
  tail -40 "$installlog"
  failed=$((failed + 1))
  status=1
fi
rm -rf "$prefix" "$installlog"

# The README's run command, as a newcomer types it on a machine where the
# program has never run (a scratch home, a real X server).
echo "=== release: bash scripts/run.sh on a fresh home"
bash tests/scripts/readme_run_command.sh
case $? in
  0) passed=$((passed + 1)) ;;
  77) ;;  # skipped, and it said why
  *) failed=$((failed + 1)); status=1 ;;
esac

echo
echo "${passed} passed, ${failed} failed"
exit $status
