#!/usr/bin/env bash
# The Debian package, checked from outside: built with cpack, installed with apt-get into a fresh
# Debian 12 root (debootstrap, minbase), its menu entry started as a dealer would under a real X
# server, vendaro-cli run there, the menu entry, metainfo and manual pages validated, and the
# package removed again with the dealer's book left in place.
#
#   tests/package/install_test.sh BUILD_DIR SOURCE_DIR
#
# Needs root (chroot, mounting /proc), debootstrap and Debian's archive. The bootstrapped root and
# the downloaded packages are kept in BUILD_DIR/package-test, so only the first run downloads;
# every run installs into a fresh copy of the untouched root. Exits 77 (skipped) with a line
# saying why where no root can be made.
set -euo pipefail

build=$(realpath "$1")
source=$(realpath "$2")
cache="$build/package-test"
mirror=http://deb.debian.org/debian
suite=bookworm
base="$cache/debian12-minbase.tar.gz"
archives="$cache/apt-archives"

skip() { echo "SKIPPED the package install test: $*"; exit 77; }
fail() { echo "FAILED: $*" >&2; exit 1; }
step() { echo "== $* ($(date +%T))"; }

[ "$(id -u)" -eq 0 ] || skip "it needs root for chroot and mount"
command -v debootstrap > /dev/null || skip "debootstrap is not installed (tools/install-deps.sh installs it)"
for tool in cpack desktop-file-validate appstreamcli groff Xvfb xdotool; do
  command -v "$tool" > /dev/null || fail "$tool is missing (tools/install-deps.sh installs it)"
done

step "starting"
mkdir -p "$cache/roots" "$archives"

