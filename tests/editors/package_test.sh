#!/usr/bin/env bash
# The packages as a user installs them: cpack makes one .deb a part, each
# depending on what its own programs need and on none of the others;
# dpkg-deb unpacks the renderer's and the MLT part into a scratch root, and
# in a mount namespace of its own, where that root lies over /usr, glimmer,
# melt, gst-inspect-1.0 and Kdenlive's folders must show the transition with
# none of our environment variables set. The machine's own /usr is never
# touched.
# usage: package_test.sh BUILD_FOLDER
set -euo pipefail
build=$1
scratch=$(mktemp -d /tmp/glimmer-package-XXXXXX)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "package_test: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$scratch/cpack" > "$scratch/cpack.log" 2>&1) || { cat "$scratch/cpack.log"; fail "cpack failed"; }
renderer=$(ls "$scratch"/cpack/glimmerscatterweft_*.deb)
editors=$(ls "$scratch"/cpack/glimmerscatterweft-mlt_*.deb)
depends() { dpkg-deb -f "$1" Depends; }
depends "$renderer" | grep -qw ffmpeg || fail "the renderer's package does not depend on ffmpeg"
depends "$editors" | grep -qw libmlt7 || fail "the MLT part does not depend on libmlt7"
! depends "$editors" | grep -qE 'libobs|glimmerscatterweft|ffmpeg' || fail "the MLT part pulls in: $(depends "$editors")"
for obs in "$scratch"/cpack/obs-glimmerscatterweft_*.deb; do
  [ -e "$obs" ] || continue
  depends "$obs" | grep -qw libobs0 || fail "the OBS part does not depend on libobs0"
  ! depends "$obs" | grep -qE 'libmlt|glimmerscatterweft' || fail "the OBS part pulls in: $(depends "$obs")"
done
! dpkg-deb -c "$editors" | grep -qE 'bin/glimmer|obs-plugins|share/doc' || fail "the MLT part holds another part's files"
dpkg-deb -x "$renderer" "$scratch/root"
dpkg-deb -x "$editors" "$scratch/root"

mkdir -p "$scratch/home"
# Root mounts directly; anyone else gets a user namespace in which they may.
namespace=(unshare --mount)
[ "$(id -u)" -eq 0 ] || namespace=(unshare --map-root-user --mount)
"${namespace[@]}" env -i PATH=/usr/bin:/bin HOME="$scratch/home" bash -c '
  set -euo pipefail
  mount -t overlay overlay -o "lowerdir=$1/root/usr:/usr" /usr
  glimmer --help > /dev/null
  test -f /usr/share/doc/glimmerscatterweft/README.md
  melt -query transition=glimmerscatterweft > "$1/module.yml" 2>&1
  melt -query transition=frei0r.glimmerscatterweft > "$1/frei0r.yml" 2>&1
  gst-inspect-1.0 frei0r-mixer-glimmerscatterweft > "$1/gst.txt" 2>&1 || true
  ls /usr/share/kdenlive/transitions > "$1/kdenlive.txt"
' package-session "$scratch" || fail "the programs did not run over the unpacked package"

grep -q '^identifier: glimmerscatterweft$' "$scratch/module.yml" || { cat "$scratch/module.yml"; fail "melt does not find the MLT transition"; }
grep -q 'identifier: delayMap.source' "$scratch/module.yml" || fail "melt lists the transition without its fields"
grep -q '^identifier: frei0r.glimmerscatterweft$' "$scratch/frei0r.yml" || { cat "$scratch/frei0r.yml"; fail "melt does not find the frei0r plug-in"; }
grep -q 'Image A dissipates and reveals image B.' "$scratch/gst.txt" || { cat "$scratch/gst.txt"; fail "GStreamer does not find the mixer"; }
grep -qx glimmerscatterweft.xml "$scratch/kdenlive.txt" || fail "Kdenlive's folder has no description of the composition"
echo "package_test: $(basename "$editors") found by melt, GStreamer and Kdenlive's folder; glimmer and its docs in $(basename "$renderer")"
