#!/usr/bin/env bash
# Types a name through a real Japanese input method (fcitx5 with Mozc) into the name box of the
# desktop program and checks that the kana reading lands in ふりがな.
#
#   tools/ime-reading-test.sh [BUILD_DIR]      (default BUILD_DIR: build)
#
# The program runs in a fresh scratch program directory inside the session that
# tools/ime-session.sh sets up (Xvfb, a private D-Bus session, fcitx5, Mozc). Everything is
# done as a user would: the focus is moved with Enter (which moves on like Tab in this program), the
# name is typed as romaji and converted with space, the input method's Return commits it, and the
# program is left through the File menu, answering the close question with Return (yes), which
# saves the estimate. The table is then read back with `vendaro-cli dump`.
#
# Needs the Debian packages xvfb xdotool dbus fcitx5 fcitx5-mozc fcitx5-frontend-qt6, which
# tools/install-deps.sh installs. Every wait has a time
# limit; the exit status is non-zero when anything goes wrong or the reading is not the expected one.
# IME_TEST_SHOTS=DIR keeps screenshots of the steps there (needs imagemagick).
set -euo pipefail

# ---------------------------------------------------------------------------------------------
# Inside the session (run as the session user): drive the program in the program directory $2.
if [ "${1:-}" = "--inside" ]; then
  program=$2
  cd "$program"
  log=$program/vendaro.log
  shots=$program/shots
  fail() { echo "ime-reading-test: $*" >&2; exit 1; }
  # until_true SECONDS CMD...: polls CMD every 0.05 s until it succeeds or the time is up.
  until_true() {
    local end=$(($(date +%s) + $1))
    shift
    until "$@" >/dev/null 2>&1; do
      [ "$(date +%s)" -lt "$end" ] || return 1
      sleep 0.05
    done
  }
  shot() { if command -v import >/dev/null; then import -window root "$shots/$1.png" || true; fi; }
  keys() { xdotool key --delay 80 "$@"; sleep 0.4; }
  mkdir -p "$shots"

  ./vendaro >"$log" 2>&1 &
  app=$!
  # A copy of the program that is still running at the end is stopped (only this one, by its id).
  trap 'kill "$app" 2>/dev/null || true' EXIT
  wid=$(timeout 20 xdotool search --sync --onlyvisible --name '^Vendaro For Win32$' | head -1) ||
    fail "the main window did not appear within 20 s"
  [ -n "$wid" ] || fail "the main window did not appear within 20 s"
  # No window manager: focus the window directly.
  timeout 10 xdotool windowfocus --sync "$wid" || fail "could not focus the main window"
  sleep 1  # the first tick (start-up prompts, none in a prepared directory) and the first focus
  shot 1-started

  # From the first control that has the focus at start, Enter moves on to the name box.
  enters=()
  for _ in $(seq "$ENTERS_TO_NAME"); do enters+=(Return); done
  keys "${enters[@]}"
  shot 2-name-focused

  # The input method on, for the focused name box.
  until_true 10 sh -c '[ "$(fcitx5-remote)" != 0 ]' || fail "no input context has the focus (is the name box focused?)"
  fcitx5-remote -o
  until_true 10 sh -c '[ "$(fcitx5-remote)" = 2 ] && [ "$(fcitx5-remote -n)" = mozc ]' ||
    fail "could not switch Mozc on: state=$(fcitx5-remote) im=$(fcitx5-remote -n)"

  xdotool type --delay 80 yamada
  sleep 0.4
  keys space
  shot 3-converted
  keys Return  # the input method commits 山田
  fcitx5-remote -c  # input method off: the keys that follow go to the program
  until_true 10 sh -c '[ "$(fcitx5-remote)" = 1 ]' || fail "could not switch the input method off"
  shot 4-committed
  keys Return  # leaves the name box, which stores the name

  # Leave the program: File menu, Exit; the close question is answered with Return (yes).
  keys alt+f
  keys x
  shot 5-close-question
  keys Return
  for _ in $(seq 200); do
    kill -0 "$app" 2>/dev/null || break
    sleep 0.05
  done
  if kill -0 "$app" 2>/dev/null; then
    shot 6-still-open
    fail "the program did not end within 10 s of answering the close question"
  fi
  wait "$app" || fail "the program ended with status $?"
  trap - EXIT
  exit 0
