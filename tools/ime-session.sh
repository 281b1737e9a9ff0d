#!/usr/bin/env bash
# Runs a command inside a desktop session with a real Japanese input method: a private X server
# (Xvfb), a private D-Bus session, the Mozc conversion server and fcitx5 with its Mozc engine.
#
#   tools/ime-session.sh COMMAND [ARG...]
#
# COMMAND runs with DISPLAY, DBUS_SESSION_BUS_ADDRESS, XDG_RUNTIME_DIR, HOME and QT_IM_MODULE=fcitx
# set for that session; it focuses its own window and switches the input method on
# (`fcitx5-remote -o`). The script ends every process it started and exits with COMMAND's status.
#
# Mozc does not run as root: started as root, the whole session (COMMAND included) runs as the
# user IME_USER (default nobody), so COMMAND and what it reads must be readable by that user. Each
# session has a fresh home directory, so Mozc has learnt nothing and converts by its dictionary.
#
# Debian packages: xvfb xdotool dbus fcitx5 fcitx5-mozc fcitx5-frontend-qt6 (tools/install-deps.sh).
set -euo pipefail

[ $# -gt 0 ] || { echo "usage: $0 COMMAND [ARG...]" >&2; exit 2; }

if [ "$(id -u)" = 0 ]; then
  user=${IME_USER:-nobody}
  uid=$(id -u "$user")
  gid=$(id -g "$user")
  [ "$uid" != 0 ] || { echo "ime-session: IME_USER must not be root" >&2; exit 2; }
  as_user=(setpriv --reuid="$uid" --regid="$gid" --clear-groups)
else
  uid=$(id -u)
  gid=$(id -g)
  as_user=()
fi

work=$(mktemp -d /tmp/ime-session.XXXXXX)
mkdir -p "$work/home/.config/fcitx5" "$work/home/.config/mozc" "$work/runtime"
chmod 700 "$work/runtime"

# One input method group: the plain keyboard while the input method is off, Mozc while it is on.
cat >"$work/home/.config/fcitx5/profile" <<'EOF'
[Groups/0]
Name=Default
Default Layout=us
DefaultIM=mozc

[Groups/0/Items/0]
Name=keyboard-us
Layout=

[Groups/0/Items/1]
Name=mozc
Layout=

[GroupOrder]
0=Default
EOF
# Mozc's settings with its incognito mode on (field 20 of its settings record, true), so nothing
# typed in one session changes the order of candidates in the next.
printf '\xa0\x01\x01' >"$work/home/.config/mozc/config1.db"
# A session bus that starts no service by itself: a stray fcitx5-remote call must not start a
# second fcitx5.
cat >"$work/bus.conf" <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=$work</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
EOF
chown -R "$uid:$gid" "$work"

display=""
bus=""
# session_env CMD...: CMD as the session user, with only the session's environment.
session_env() {
  "${as_user[@]}" env -i HOME="$work/home" PATH=/usr/local/bin:/usr/bin:/bin LANG=C.UTF-8 \
    XDG_RUNTIME_DIR="$work/runtime" DISPLAY="$display" DBUS_SESSION_BUS_ADDRESS="$bus" \
    QT_IM_MODULE=fcitx GTK_IM_MODULE=fcitx XMODIFIERS=@im=fcitx QT_QPA_PLATFORM=xcb "$@"
}

pids=()
finish() {
  local i
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap finish EXIT
trap 'exit 143' TERM INT HUP

# wait_for SECONDS WHAT CMD...: polls CMD until it succeeds, or fails naming WHAT.
wait_for() {
  local end=$(($(date +%s) + $1)) what=$2
  shift 2
  until "$@" >/dev/null 2>&1; do
    if [ "$(date +%s)" -ge "$end" ]; then
      echo "ime-session: $what did not come up" >&2
      for log in "$work"/*.log; do sed "s|^|  $(basename "$log"): |" "$log" >&2; done
      return 1
    fi
    sleep 0.05
  done
}

# The X server writes its display number on file descriptor 3 when it is ready.
session_env Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
wait_for 15 "the X server" grep -q . "$work/display"
display=":$(head -1 "$work/display")"

session_env dbus-daemon --config-file="$work/bus.conf" --nofork --print-address=3 3>"$work/bus" \
  >"$work/dbus.log" 2>&1 &
pids+=($!)
wait_for 15 "the D-Bus session" grep -q . "$work/bus"
bus=$(head -1 "$work/bus")

# The conversion server first, so that fcitx5's Mozc engine connects to this one instead of
# starting one of its own that nobody would stop.
session_env /usr/lib/mozc/mozc_server >"$work/mozc.log" 2>&1 &
pids+=($!)
wait_for 15 "the Mozc server" test -s "$work/home/.config/mozc/.session.ipc"

session_env fcitx5 --disable=all --enable=xcb,dbus,dbusfrontend,keyboard,classicui,mozc >"$work/fcitx5.log" 2>&1 &
pids+=($!)
on_bus() {
  session_env dbus-send --session --print-reply=literal --dest=org.freedesktop.DBus / \
    org.freedesktop.DBus.NameHasOwner string:org.fcitx.Fcitx5 | grep -q true
}
wait_for 20 "fcitx5 on the session bus" on_bus
wait_for 20 "fcitx5's Mozc engine" grep -q 'Loaded addon mozc' "$work/fcitx5.log"

set +e
session_env "$@"
status=$?
set -e
exit $status
