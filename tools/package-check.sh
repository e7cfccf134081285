#!/usr/bin/env bash
# Builds the Debian package kvado_<version>_amd64.deb, makes a fresh Debian 12 with
# debootstrap in a folder, installs the package there with `apt-get install ./kvado_*.deb`
# (inside a chroot) and starts kvado under Xvfb, from a folder without Kvado.txt as the
# desktop menu would. It passes when the main window and the splash window appear, no error
# box came before them and F1 shows the installed user guide in its window; kvado-cli must
# solve an example, and the desktop entry, the icons, the guide and the man pages must be
# where a desktop looks for them.
#
# Needs root (debootstrap, chroot, mounts) and the Debian mirror; takes a few minutes.
# Not part of ./test.sh for that reason.
#
#   tools/package-check.sh
#   KVADO_CHECK_DIR=/var/tmp/kvado-check KEEP=1 tools/package-check.sh   # keep the chroot
#   KVADO_DEBIAN_MIRROR=http://mirror.example/debian tools/package-check.sh
set -euo pipefail
cd "$(dirname "$0")/.."

MIRROR=${KVADO_DEBIAN_MIRROR:-http://deb.debian.org/debian}
SECURITY=${KVADO_DEBIAN_SECURITY_MIRROR:-http://deb.debian.org/debian-security}
WORK=${KVADO_CHECK_DIR:-/var/tmp/kvado-package-check}
BUILD=${KVADO_PACKAGE_BUILD:-build/package}
ROOT=$WORK/root

say() { printf '\n== %s\n' "$*"; }
fail() { printf 'package-check: FAILED: %s\n' "$*" >&2; exit 1; }

[ "$(id -u)" = 0 ] || fail "run as root (debootstrap, chroot and mounts need it)"

# What the host needs besides the build's own packages.
source tools/setup.sh
host_missing=()
for p in debootstrap dpkg-dev file; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || host_missing+=("$p")
done
if [ ${#host_missing[@]} -gt 0 ]; then
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${host_missing[@]}"
fi

say "Building the package (Release, $BUILD)"
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DKVADO_TESTS=OFF -DKVADO_BENCH=OFF \
    -DKVADO_SANITIZE=OFF >/dev/null
cmake --build "$BUILD" -j2
rm -f "$BUILD"/kvado_*.deb
(cd "$BUILD" && cpack -G DEB >/dev/null)
deb=$(ls "$BUILD"/kvado_*_amd64.deb)
echo "$deb"
dpkg-deb -f "$deb" Package Version Architecture Depends Recommends

unmount_all() {
    for m in "$ROOT/dev/pts" "$ROOT/dev/shm" "$ROOT/proc" "$ROOT/sys"; do
        if mountpoint -q "$m" 2>/dev/null; then umount -l "$m" || true; fi
    done
}
cleanup() {
    unmount_all
    if [ "${KEEP:-0}" != 1 ]; then rm -rf "$WORK"; fi
}
trap cleanup EXIT

say "Making a fresh Debian 12 in $ROOT"
unmount_all
rm -rf "$WORK"
mkdir -p "$WORK"
debootstrap --variant=minbase bookworm "$ROOT" "$MIRROR" >"$WORK/debootstrap.log" 2>&1 ||
    { tail -20 "$WORK/debootstrap.log"; fail "debootstrap could not make the Debian 12 system"; }
cat >"$ROOT/etc/apt/sources.list" <<SOURCES
deb $MIRROR bookworm main
deb $MIRROR bookworm-updates main
deb $SECURITY bookworm-security main
SOURCES
cp /etc/resolv.conf "$ROOT/etc/resolv.conf"
mount -t proc proc "$ROOT/proc"
mount -t sysfs sys "$ROOT/sys"
mkdir -p "$ROOT/dev/pts" "$ROOT/dev/shm"
mount -t devpts -o newinstance devpts "$ROOT/dev/pts"
mount -t tmpfs tmpfs "$ROOT/dev/shm"

in_root() { chroot "$ROOT" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 \
    DEBIAN_FRONTEND=noninteractive "$@"; }

say "apt-get install ./$(basename "$deb")"
cp "$deb" "$ROOT/root/"
in_root apt-get update -qq
(cd "$ROOT/root" && in_root sh -c "cd /root && apt-get install -y -q ./$(basename "$deb")") \
    >"$WORK/install.log" 2>&1 || { tail -30 "$WORK/install.log"; fail "the package did not install"; }
tail -3 "$WORK/install.log"

say "What a desktop finds"
for f in /usr/bin/kvado /usr/bin/kvado-cli /usr/share/applications/kvado.desktop \
         /usr/share/icons/hicolor/scalable/apps/kvado.svg \
         /usr/share/icons/hicolor/48x48/apps/kvado.png \
         /usr/share/icons/hicolor/256x256/apps/kvado.png \
         /usr/share/kvado/help/index.html /usr/share/kvado/Kvado.txt \
         /usr/share/kvado/examples/primer.dat /usr/share/man/man1/kvado-cli.1.gz \
         /usr/share/doc/kvado/copyright /usr/share/mime/packages/kvado.xml; do
    [ -f "$ROOT$f" ] || fail "$f is missing"
    echo "  $f"
done
# Everything the programs and the window plugin link must come with the package's
# dependencies alone, before the check's own tools bring in anything more.
for bin in /usr/bin/kvado /usr/bin/kvado-cli \
           /usr/lib/x86_64-linux-gnu/qt6/plugins/platforms/libqxcb.so; do
    [ -e "$ROOT$bin" ] || fail "$bin is missing"
    if in_root ldd "$bin" | grep 'not found'; then fail "$bin lacks a library"; fi
done
[ -f "$ROOT/usr/share/qt6/translations/qtbase_ru.qm" ] || fail "Qt's Russian translation is missing"

say "kvado-cli solves an example"
in_root sh -c 'mkdir -p /root/cli && cd /root/cli && cp /usr/share/kvado/examples/primer.* . &&
               kvado-cli solve primer.dat --json' | tee "$WORK/cli.json"
grep -q '"status": "optimal"' "$WORK/cli.json" || fail "kvado-cli did not solve primer.dat"

say "kvado starts under Xvfb"
# openbox stands for the desktop's window manager: without one no window is ever activated,
# and the main window shows the splash window on its activation.
in_root apt-get install -y -q --no-install-recommends xvfb xauth xdotool x11-utils openbox \
    >"$WORK/tools.log" 2>&1 || { tail -20 "$WORK/tools.log"; fail "could not install Xvfb"; }
cat >"$ROOT/root/window-check.sh" <<'CHECK'
#!/bin/sh
# Inside the chroot, under xvfb-run. A desktop menu starts the program in the home folder,
# where there is no Kvado.txt. The "browser" only notes what F1 asked it to open.
cd /root
openbox >/dev/null 2>&1 &
sleep 2
cat >/root/browser.sh <<'BROWSER'
#!/bin/sh
echo "$@" >/root/browser-opened.txt
BROWSER
chmod +x /root/browser.sh
BROWSER=/root/browser.sh kvado >/root/kvado.out 2>&1 &
pid=$!
status=0
main=$(timeout 60 xdotool search --sync --onlyvisible --name 'Решение задачи линейного программирования' | head -1)
if [ -n "$main" ]; then echo "main window: found"; else echo "main window: NOT found"; status=1; fi
splash=$(timeout 20 xdotool search --sync --onlyvisible --name 'Линейная оптимизация' | head -1)
if [ -n "$splash" ]; then echo "splash window: found"; else echo "splash window: NOT found"; status=1; fi
# A message box carries the program's name; at start only an error would bring one.
if xdotool search --onlyvisible --name '^Kvado$' >/dev/null; then
    echo "an error box came up at start"; status=1
fi
xwininfo -root -tree | grep -E '^ +0x[0-9a-f]+ "' | grep -v -i openbox
sleep 1
cp /tmp/Xvfb_screen0 /root/screen.xwd 2>/dev/null
# F1 in the main window opens the installed user guide in the desktop's browser.
if [ -n "$main" ] && [ -n "$splash" ]; then
    xdotool windowactivate --sync "$splash" key Return
    sleep 1
    xdotool windowactivate --sync "$main" key F1
    # The guide is shown in a window of the program: no browser is asked for it.
    guide=$(timeout 20 xdotool search --sync --onlyvisible --name 'Руководство пользователя' | head -1)
    if [ -n "$guide" ]; then echo "guide window: found"; else echo "guide window: NOT found"; status=1; fi
    [ -s /root/browser-opened.txt ] && { echo "F1 asked a browser: $(cat /root/browser-opened.txt)"; status=1; }
fi
kill "$pid" 2>/dev/null
exit $status
CHECK
chmod +x "$ROOT/root/window-check.sh"
set +e
in_root xvfb-run -a -s "-screen 0 1280x800x24 -fbdir /tmp" /root/window-check.sh
status=$?
set -e
[ -s "$ROOT/root/kvado.out" ] && { echo "kvado's output:"; cat "$ROOT/root/kvado.out"; }
# Xvfb keeps its screen as an XWD file; ImageMagick, when present, makes a PNG of it.
if [ -f "$ROOT/root/screen.xwd" ] && [ -x /usr/bin/convert ]; then
    /usr/bin/convert "xwd:$ROOT/root/screen.xwd" "$BUILD/package-check.png" &&
        echo "screen: $BUILD/package-check.png"
fi
[ "$status" = 0 ] || fail "kvado did not come up as it should"
say "package-check: kvado installs and starts on a fresh Debian 12"