# Roots left by a run that was killed: unmount their /proc before removing them.
for old in "$cache"/roots/*; do
  [ -d "$old" ] || continue
  mountpoint -q "$old/proc" && umount -l "$old/proc"
  rm -rf --one-file-system "$old"
done

root=$(mktemp -d "$cache/roots/debian12-XXXXXX")
xvfb_pid=""
program_pid=""
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2> /dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2> /dev/null || true
  mountpoint -q "$root/proc" && umount -l "$root/proc"
  rm -rf --one-file-system "$root"
}
trap cleanup EXIT

# Waits up to $1 seconds for the command after it to succeed.
wait_for() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.2
  done
}

step "building the package"
(cd "$build" && cpack -G DEB --config CPackConfig.cmake > "$cache/cpack.log") || { cat "$cache/cpack.log"; fail "cpack"; }
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
deb="$build/package/vendaro_${version}_amd64.deb"
[ -f "$deb" ] || fail "cpack did not write $deb"

if [ ! -f "$base" ]; then
  step "bootstrapping Debian 12 (minbase) from $mirror, once"
  fresh="$cache/bootstrap"
  rm -rf --one-file-system "$fresh"
  if ! debootstrap --variant=minbase "$suite" "$fresh" "$mirror" > "$cache/debootstrap.log" 2>&1; then
    tail -5 "$cache/debootstrap.log"
    rm -rf --one-file-system "$fresh"
    skip "debootstrap could not make a Debian 12 root (see $cache/debootstrap.log)"
  fi
  # The sources of an ordinary installation: the release, its updates and security updates.
  cat > "$fresh/etc/apt/sources.list" << EOF
deb $mirror $suite main
deb $mirror $suite-updates main
deb http://deb.debian.org/debian-security $suite-security main
EOF
  rm -f "$fresh"/var/cache/apt/archives/*.deb
  tar -C "$fresh" -czf "$base.tmp" . && mv "$base.tmp" "$base"
  rm -rf --one-file-system "$fresh"
fi

step "a fresh root"
tar -C "$root" -xzf "$base"
mount -t proc proc "$root/proc" 2> /dev/null || skip "this machine does not let it mount /proc in a root (a container without CAP_SYS_ADMIN)"
cp "$deb" "$root/tmp/"
cp -p "$archives"/*.deb "$root/var/cache/apt/archives/" 2> /dev/null || true
in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 "$@"; }
# A root thrown away after the test: dpkg need not sync every file it unpacks.
echo force-unsafe-io > "$root/etc/dpkg/dpkg.cfg.d/unsafe-io"
chroot "$root" useradd --create-home --uid 1000 --shell /bin/sh dealer
# A command as the dealer, in a login-like environment without XDG_DATA_HOME.
as_dealer() {
  chroot --userspec=1000:1000 "$root" /usr/bin/env -i HOME=/home/dealer PATH=/usr/bin:/bin LANG=C.UTF-8 "$@"
}

step "apt-get install ./$(basename "$deb")"
in_root apt-get update -qq > "$cache/apt.log" 2>&1 || { cat "$cache/apt.log"; fail "apt-get update in the root"; }
step "apt-get install"
in_root sh -c "cd /tmp && DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends ./$(basename "$deb")" \
  >> "$cache/apt.log" 2>&1 || { tail -30 "$cache/apt.log"; fail "apt-get install of the package"; }
cp -p -n "$root"/var/cache/apt/archives/*.deb "$archives/" 2> /dev/null || true

step "what the package put in place"
for f in /usr/bin/vendaro /usr/bin/vendaro-cli /usr/share/vendaro/Vendaro.html "/usr/share/vendaro/白地.jpg" \
         /usr/share/applications/jp.vendaro.Vendaro.desktop /usr/share/metainfo/jp.vendaro.Vendaro.metainfo.xml \
         /usr/share/icons/hicolor/scalable/apps/vendaro.svg /usr/share/icons/hicolor/48x48/apps/vendaro.png \
         /usr/share/man/man1/vendaro-cli.1.gz /usr/share/man/man1/vendaro.1.gz; do
  [ -f "$root$f" ] || fail "the package did not install $f"
done
# What the programs load by name comes with the declared dependencies.
[ -f "$root/usr/share/qt6/translations/qtbase_ja.qm" ] || fail "Qt's Japanese translation is not installed"
ls "$root"/usr/share/fonts/opentype/noto/NotoSansCJK-*.ttc > /dev/null 2>&1 || fail "no Japanese font is installed"

step "validating the menu entry, the metainfo and the manual pages"
desktop="$root/usr/share/applications/jp.vendaro.Vendaro.desktop"
desktop-file-validate "$desktop" || fail "desktop-file-validate"
grep -qx 'Name\[ja\]=見積書' "$desktop" || fail "the menu entry is not named 見積書"
grep -qx 'Categories=Office;' "$desktop" || fail "the menu entry is not in Office"
appstreamcli validate --no-net "$root/usr/share/metainfo/jp.vendaro.Vendaro.metainfo.xml" || fail "appstreamcli validate"
for page in vendaro vendaro-cli; do
  warnings=$(zcat "$root/usr/share/man/man1/$page.1.gz" | LC_ALL=C.UTF-8 groff -k -man -Tutf8 -ww -z 2>&1)
  [ -z "$warnings" ] || fail "the manual page $page(1) does not format cleanly: $warnings"
done
manual=$(zcat "$root/usr/share/man/man1/vendaro-cli.1.gz" | LC_ALL=C.UTF-8 groff -k -man -Tutf8 -P-cbou 2> /dev/null)
grep -q "EXIT STATUS" <<< "$manual" || fail "vendaro-cli(1) does not document its exit codes"
# Every command vendaro-cli lists is in its manual page.
commands=$(as_dealer vendaro-cli --help | sed -n 's/^  vendaro-cli \([a-z][a-z]*\( [a-z][a-z]*\)\?\).*/\1/p' | sort -u)
[ -n "$commands" ] || fail "vendaro-cli --help lists no commands"
while read -r command; do
  grep -q "^       $command" <<< "$manual" || fail "vendaro-cli(1) does not describe '$command'"
done <<< "$commands"

