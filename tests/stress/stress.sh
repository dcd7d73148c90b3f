#!/usr/bin/env bash
# The store under stress, with real processes on a real directory:
#   concurrent  8 senders into one mailbox while its owner lists, reads
#               and deletes
#   kills       kvmailctl send and delete killed (SIGKILL) at random moments
#   tails       deletions at the head of a long mailbox killed, inside the
#               long move of the later records among other moments, and
#               every fourth one between the move and the cut, each
#               followed by a deletion of the last record before any look
#               and by messages to another user that may take freed names
#   repair      the store's repair run again and again while 8 senders (some
#               sending old files) and the owner deleting run, and one
#               sender of an old file stopped between its text and its
#               record while the repair runs
#   full disk   a small tmpfs filled up (where this machine lets us mount)
#   faults      the fault seam swept over every call kind of send, read,
#               delete, list and the store's repair
#   accounts    two real accounts of one group sending to each other (root)
#   fuzz        every reader of outside bytes fuzzed for a fixed time
# After each part the store is checked from outside: records lost, torn,
# duplicated, sharing a text, without text, showing another message's text
# (another user's included), orphan texts, and files outside the Mail
# Directory changed.
# One figure line per part; the exit status is 1 when any part failed.
#
# Usage: stress.sh KVMAILCTL STORE_CHECK KILL_AT [FUZZ_BIN_DIR FUZZ_CORPUS_DIR]
# KVMAIL_STRESS_SCALE multiplies the work (1: the short run of CI);
# KVMAIL_STRESS_PARTS names the parts to run (all by default), for example
# "tails repair".  KVMAIL_STRESS_ROOT is the folder the Mail Directories
# are made in (a scratch folder by default), and KVMAIL_STRESS_VIEWS the
# paths through which other machines see that folder (mounts of a share):
# the concurrent part's senders take them in turn, the owner the first.
set -u
ctl=$1
check=$2
killat=$3
fuzzdir=${4:-}
corpusdir=${5:-}
scale=${KVMAIL_STRESS_SCALE:-1}
work=$(mktemp -d)
failed=0
mounted=
cleanup() {
  [ -n "$mounted" ] && umount "$mounted" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
export LC_ALL=C XDG_CONFIG_HOME=$work/config KVMAIL=
# The lock directories are taken on a local disk too (the program leaves
# them out there), so that kills and faults meet them.
export KVMAIL_LOCK_DIRECTORIES=${KVMAIL_LOCK_DIRECTORIES-always}
root=${KVMAIL_STRESS_ROOT:-$work}
read -r -a views <<<"${KVMAIL_STRESS_VIEWS:-}"

# A file outside every Mail Directory, with links to it planted inside.
outside=$work/outside
mkdir -p "$outside"
head -c 4096 /dev/urandom >"$outside/precious"
outsideSum=$(sha256sum <"$outside/precious")

# fresh NAME: a Mail Directory with ALICE, BOB, CAROL and DAVE, whose
# CAROL's mailbox and one text name are links to the file outside.
fresh() {
  name=$1
  dir=$root/$1
  mkdir -p "$dir"
  printf '[USERS]\r\nALICE=\r\nBOB=\r\nCAROL=\r\nDAVE=\r\n' >"$dir/MASTER.INI"
  ln -s "$outside/precious" "$dir/CAROL.LST"
  ln -s "$outside/precious" "$dir/FFFFFFFF.MSG"
  expected=$work/$1.expected
  unknown=$work/$1.unknown
  : >"$expected"
  : >"$unknown"
}

as() { local user=$1; shift; "$ctl" --maildir "$dir" --user "$user" --yes "$@"; }

# via N USER ARGS: as USER, through view N of the store (the store itself
# when there are no views).
via() {
  local n=$1 user=$2 path=$dir
  shift 2
  ((${#views[@]})) && path=${views[n % ${#views[@]}]}/$name
  "$ctl" --maildir "$path" --user "$user" --yes "$@"
}

# The subjects of BOB's In Box, one a line, in order.
subjects() { as bob list 2>/dev/null | cut -f5; }

# forget SUBJECT: it is no longer expected (deleted), or its fate is open.
forget() { grep -vxF -- "$1" "$expected" >"$expected.new"; mv "$expected.new" "$expected"; }

# report PART FIGURES: checks the store and prints the part's line.
report() {
  local part=$1 figures=$2 line status=0
  # The store's own recovery first: a scan drops records whose text is gone.
  as bob list >/dev/null 2>&1
  line=$("$check" "$dir" BOB "$expected" "$unknown") || status=1
  local outsideNow
  outsideNow=$(sha256sum <"$outside/precious")
  local touched=0
  [ "$outsideNow" = "$outsideSum" ] || touched=1
  [ -L "$dir/CAROL.LST" ] || touched=1
  # Lock directories (and the names made beside them) left behind: only a
  # holder that was killed or whose removal failed (a share client's I/O
  # error) leaves one.  A lock whose OWNER names a process of this host
  # that has ended is broken at once by the next copy; any other fails the
  # concurrent part, where nothing is killed.
  local locks=0 ended=0 lock owner
  for lock in "$dir"/*.LCK*; do
    [ -e "$lock" ] || continue
    read -r -a owner 2>/dev/null <"$lock/OWNER" || owner=()
    # A name made beside a lock (a look at the share's clock, a lock moved
    # aside) holds nothing; a lock of a process that ended holds nothing
    # either.
    if [ "${lock%.LCK}" = "$lock" ] ||
      { [ "${owner[0]:-}" = "$(hostname)" ] && [ -n "${owner[1]:-}" ] && ! kill -0 "${owner[1]}" 2>/dev/null; }; then
      ended=$((ended + 1))
    else
      locks=$((locks + 1))
    fi
  done
  [ "$part" = concurrent ] && [ "$locks" -ne 0 ] && status=1
  echo "$part: $figures; $line; $touched outside changed; $locks locks left ($ended more holding nothing)"
  if [ $status -ne 0 ] || [ $touched -ne 0 ]; then
    echo "$part: FAILED"
    failed=1
  fi
}

concurrent() {
  fresh concurrent
  local n=$((25 * scale)) p i view
  # Each machine sees the new store before the senders start, as one that
  # has been there for long.
  for view in "${views[@]}"; do
    for _ in $(seq 100); do [ -f "$view/$name/MASTER.INI" ] && break; sleep 0.1; done
  done
  # A client may answer looks at a folder it has only just met with errors
  # for a few seconds (smbnetfs keeps a failure for three).
  ((${#views[@]})) && sleep 4
  for p in 1 2 3 4 5 6 7 8; do
    (
      for ((i = 1; i <= n; i++)); do
        subject="p$p-$i"
        if via "$p" alice send --subject "$subject" BOB <<<"text of $subject" >/dev/null 2>&1; then
          echo "$subject" >>"$expected.$p"
        else
          echo "$subject" >>"$unknown"
        fi
        # now and then a message to the mailbox that is a link
        ((i % 10)) || via "$p" alice send --subject "to carol" CAROL <<<"x" >/dev/null 2>&1
      done
    ) &
  done
  local deleted=0 count line subject
  while [ -n "$(jobs -r)" ]; do
    mapfile -t lines < <(via 0 bob list 2>/dev/null | cut -f5)
    count=${#lines[@]}
    if ((count > 0)); then
      line=$((RANDOM % count))
      subject=${lines[$line]}
      via 0 bob read "$line" >/dev/null 2>&1
      if via 0 bob delete "$line" >/dev/null 2>&1; then
        echo "$subject" >>"$work/concurrent.deleted"
        deleted=$((deleted + 1))
      fi
    fi
  done
  wait
  cat "$expected".* >"$expected" 2>/dev/null
  [ -f "$work/concurrent.deleted" ] && while read -r subject; do forget "$subject"; done <"$work/concurrent.deleted"
  local through="one folder"
  ((${#views[@]})) && through="${#views[@]} views of one share"
  report concurrent "$((8 * n)) sent by 8 processes through $through ($(wc -l <"$unknown") refused), $deleted deleted by the owner meanwhile"
}

kills() {
  fresh kills
  local k rounds=$((200 * scale)) status subject killedSends=0 killedDeletes=0 start life
  # The life of one process here (sanitizers make it longer): the kills
  # fall anywhere from its start to a little past its end.
  start=$(date +%s%N)
  as alice send --subject "k0" BOB <<<"text of k0" >/dev/null 2>&1 && echo "k0" >>"$expected"
  life=$((($(date +%s%N) - start) / 1000))
  for ((k = 1; k <= rounds; k++)); do
    local at=$((RANDOM * (life + life / 4) / 32768))
    if ((k % 7 == 0)); then
      # Another user's mail takes whatever names are free, freed ones too.
      as alice send --subject "d$k" DAVE <<<"text of d$k" >/dev/null 2>&1
    elif ((k % 3)); then
      subject="k$k"
      "$killat" "$at" "$ctl" --maildir "$dir" --user alice --yes send --subject "$subject" BOB \
        <<<"text of $subject" >/dev/null 2>&1
      status=$?
      if [ $status -eq 0 ]; then echo "$subject" >>"$expected"; else echo "$subject" >>"$unknown"; killedSends=$((killedSends + 1)); fi
    else
      mapfile -t lines < <(subjects)
      ((${#lines[@]})) || continue
      subject=${lines[0]}
      "$killat" "$at" "$ctl" --maildir "$dir" --user bob --yes delete 0 >/dev/null 2>&1
      status=$?
      forget "$subject"
      [ $status -eq 0 ] || { echo "$subject" >>"$unknown"; killedDeletes=$((killedDeletes + 1)); }
    fi
  done
  report kills "$rounds rounds, $killedSends sends and $killedDeletes deletes killed on the way"
}

# record_subject INDEX: the subject of BOB's record INDEX, read from the
# file itself, without a look of the store's that would tidy it.
record_subject() {
  local mailbox=$dir/BOB.LST len
  len=$(dd if="$mailbox" bs=151 skip="$1" count=1 2>/dev/null | od -An -tu1 -N1 | tr -d ' ')
  [ -n "$len" ] || return 0
  dd if="$mailbox" bs=151 skip="$1" count=1 2>/dev/null | dd bs=1 skip=1 count="$len" 2>/dev/null
}

tails() {
  fresh tails
  local k rounds=$((40 * scale)) records=2000 start life status subject last killed=0 twice=0
  "$check" --seed "$dir" BOB "$records" t >>"$expected" || { echo "tails: FAILED (seeding)"; failed=1; return; }
  # The life of a deletion at the head of the mailbox: the kills fall
  # anywhere from its start to a little past its end.
  start=$(date +%s%N)
  subject=$(record_subject 0)
  as bob delete 0 >/dev/null 2>&1 && forget "$subject"
  life=$((($(date +%s%N) - start) / 1000))
  for ((k = 1; k <= rounds; k++)); do
    local at=$((RANDOM * (life + life / 4) / 32768))
    subject=$(record_subject 0)
    if ((k % 4 == 0)); then
      # Killed for certain between moving the later records down and
      # cutting the file: stopped there, then killed.
      KVMAIL_FAULTS=truncate:1:STOP "$ctl" --maildir "$dir" --user bob --yes delete 0 >/dev/null 2>&1 &
      local pid=$!
      for _ in $(seq 200); do [ "$(ps -o stat= -p "$pid" 2>/dev/null | cut -c1)" = T ] && break; sleep 0.02; done
      kill -KILL "$pid" 2>/dev/null
      wait "$pid"
      status=$?
    else
      "$killat" "$at" "$ctl" --maildir "$dir" --user bob --yes delete 0 >/dev/null 2>&1
      status=$?
    fi
    forget "$subject"
    [ $status -eq 0 ] || { echo "$subject" >>"$unknown"; killed=$((killed + 1)); }
    # The last record goes too, before any look: after a cut deletion it
    # may be the second copy of the one before it.
    last=$(($(stat -c %s "$dir/BOB.LST") / 151 - 1))
    if ((last >= 1)); then
      subject=$(record_subject "$last")
      if [ "$subject" = "$(record_subject $((last - 1)))" ]; then
        # A second copy: deleting it leaves the message, which stays
        # expected, its text and all.
        twice=$((twice + 1))
        as bob delete "$last" >/dev/null 2>&1
      else
        forget "$subject"
        as bob delete "$last" >/dev/null 2>&1 || echo "$subject" >>"$unknown"
      fi
    fi
    # Another user's mail, which may take a name a deletion freed.
    as alice send --subject "d$k" DAVE <<<"text of d$k" >/dev/null 2>&1
    as carol send --subject "c$k" DAVE <<<"text of c$k" >/dev/null 2>&1
  done
  report tails "$rounds deletions at the head of $records records, $killed killed on the way, $twice left a record twice"
}

repair() {
  fresh repair
  local orphans=$work/repair-orphans n=$((10 * scale)) p i repairs=0 stopped status
  mkdir -p "$work/old"
  for p in 1 2 3 4 5 6 7 8; do
    (
      for ((i = 1; i <= n; i++)); do
        subject="r$p-$i"
        if ((p % 2)); then
          # A file last changed hours ago, sent as it is.
          printf 'text of %s\r\n' "$subject" >"$work/old/$subject"
          touch -d '3 hours ago' "$work/old/$subject"
          as alice send --subject "$subject" --file "$work/old/$subject" BOB >/dev/null 2>&1
        else
          as alice send --subject "$subject" BOB <<<"text of $subject" >/dev/null 2>&1
        fi
        if [ $? -eq 0 ]; then echo "$subject" >>"$expected.$p"; else echo "$subject" >>"$unknown"; fi
      done
    ) &
  done
  # One sender of an old file stands between its text and its record.
  printf 'text of stopped\r\n' >"$work/old/stopped"
  touch -d '3 hours ago' "$work/old/stopped"
  KVMAIL_FAULTS=lock:1:STOP "$ctl" --maildir "$dir" --user alice --yes send --subject stopped --file "$work/old/stopped" BOB \
    >/dev/null 2>&1 &
  stopped=$!
  for _ in $(seq 100); do [ "$(ps -o stat= -p "$stopped" 2>/dev/null | cut -c1)" = T ] && break; sleep 0.05; done
  local deleted=0 lines line
  while [ -n "$(jobs -rp | grep -vx "$stopped")" ]; do
    "$ctl" --maildir "$dir" check --repair --orphans "$orphans" >/dev/null 2>&1
    repairs=$((repairs + 1))
    mapfile -t lines < <(subjects)
    if ((${#lines[@]} > 0)); then
      line=$((RANDOM % ${#lines[@]}))
      if as bob delete "$line" >/dev/null 2>&1; then
        echo "${lines[$line]}" >>"$work/repair.deleted"
        deleted=$((deleted + 1))
      fi
    fi
  done
  "$ctl" --maildir "$dir" check --repair --orphans "$orphans" >/dev/null 2>&1
  kill -CONT "$stopped"
  wait "$stopped"
  status=$?
  if [ $status -eq 0 ]; then echo stopped >>"$expected.0"; else echo stopped >>"$unknown"; fi
  wait
  cat "$expected".* >"$expected" 2>/dev/null
  [ -f "$work/repair.deleted" ] && while read -r subject; do forget "$subject"; done <"$work/repair.deleted"
  # Texts moved away that a record still names.
  local moved=0 named=0 name
  if [ -d "$orphans" ]; then
    for name in "$orphans"/*.MSG; do
      [ -e "$name" ] || continue
      moved=$((moved + 1))
      grep -qa "${name##*/}" "$dir"/*.LST 2>/dev/null && named=$((named + 1))
    done
  fi
  report repair "$((8 * n + 1)) sent by 9 processes, $repairs repairs and $deleted deletions meanwhile, the stopped sender ended with $status, $moved texts moved of which $named named by a record"
  if [ $named -ne 0 ]; then echo "repair: FAILED"; failed=1; fi
}

fulldisk() {
  mkdir -p "$work/full"
  local why
  if ! why=$(mount -t tmpfs -o size=768k tmpfs "$work/full" 2>&1); then
    echo "full disk: skipped (no tmpfs can be mounted here: ${why:-not allowed})"
    return
  fi
  mounted=$work/full
  fresh full
  local body i sent=0 refused=0
  body=$(for ((i = 0; i < 300; i++)); do printf '%0100d\n' "$i"; done)
  for ((i = 1; i <= 60; i++)); do
    if as alice send --subject "f$i" BOB <<<"$body" >/dev/null 2>&1; then
      echo "f$i" >>"$expected"
      sent=$((sent + 1))
    else
      echo "f$i" >>"$unknown"
      refused=$((refused + 1))
    fi
  done
  report "full disk" "$sent delivered until the disk was full, $refused refused"
  umount "$work/full" && mounted=
}

faults() {
  fresh faults
  local calls=(open create read write fsync close lock stat unlink rename truncate chmod opendir readdir clock mkdir utime rmdir access)
  local call n err cmd runs=0 refused=0 subject k=0 before status
  for ((k = 1; k <= 4; k++)); do
    as alice send --subject "seed$k" BOB <<<"seed" >/dev/null 2>&1 && echo "seed$k" >>"$expected"
  done
  local errs
  for cmd in send read delete list repair; do
    for call in "${calls[@]}"; do
      errs=(EIO)
      [ "$call" = write ] && errs=(ENOSPC)
      [ "$cmd" = repair ] && errs=(EIO ESTALE)
      for err in "${errs[@]}"; do
      for ((n = 1; n <= 6 * scale; n++)); do
        k=$((k + 1))
        mapfile -t before < <(subjects)
        ((${#before[@]})) || { as alice send --subject "seed$k" BOB <<<"seed" >/dev/null 2>&1 && echo "seed$k" >>"$expected"; continue; }
        case $cmd in
          send)
            subject="s$k"
            KVMAIL_FAULTS="$call:$n:$err" as alice send --subject "$subject" BOB <<<"text" >/dev/null 2>&1
            status=$?
            if [ $status -eq 0 ]; then echo "$subject" >>"$expected"; else echo "$subject" >>"$unknown"; fi ;;
          read)
            KVMAIL_FAULTS="$call:$n:$err" as bob read 0 >/dev/null 2>&1
            status=$? ;;
          delete)
            subject=${before[0]}
            KVMAIL_FAULTS="$call:$n:$err" as bob delete 0 >/dev/null 2>&1
            status=$?
            forget "$subject"
            [ $status -eq 0 ] || echo "$subject" >>"$unknown" ;;
          list)
            KVMAIL_FAULTS="$call:$n:$err" as bob list >/dev/null 2>&1
            status=$? ;;
          repair)
            # Every text no record names is moved at once: none may be one a
            # record names.
            KVMAIL_FAULTS="$call:$n:$err" "$ctl" --maildir "$dir" check --repair --orphans "$work/faults-orphans" \
              --orphan-age 0 >/dev/null 2>&1
            status=$?
            [ $status -le 1 ] && status=0 ;;  # 1: something was found, and repaired
        esac
        runs=$((runs + 1))
        [ $status -eq 0 ] || refused=$((refused + 1))
      done
      done
    done
  done
  report faults "$runs runs with a failing call, $refused told a failure"
}

accounts() {
  if [ "$(id -u)" -ne 0 ] || ! command -v useradd >/dev/null || ! command -v runuser >/dev/null; then
    echo "accounts: skipped (needs root, useradd and runuser)"
    return
  fi
  getent group kvmailtest >/dev/null || groupadd kvmailtest
  for u in kvmaila kvmailb; do
    id "$u" >/dev/null 2>&1 || useradd -M -N -g kvmailtest -s /usr/sbin/nologin "$u"
  done
  # The program and the Mail Directory where both accounts reach them.
  local shared
  shared=$(mktemp -d /tmp/kvmail-accounts.XXXXXX)
  chmod 755 "$shared"
  cp "$ctl" "$shared/kvmailctl"
  dir=$shared/mail
  mkdir "$dir"
  chgrp kvmailtest "$dir"
  chmod 2770 "$dir"  # the group's, and new files stay in it
  printf '[USERS]\r\nKVMAILA=\r\nKVMAILB=\r\n' >"$dir/MASTER.INI"
  chmod 644 "$dir/MASTER.INI"
  run() { local who=$1; shift; runuser -u "$who" -- sh -c 'umask 022; exec "$@"' sh env XDG_CONFIG_HOME=/tmp "$shared/kvmailctl" --maildir "$dir" "$@"; }
  local ok=0
  # A creates both mailboxes by sending; B, another account, must still
  # append to them and read its own.
  echo one | run kvmaila --user kvmaila send --subject a1 KVMAILB KVMAILA >/dev/null 2>&1 && ok=$((ok + 1))
  echo two | run kvmailb --user kvmailb send --subject b1 KVMAILA KVMAILB >/dev/null 2>&1 && ok=$((ok + 1))
  [ "$(run kvmailb --user kvmailb read 0 2>/dev/null)" = one ] && ok=$((ok + 1))
  [ "$(run kvmaila --user kvmaila read 1 2>/dev/null)" = two ] && ok=$((ok + 1))
  local modes
  modes=$(stat -c %a "$dir"/*.LST "$dir"/*.MSG | sort -u | tr '\n' ' ')
  echo "accounts: 2 accounts of one group, $ok of 4 steps done, file modes: $modes"
  if [ $ok -ne 4 ] || [ "$modes" != "660 " ]; then
    echo "accounts: FAILED"
    failed=1
  fi
  rm -rf "$shared"
}

fuzz() {
  if [ -z "$fuzzdir" ] || ! ls "$fuzzdir"/fuzz_* >/dev/null 2>&1; then
    echo "fuzz: skipped (the fuzz targets are built by the asan preset)"
    return
  fi
  local target name crashes=0 count=0 seconds=$((10 * scale))
  for target in "$fuzzdir"/fuzz_*; do
    [ -x "$target" ] || continue
    name=${target##*/fuzz_}
    mkdir -p "$work/corpus_$name"
    if ! "$target" -max_total_time="$seconds" -seed=1 -max_len=4096 -artifact_prefix="$work/" \
        "$work/corpus_$name" "$corpusdir/$name" >"$work/fuzz_$name.log" 2>&1; then
      crashes=$((crashes + 1))
      echo "fuzz: $name crashed:"
      tail -30 "$work/fuzz_$name.log"
    fi
    count=$((count + 1))
  done
  echo "fuzz: $count readers fuzzed for ${seconds}s each, $crashes crashes"
  [ $crashes -eq 0 ] || failed=1
}

for part in ${KVMAIL_STRESS_PARTS:-concurrent kills tails repair fulldisk faults accounts fuzz}; do
  "$part"
done
exit $failed