fi

# ---------------------------------------------------------------------------------------------
# Outside: prepare the program directory, run the session, check the table.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "$root" && realpath -m "${1:-build}")
ime=$root/tools/ime-session.sh
for f in "$build/src/vendaro" "$build/src/vendaro-cli"; do
  [ -x "$f" ] || { echo "ime-reading-test: $f is missing: build first" >&2; exit 1; }
done

# The session runs as root's stand-in user (nobody, or IME_USER) when started as root, so the
# program directory, the program and this script are copied where that user can read them.
program=$(mktemp -d /tmp/ime-reading-test.XXXXXX)
keep=${IME_TEST_SHOTS:-}
cleanup() {
  if [ -n "$keep" ] && [ -d "$program/shots" ]; then
    mkdir -p "$keep"
    cp "$program"/shots/*.png "$program/vendaro.log" "$keep"/ 2>/dev/null || true
  fi
  rm -rf "$program"
}
trap cleanup EXIT
cp "$build/src/vendaro" "$program/vendaro"
cp "${BASH_SOURCE[0]}" "$program/drive.sh"
# The company information exists, so that no start-up prompt asks for it.
printf '%s\r\n' "" "Test Motors" "" "" "" "" "" >"$program/User.INI"
if [ "$(id -u)" = 0 ]; then
  user=${IME_USER:-nobody}
  chown -R "$(id -u "$user"):$(id -g "$user")" "$program"
fi

# Enter presses from the control focused at start to the name box YomiDBMemo1.
# The chain: the tab bar, 有効期限, 作成, 郵便番号, 電話番号, the address line, ふりがな, 氏名.
export ENTERS_TO_NAME=${ENTERS_TO_NAME:-8}
status=0
timeout -k 10 120 "$ime" env ENTERS_TO_NAME="$ENTERS_TO_NAME" bash "$program/drive.sh" --inside "$program" ||
  status=$?
if [ "$status" != 0 ]; then
  echo "ime-reading-test: FAILED: the session ended with status $status" >&2
  [ -f "$program/vendaro.log" ] && sed 's/^/  vendaro: /' "$program/vendaro.log" >&2
  exit 1
fi

# Read the estimate back: the row of the dump, by the header's field names.
dump=$(cd "$program" && "$build/src/vendaro-cli" dump)
field() {
  printf '%s\n' "$dump" | awk -v want="$1" '
    # Splits one CSV line (quoted fields with doubled quotes) into f[1..n].
    function split_csv(line, f,    n, i, c, q, cur) {
      n = 0; cur = ""; q = 0
      for (i = 1; i <= length(line); i++) {
        c = substr(line, i, 1)
        if (q) {
          if (c == "\"") { if (substr(line, i + 1, 1) == "\"") { cur = cur c; i++ } else q = 0 }
          else cur = cur c
        } else if (c == "\"") q = 1
        else if (c == ",") { f[++n] = cur; cur = "" }
        else cur = cur c
      }
      f[++n] = cur
      return n
    }
    NR == 1 { n = split_csv($0, h); for (i = 1; i <= n; i++) if (h[i] == want) col = i; next }
    NR == 2 && col { split_csv($0, r); print r[col] }'
}
rows=$(($(printf '%s\n' "$dump" | wc -l) - 1))
reading=$(field "ふりがな")
name=$(field "氏名")
if [ "$rows" = 1 ] && [ "$reading" = "やまだ" ] && [ "$name" = "山田" ]; then
  echo "ime-reading-test: ok: typing yamada, space, Return stored 氏名 $name with ふりがな $reading"
  exit 0
fi
echo "ime-reading-test: FAILED: expected one estimate with 氏名 山田 and ふりがな やまだ;" \
  "got $rows estimate(s), 氏名 '$name', ふりがな '$reading'" >&2
if [ -z "$name" ]; then
  echo "ime-reading-test: the name went elsewhere: has the focus order before YomiDBMemo1 changed?" \
    "($ENTERS_TO_NAME Enter presses lead to it from the control focused at start; IME_TEST_SHOTS=DIR shows the steps)" >&2
fi
exit 1