step "versions"
[ "$(as_dealer vendaro-cli --version)" = "vendaro-cli $version" ] || fail "vendaro-cli --version: $(as_dealer vendaro-cli --version)"
[ "$(as_dealer vendaro --version)" = "vendaro $version" ] || fail "vendaro --version: $(as_dealer vendaro --version)"

step "the menu entry starts the program in the per-user directory"
book="$root/home/dealer/.local/share/vendaro"
# Reached over TCP from inside the root, as from any other machine.
rm -f "$cache/display"
Xvfb -displayfd 3 -listen tcp -ac -screen 0 1024x768x24 3> "$cache/display" 2> "$cache/xvfb.log" &
xvfb_pid=$!
wait_for 30 grep -q '[0-9]' "$cache/display" || fail "Xvfb did not start: $(cat "$cache/xvfb.log")"
display=$(tr -dc 0-9 < "$cache/display")
exec_line=$(sed -n 's/^Exec=//p' "$desktop" | head -1 | sed 's/ *%[fFuUick]//g')
[ -n "$exec_line" ] || fail "the menu entry has no Exec line"
chroot --userspec=1000:1000 "$root" /usr/bin/env -i HOME=/home/dealer PATH=/usr/bin:/bin LANG=C.UTF-8 \
  DISPLAY="127.0.0.1:$display" sh -c "cd / && exec $exec_line" > "$cache/program.log" 2>&1 &
program_pid=$!
window_shown() { DISPLAY=":$display" xdotool search --name "Vendaro For Win32" > /dev/null 2>&1; }
wait_for 60 window_shown || fail "the main window did not appear: $(cat "$cache/program.log")"
[ -f "$book/CARDATA/Estimate.DB" ] || fail "the program did not make its book in ~/.local/share/vendaro"
[ -f "$book/白地.jpg" ] || fail "the per-user directory did not receive the blank form"
[ "$(readlink "/proc/$program_pid/cwd")" = "$book" ] || fail "the program runs in $(readlink "/proc/$program_pid/cwd")"
[ "$(stat -c %u:%a "$book")" = "1000:700" ] ||
  fail "the per-user directory is $(stat -c %u:%a "$book"), not the dealer's own"
kill "$program_pid"
wait "$program_pid" 2> /dev/null || true
program_pid=""
kill "$xvfb_pid"
xvfb_pid=""

step "vendaro-cli in the same book"
as_dealer sh -c "cd /tmp && vendaro-cli backup /home/dealer/empty.csv" > "$cache/backup.log" 2>&1 ||
  fail "the backup of the empty book: $(cat "$cache/backup.log")"
backup="$root/home/dealer/empty.CSV"
[ -f "$backup" ] || fail "the backup wrote no file: $(cat "$cache/backup.log")"
# An empty book backs up as the header and one line of empty values.
[ "$(wc -l < "$backup")" -eq 2 ] || fail "the backup of the empty book has $(wc -l < "$backup") lines"
[ ! -e "$root/tmp/CARDATA" ] || fail "vendaro-cli made a book in its working directory"
as_dealer vendaro-cli add "氏名=山田　太郎" > /dev/null || fail "vendaro-cli add"
as_dealer vendaro-cli dump | grep -q "山田　太郎" || fail "vendaro-cli dump does not show the estimate it added"

step "apt-get remove leaves the dealer's book"
before=$(cd "$book" && find . -type f -exec sha256sum {} + | sort)
in_root env DEBIAN_FRONTEND=noninteractive apt-get remove -y -q vendaro >> "$cache/apt.log" 2>&1 || fail "apt-get remove"
[ ! -e "$root/usr/bin/vendaro" ] || fail "apt-get remove left /usr/bin/vendaro"
after=$(cd "$book" && find . -type f -exec sha256sum {} + | sort)
[ "$before" = "$after" ] || fail "apt-get remove changed the dealer's book"
[ -f "$backup" ] || fail "apt-get remove took the backup"

step "done"
echo "PASSED the package install test"
