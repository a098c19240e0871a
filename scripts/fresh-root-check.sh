#!/usr/bin/env bash
# The README's first command on a Debian 12 system that has never seen this project:
# builds a minimal root with mmdebstrap from this machine's own package sources, copies
# a clone of the committed tree into it and runs scripts/run-sample.sh there as root.
# It downloads a whole system (some 300 MB with the compilers), so it is not part of the
# test command; run it by hand after touching install-deps.sh, run-sample.sh or the
# presets.
#
#   scripts/fresh-root-check.sh [ROOT_DIR]    default: a new folder under /var/tmp, removed afterwards
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

if [ "$(id -u)" -ne 0 ]; then
  echo "fresh-root-check.sh: run as root (it builds and enters a chroot)" >&2
  exit 1
fi
if ! command -v mmdebstrap >/dev/null; then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends mmdebstrap >/dev/null
fi

keep=1
root=${1:-}
if [ -z "$root" ]; then
  root=$(mktemp -d /var/tmp/korvane-fresh-root.XXXXXX)
  keep=0
fi

# The package sources this machine uses, enabled ones only (apt reads *.list and *.sources).
sources=()
[ -s /etc/apt/sources.list ] && grep -q '^deb' /etc/apt/sources.list && sources+=(/etc/apt/sources.list)
for f in /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
  [ -f "$f" ] && sources+=("$f")
done
[ ${#sources[@]} -gt 0 ] || { echo "fresh-root-check.sh: no package sources in /etc/apt" >&2; exit 1; }

mounted=()
cleanup() {
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount -l "${mounted[$i]}" 2>/dev/null || true; done
  [ "$keep" -eq 1 ] || rm -rf --one-file-system "$root"
}
trap cleanup EXIT

echo "=== a minimal Debian 12 root in $root (sources: ${sources[*]})"
start=$(date +%s)
mmdebstrap --quiet --variant=minbase --include=debian-archive-keyring bookworm "$root" "${sources[@]}"
echo "    made in $(( $(date +%s) - start )) s: $(du -sh --one-file-system "$root" | cut -f1)"

# The committed tree only, as a user's clone would hold it.
rm -rf "$root/root/korvane-stats"
git clone --quiet --no-local . "$root/root/korvane-stats"
cp /etc/resolv.conf "$root/etc/resolv.conf"
for m in proc sys dev; do
  mount --rbind "/$m" "$root/$m"
  mounted+=("$root/$m")
done

echo "=== inside it, as root: ./scripts/run-sample.sh"
start=$(date +%s)
status=0
chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
  LANG=C.UTF-8 bash -c 'cd /root/korvane-stats && ./scripts/run-sample.sh' || status=$?
echo "=== run-sample.sh exited $status after $(( $(date +%s) - start )) s"
exit "$status"
