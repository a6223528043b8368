#!/usr/bin/env bash
# Runs one of the README's commands as a new user would: in a fresh minimal
# Debian 12 root (debootstrap --variant=minbase bookworm), with an empty
# environment and no LANG, on a copy of the committed tree. It says how long
# the command took, how many packages it installed and how much it fetched.
# Needs root and a few minutes; not part of the test command.
#   scripts/fresh-debian.sh test     bash scripts/test.sh, which must pass
#   scripts/fresh-debian.sh run      bash scripts/run.sh, whose window (on the
#                                    offscreen platform) must start and keep
#                                    running until it is closed
# The root lives in build/fresh-debian/ and is made anew for every run from
# a base kept there as a tarball.
set -euo pipefail
cd "$(dirname "$0")/.."
what=${1:?usage: scripts/fresh-debian.sh test|run}
case "$what" in test|run) ;; *) echo "usage: scripts/fresh-debian.sh test|run" >&2; exit 2 ;; esac
[ "$(id -u)" -eq 0 ] || { echo "fresh-debian.sh: needs root (debootstrap, chroot)" >&2; exit 2; }

top=$PWD/build/fresh-debian
base=$top/bookworm-minbase.tar
root=$top/root
mkdir -p "$top"

# The Debian mirror this machine's apt uses, so that the root reaches the
# same archive.
sources() { cat /etc/apt/sources.list.d/*.sources /etc/apt/sources.list 2>/dev/null || true; }
mirror=$(sources | awk '/^(URIs:|deb) / && $2 !~ /-security/ {print $2; exit}')
security=$(sources | awk '/^(URIs:|deb) / && $2 ~ /-security/ {print $2; exit}')
[ -n "$mirror" ] || { echo "fresh-debian.sh: no Debian mirror in /etc/apt" >&2; exit 1; }

unmountall() { { grep -o " $root/[^ ]*" /proc/mounts || true; } | sort -r | while read -r m; do umount -l "$m"; done; }

if [ ! -f "$base" ]; then
  command -v debootstrap >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq debootstrap
  unmountall
  rm -rf --one-file-system "$root"
  debootstrap --variant=minbase bookworm "$root" "$mirror"
  {
    echo "deb $mirror bookworm main"
    echo "deb $mirror bookworm-updates main"
    [ -z "$security" ] || echo "deb $security bookworm-security main"
  } > "$root/etc/apt/sources.list"
  rm -rf "$root"/var/cache/apt/archives/*.deb "$root"/var/lib/apt/lists/*
  tar -C "$root" -cf "$base" .
fi

mounted=()
cleanup() {
  # Whatever the command left running in the root goes first, then the mounts.
  for pid in $(ls /proc | grep -E '^[0-9]+$'); do
    [ "$(readlink "/proc/$pid/root" 2>/dev/null)" = "$root" ] && kill -9 "$pid" 2>/dev/null || true
  done
  sleep 1
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount -l "${mounted[$i]}" 2>/dev/null || true; done
}
trap cleanup EXIT

# A root left mounted by an interrupted run is unmounted before it goes, and
# rm never crosses into another file system.
unmountall
rm -rf --one-file-system "$root"
mkdir -p "$root"
tar -C "$root" -xf "$base"
cp /etc/resolv.conf "$root/etc/resolv.conf"
for m in proc sys dev dev/pts dev/shm; do
  mkdir -p "$root/$m"
  mount --bind "/$m" "$root/$m"
  mounted+=("$root/$m")
done
# The committed tree, as a clone would have it.
mkdir -p "$root/root/freqcode"
git archive HEAD | tar -C "$root/root/freqcode" -xf -

# A machine whose network reaches https only through a proxy of its own
# carries that proxy's certificate; the root gets it too, for npm's sake,
# as the machine's trust rather than the project's.
extra=()
if [ -n "${NODE_EXTRA_CA_CERTS:-}" ] && [ -f "$NODE_EXTRA_CA_CERTS" ]; then
  cp "$NODE_EXTRA_CA_CERTS" "$root/etc/machine-ca.crt"
  extra=(NODE_EXTRA_CA_CERTS=/etc/machine-ca.crt)
fi

count() { chroot "$root" dpkg-query -W -f='${Status}\n' | grep -c 'install ok installed'; }
before=$(count)
inroot() { chroot "$root" /usr/bin/env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME=/root "${extra[@]}" "$@"; }

start=$(date +%s)
status=0
if [ "$what" = test ]; then
  inroot bash -c 'cd /root/freqcode && bash scripts/test.sh' || status=$?
else
  # The window on the offscreen platform: it must come up and stay up.
  inroot bash -c 'cd /root/freqcode && QT_QPA_PLATFORM=offscreen exec bash scripts/run.sh' &
  runner=$!
  up=""
  while kill -0 "$runner" 2>/dev/null; do
    for pid in $(pgrep -f 'build/release/window/qt/freqcode$' || true); do
      [ "$(readlink "/proc/$pid/root")" = "$root" ] && up=$pid
    done
    [ -n "$up" ] && break
    sleep 2
  done
  if [ -z "$up" ]; then
    wait "$runner" || status=$?
    echo "fresh-debian.sh: run.sh ended (status $status) before the window started" >&2
    status=1
  else
    ready=$(date +%s)
    sleep 10
    if kill -0 "$up" 2>/dev/null; then
      echo "fresh-debian.sh: the window started $((ready - start)) s after run.sh and was still running 10 s later"
      kill "$up"            # closing it ends run.sh
      wait "$runner" || true
    else
      echo "fresh-debian.sh: the window ended by itself within 10 s" >&2
      status=1
    fi
  fi
fi
end=$(date +%s)
after=$(count)
fetched=$(du -sm "$root/var/cache/apt/archives" | cut -f1)
echo "fresh-debian.sh: $what: status $status after $((end - start)) s; installed $((after - before)) packages ($before before), fetched $fetched MB of packages"
exit "$status"
