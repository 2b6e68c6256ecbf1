#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Pictomat developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian package on a clean Debian 12 root and converts a HEIC and an AVIF there with
# pictomat-cli, with nothing else installed by hand: shows that the package's dependencies are
# complete. Slow (it downloads a minimal Debian), so it is not part of the test command.
#
#   bash scripts/check-deb-clean-root.sh [build/pictomat_*.deb]
#
# Needs root (for the chroot), mmdebstrap (or debootstrap), network access to a Debian mirror,
# and heif-enc and avifenc on this machine to make the two sample pictures. CLEAN_ROOT_TAR may name
# a tarball of a clean root made earlier (mmdebstrap --variant=apt bookworm root.tar) to start from.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
deb=${1:-$(ls "$here"/build/pictomat_*.deb 2>/dev/null | head -n 1)}
mirror=${DEBIAN_MIRROR:-http://deb.debian.org/debian}
[ -f "$deb" ] || { echo "no package: build it with (cd build && cpack -G DEB)" >&2; exit 2; }
[ "$(id -u)" = 0 ] || { echo "run as root: the check needs a chroot" >&2; exit 2; }

work=$(mktemp -d /tmp/pictomat-clean-root.XXXXXX)
root=$work/root
cleanup() {
    for m in proc dev/pts dev sys; do umount "$root/$m" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

echo "== a minimal Debian 12 in $root"
if [ -n "${CLEAN_ROOT_TAR:-}" ]; then
    mkdir -p "$root" && tar -C "$root" -xf "$CLEAN_ROOT_TAR"
elif command -v mmdebstrap >/dev/null; then
    mmdebstrap --variant=apt --quiet bookworm "$root" "$mirror"
else
    debootstrap --variant=minbase bookworm "$root" "$mirror"
fi

echo "== sample pictures"
convert -size 64x48 gradient:red-blue "$work/sample.png"
heif-enc -q 80 -o "$work/photo-heic.heic" "$work/sample.png" >/dev/null
avifenc "$work/sample.png" "$work/photo-avif.avif" >/dev/null
mkdir -p "$root/srv/in" "$root/srv/out"
cp "$work/photo-heic.heic" "$work/photo-avif.avif" "$root/srv/in/"
cp "$deb" "$root/srv/"

for m in proc sys dev dev/pts; do mount --bind "/$m" "$root/$m"; done
cp /etc/resolv.conf "$root/etc/resolv.conf"

echo "== apt-get install ./$(basename "$deb")"
chroot "$root" apt-get update -q
chroot "$root" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "/srv/$(basename "$deb")"

echo "== pictomat-cli in the clean root"
chroot "$root" pictomat-cli --version
chroot "$root" pictomat-cli --format PNG /srv/in/photo-heic.heic /srv/in/photo-avif.avif -o /srv/out
chroot "$root" env QT_QPA_PLATFORM=offscreen pictomat --version
ls -l "$root/srv/out"
for f in "$root"/srv/out/*.png; do
    identify "$f"
done
[ "$(ls "$root"/srv/out/*.png | wc -l)" = 2 ] && echo "== OK: both pictures converted in the clean root"
