#!/usr/bin/env bash
# The store on a real file share, as offices keep it:
#   smb     a Samba server on 127.0.0.1 only (its own configuration, state
#           and port in a scratch folder), mounted twice through smbnetfs
#           as two machines would mount it; 8 senders split across the
#           mounts, the owner listing, reading and deleting through one
#   bindfs  one folder mounted three times by bindfs with lock forwarding,
#           the same run
#   profile the profile-file tests with their scratch folder on the share
# Each store is checked from the server's side afterwards (stress.sh):
# records lost, torn, duplicated, sharing a text, texts without a record.
# Everything started here is stopped and unmounted on the way out, also
# when a step fails.  Without FUSE, the clients or port 445 it says so in
# one line and exits 77 (skipped).
#
# Usage: share.sh STRESS_SH KVMAILCTL STORE_CHECK KILL_AT PROFILE_TEST
set -u
stress=$1
ctl=$2
check=$3
killat=$4
profiletest=$5

skip() { echo "share: skipped ($1)"; exit 77; }
[ "$(id -u)" -eq 0 ] || skip "mounting needs root here"
[ -c /dev/fuse ] && [ -r /dev/fuse ] || skip "no /dev/fuse"
for tool in smbd smbnetfs bindfs fusermount3 ss; do
  command -v "$tool" >/dev/null || skip "$tool is not installed"
done
ss -Hltn 'sport = :445' | grep -q . && skip "port 445 is taken by another server"

work=$(mktemp -d /tmp/kvmail-share.XXXXXX)
mounts=()
smbpid=
cleanup() {
  local m
  for m in "${mounts[@]}"; do fusermount3 -u "$m" 2>/dev/null || fusermount3 -uz "$m" 2>/dev/null; done
  if [ -n "$smbpid" ]; then
    kill "$smbpid" 2>/dev/null
    for _ in $(seq 50); do kill -0 "$smbpid" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$smbpid" 2>/dev/null
  fi
  pkill -f "smbd .*-s $work/smb.conf" 2>/dev/null
  pkill -f "smbnetfs $work/" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM
failed=0

# The server: loopback only, a guest share mapped to our own account.
s=$work/samba
mkdir -p "$s"/{lock,state,cache,pid,private,ncalrpc,log} "$work/share"
cat >"$work/smb.conf" <<EOF
[global]
  bind interfaces only = yes
  interfaces = 127.0.0.1
  smb ports = 445
  disable netbios = yes
  server role = standalone server
  server min protocol = SMB2
  map to guest = Bad User
  guest account = $(id -un)
  load printers = no
  printcap name = /dev/null
  disable spoolss = yes
  lock directory = $s/lock
  state directory = $s/state
  cache directory = $s/cache
  pid directory = $s/pid
  private dir = $s/private
  ncalrpc dir = $s/ncalrpc
  log file = $s/log/%m.log
[mail]
  path = $work/share
  read only = no
  guest ok = yes
  force user = $(id -un)
EOF
# In a session of its own: a server that stops signals its whole group.
setsid smbd --foreground --no-process-group -s "$work/smb.conf" >"$s/log/smbd.out" 2>&1 &
smbpid=$!
for _ in $(seq 100); do ss -Hltn 'sport = :445' | grep -q . && break; sleep 0.1; done
ss -Hltn 'sport = :445' | grep -q . || { echo "share: FAILED (the Samba server did not start)"; cat "$s/log/smbd.out"; exit 1; }

# mount_smb N: the share through smbnetfs, as machine N sees it, added to
# the views.
mount_smb() {
  local home=$work/home$1 point=$work/smb$1
  mkdir -p "$home/.smb" "$point"
  printf 'auth "guest" ""\nhost 127.0.0.1 visible=true\n' >"$home/.smb/smbnetfs.conf"
  chmod 600 "$home/.smb/smbnetfs.conf"
  HOME=$home smbnetfs "$point" >"$work/smbnetfs$1.log" 2>&1 || return 1
  mounts+=("$point")
  for _ in $(seq 50); do [ -d "$point/127.0.0.1/mail" ] && break; sleep 0.1; done
  [ -d "$point/127.0.0.1/mail" ] || return 1
  views+=("$point/127.0.0.1/mail")
}

# run_stress NAME ROOT VIEWS...: the concurrent part on ROOT seen through VIEWS.
run_stress() {
  local name=$1 root=$2 out
  shift 2
  # The program's own choice of locks for these mounts, as users get it.
  out=$(KVMAIL_LOCK_DIRECTORIES=auto KVMAIL_STRESS_PARTS=concurrent KVMAIL_STRESS_ROOT=$root KVMAIL_STRESS_VIEWS="$*" \
    bash "$stress" "$ctl" "$check" "$killat" 2>&1)
  local status=$?
  echo "$out" | sed "s/^/$name /"
  [ $status -eq 0 ] || failed=1
}

views=()
for n in 1 2; do
  mount_smb $n || { echo "share: FAILED (smbnetfs could not mount the share)"; cat "$work"/smbnetfs*.log; exit 1; }
done
run_stress smb: "$work/share" "${views[@]}"

# The profile-file tests, their scratch folder on the share.
mkdir -p "$work/share/tmp"
if TMPDIR=${views[0]}/tmp "$profiletest" --gtest_brief=1 >"$work/profile.log" 2>&1; then
  echo "profile: the profile-file tests pass with their folder on the share"
else
  echo "profile: FAILED with the folder on the share:"
  cat "$work/profile.log"
  failed=1
fi

# Several mounts of one folder that pass byte-range locks on, each with a
# cache of its own.
mkdir -p "$work/bound"
views=()
for n in 1 2 3; do
  point=$work/bind$n
  mkdir -p "$point"
  bindfs --multithreaded --enable-lock-forwarding "$work/bound" "$point" || { echo "share: FAILED (bindfs)"; exit 1; }
  mounts+=("$point")
  views+=("$point")
done
run_stress bindfs: "$work/bound" "${views[@]}"

[ $failed -eq 0 ] || echo "share: FAILED"
exit $failed
