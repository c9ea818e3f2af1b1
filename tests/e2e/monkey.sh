#!/usr/bin/env bash
# Random input to the real program in a real window: starts quorvel under a virtual X
# server and gives it, for SECONDS, random keys, typing, clicks, double clicks, drags, wheel
# turns and menu walks, pastes among them. Every window that opens besides the main window
# (dialogs, message boxes, menus) gets a few random keys and clicks of its own and is then
# closed with Escape, so the run goes on. The run fails on a sanitizer report, a crash
# (the program ending with a signal or a failure status) or a main window that stops
# answering the window system's ping. The program quitting normally (File > Exit) is
# fine: it is started again. A copy started by File > New is ended at once.
#
# The input follows from the seed, printed first: a failure replays, as far as timing
# allows, with the same seed (scripts/monkey.sh SECONDS SEED). Every point the mouse is
# sent to lies on the screen, also where a window reaches past its edge. Waits for the
# program (its window, a dialog closing, an answer to the ping) are bounded generously, so
# that a busy machine only slows the run: they end early as soon as the program is there.
#
# Usage: monkey.sh PATH/TO/quorvel PATH/TO/qv_xping [SECONDS [SEED]]
# Exits 77 (skipped) when no virtual X server or xdotool is available.
set -uo pipefail

if [ "${1:-}" = "--drive" ]; then
  mode=drive
  shift
else
  mode=start
fi
program="$1"
xping="$2"
seconds="${3:-30}"
seed="${4:-$(( $(date +%s%N) / 1000 % 1000000 ))}"

if [ "$mode" = start ]; then
  for tool in xvfb-run Xvfb xdotool; do
    if ! command -v "$tool" >/dev/null; then
      echo "SKIPPED: $tool is not installed" >&2
      exit 77
    fi
  done
  here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
  export QT_QPA_PLATFORM=xcb
  # Sanitizer settings as the tests take them, also when run by hand. The X keyboard
  # library reads its strings with a bounded strndup, which the strict string checks of a
  # sanitized build take for an overflow.
  export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}:strict_string_checks=0"
  export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$here/../lsan.supp:print_suppressions=0}"
  export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
  work="$(mktemp -d)"
  trap 'rm -rf "$work"' EXIT
  # The program keeps settings.ini in its own folder: it runs from a copy of its own.
  mkdir -p "$work/bin" "$work/files" "$work/stubs"
  cp "$program" "$work/bin/quorvel"
  cp -r "$(dirname "$program")/languages" "$work/bin/"
  printf '<?php\n// sample\nfunction add($a, $b) {\n  return $a + $b;\n}\necho add(1, 2);\n?>\n' \
    > "$work/files/sample.php"
  printf '<html>\r\n<head><title>t</title></head>\r\n<body><b>bold</b></body>\r\n</html>\r\n' \
    > "$work/files/page.html"
  printf 'a { color: #FF0000; }\nbody { margin: 0; }' > "$work/files/style.css"
  # Help links and the browser preview must not start a browser on this machine.
  printf '#!/bin/sh\nexit 0\n' > "$work/stubs/xdg-open"
  chmod +x "$work/stubs/xdg-open"
  echo "monkey: seed $seed, $seconds s (again: scripts/monkey.sh $seconds $seed)"
  WORK="$work" PATH="$work/stubs:$PATH" xvfb-run -a -s "-screen 0 1280x800x24" \
    "$here/monkey.sh" --drive "$program" "$xping" "$seconds" "$seed"
  status=$?
  if [ $status -ne 0 ]; then
    echo "FAILED: seed $seed (again: scripts/monkey.sh $seconds $seed)" >&2
    echo "---- the last steps:" >&2
    tail -n 25 "$work/steps.log" >&2 2>/dev/null
    echo "---- the program's output:" >&2
    grep -v '^QStandardPaths' "$work/quorvel.log" | tail -n 80 >&2
  fi
  exit $status
fi

# ---- The driver, on the virtual X server ------------------------------------------------------

work="$WORK"
RANDOM=$seed
log="$work/quorvel.log"
steps="$work/steps.log"
: > "$log"
: > "$steps"
pid=0
main=0
starts=0

step() { echo "$*" >> "$steps"; }
pick() { local items=("$@"); echo "${items[RANDOM % ${#items[@]}]}"; }

report_found() {
  grep -q -E 'ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:|SUMMARY: (Address|Undefined|Leak)' "$log"
}

fail() {
  echo "FAILED: $*" >&2
  [ "$pid" -ne 0 ] && kill -0 "$pid" 2>/dev/null && kill "$pid" 2>/dev/null
  exit 1
}

# The screen's size, and a point "X Y" moved onto it.
read -r screen_width screen_height <<< "$(xdotool getdisplaygeometry 2>/dev/null)"
[[ "${screen_width:-}" =~ ^[0-9]+$ && "${screen_height:-}" =~ ^[0-9]+$ ]] || { screen_width=1280; screen_height=800; }
on_screen() {
  local x=$1 y=$2
  ((x < 0)) && x=0
  ((y < 0)) && y=0
  ((x >= screen_width)) && x=$((screen_width - 1))
  ((y >= screen_height)) && y=$((screen_height - 1))
  echo "$x $y"
}

start_program() {
  starts=$((starts + 1))
  step "start #$starts"
  (cd "$work/files" && exec "$work/bin/quorvel" >> "$log" 2>&1) &
  pid=$!
  main=""
  local until=$((SECONDS + 120))
  while [ $SECONDS -lt $until ]; do
    main="$(xdotool search --onlyvisible --pid "$pid" --name '^Quorvel' 2>/dev/null | head -n 1)"
    [ -n "$main" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.2
  done
  [ -n "$main" ] || fail "the program showed no window"
  sleep 0.5
  xdotool windowfocus "$main" 2>/dev/null
  xdotool mousemove 400 200 click 1
}

# The program ended: fine when it quit by itself without a report, else the end of the run.
check_program() {
  report_found && fail "a sanitizer report"
  if ! kill -0 "$pid" 2>/dev/null; then
    wait "$pid"
    local status=$?
    report_found && fail "a sanitizer report"
    [ $status -eq 0 ] || fail "the program ended with status $status"
    step "the program quit"
    start_program
  fi
}

# A program that hangs never answers; one on a loaded machine answers late.
check_answers() {
  "$xping" "$main" 60000 || { kill -0 "$pid" 2>/dev/null && fail "the main window stopped answering"; }
}

# Windows of the program besides the main one: dialogs, message boxes, open menus.
other_windows() {
  xdotool search --onlyvisible --pid "$pid" 2>/dev/null | grep -v -x "$main"
}

# Copies that File > New started: ended at once.
end_other_copies() {
  local w other
  for w in $(xdotool search --onlyvisible --name '^Quorvel' 2>/dev/null); do
    other="$(xdotool getwindowpid "$w" 2>/dev/null)" || continue
    if [ -n "$other" ] && [ "$other" != "$pid" ]; then
      step "end the copy $other"
      kill "$other" 2>/dev/null
    fi
  done
}

random_text() {
  local chars='abcdefghijklmnopqrstuvwxyzABCDEFGHIJ0123456789 <>{}()[];:$"/\=.,-_+*#&!?'
  local n=$((1 + RANDOM % 8)) s="" i
  for ((i = 0; i < n; i++)); do s+="${chars:RANDOM % ${#chars}:1}"; done
  printf '%s' "$s"
}

random_key() {
  pick Return BackSpace Delete Tab shift+Tab Left Right Up Down Home End Prior Next \
    ctrl+Home ctrl+End shift+Left shift+Right shift+Up shift+Down shift+End ctrl+shift+End \
    ctrl+Left ctrl+Right alt+shift+Down alt+shift+Right Insert \
    ctrl+z ctrl+y ctrl+a ctrl+c ctrl+x ctrl+v shift+Insert ctrl+Insert shift+Delete \
    ctrl+space F5 ctrl+F1 F1 ctrl+shift+1 ctrl+shift+2 ctrl+1 ctrl+2 ctrl+0 \
    ctrl+f ctrl+r ctrl+g ctrl+o ctrl+s ctrl+shift+s ctrl+p F12 ctrl+n Escape space
}

# A point inside window W, "X Y", moved onto the screen where W reaches past its edge.
point_in() {
  local X=0 Y=0 WIDTH=1 HEIGHT=1
  eval "$(xdotool getwindowgeometry --shell "$1" 2>/dev/null | grep -E '^(X|Y|WIDTH|HEIGHT)=-?[0-9]+$')"
  on_screen "$((X + RANDOM % (WIDTH > 0 ? WIDTH : 1)))" "$((Y + RANDOM % (HEIGHT > 0 ? HEIGHT : 1)))"
}

# Waits until window W is no longer shown; false when it still is after a second.
gone() {
  local until=$((SECONDS + 1))
  while xdotool search --onlyvisible --pid "$pid" 2>/dev/null | grep -q -x "$1"; do
    [ $SECONDS -ge $until ] && return 1
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.1
  done
  return 0
}

# A few random inputs to window W (a dialog, a box or a menu), then Escape until only the
# main window is left. Some windows take two Escapes (the first closes a list or ends an
# input); one that is still open after twelve and a minute does not close.
use_and_close_others() {
  local w rounds=0 n i give_up=$((SECONDS + 60))
  while true; do
    w="$(other_windows | tail -n 1)"
    [ -z "$w" ] && return 0
    rounds=$((rounds + 1))
    if [ $rounds -gt 12 ] && [ $SECONDS -ge $give_up ]; then
      step "window $w stays open after Escape"
      fail "a window that Escape does not close: $(xdotool getwindowname "$w" 2>/dev/null)"
    fi
    xdotool windowfocus "$w" 2>/dev/null
    if [ $rounds -le 2 ] && [ $((RANDOM % 2)) -eq 0 ]; then
      n=$((1 + RANDOM % 3))
      for ((i = 0; i < n; i++)); do
        case $((RANDOM % 4)) in
          0) local t; t="$(random_text)"; step "dialog $w: type $t"; xdotool type --delay 5 -- "$t" ;;
          1) local k; k="$(pick Tab Down Up space Return BackSpace)"; step "dialog $w: key $k"; xdotool key "$k" ;;
          *) local p; p="$(point_in "$w")"; step "dialog $w: click $p"; xdotool mousemove $p click 1 ;;
        esac
        sleep 0.1
        check_program
      done
      continue
    fi
    step "dialog $w: Escape"
    xdotool key Escape
    gone "$w" || step "window $w still shown a second after Escape"
    check_program
  done
}

act() {
  local x y p k t n i
  read -r x y <<< "$(point_in "$main")"
  case $((RANDOM % 20)) in
    0 | 1 | 2 | 3)
      t="$(random_text)"; step "type $t"; xdotool type --delay 5 -- "$t" ;;
    4 | 5 | 6 | 7 | 8)
      k="$(random_key)"; step "key $k"; xdotool key "$k" ;;
    9 | 10 | 11)
      k="$(pick 1 1 1 1 2 3)"; step "click $k at $x $y"; xdotool mousemove "$x" "$y" click "$k" ;;
    12)
      step "double click at $x $y"; xdotool mousemove "$x" "$y" click --repeat 2 --delay 80 1 ;;
    13 | 14)
      step "drag from $x $y"
      xdotool mousemove "$x" "$y" mousedown 1
      n=$((1 + RANDOM % 3))
      for ((i = 0; i < n; i++)); do
        read -r x y <<< "$(point_in "$main")"
        step "  to $x $y"; xdotool mousemove "$x" "$y"; sleep 0.05
      done
      xdotool mouseup 1 ;;
    15)
      k="$(pick 4 5)"; n=$((1 + RANDOM % 5)); step "wheel $k x$n at $x $y"
      xdotool mousemove "$x" "$y" click --repeat "$n" "$k" ;;
    *)
      # A walk in the menus: open one in the menu bar, move, then choose or leave.
      read -r x y <<< "$(xdotool getwindowgeometry --shell "$main" | grep -E '^(X|Y)=' | cut -d= -f2 | tr '\n' ' ')"
      read -r x y <<< "$(on_screen "$((${x:-0} + 5 + RANDOM % 470))" "$((${y:-0} + 8))")"
      step "menu at $x $y"; xdotool mousemove "$x" "$y" click 1
      sleep 0.15
      n=$((RANDOM % 9))
      for ((i = 0; i < n; i++)); do
        k="$(pick Down Down Down Up Right Left)"; step "  $k"; xdotool key "$k"
      done
      k="$(pick Return Escape Escape)"; step "  $k"; xdotool key "$k" ;;
  esac
}

start_program
end=$((SECONDS + seconds))
count=0
while [ $SECONDS -lt $end ]; do
  act
  count=$((count + 1))
  sleep 0.05
  check_program
  end_other_copies
  use_and_close_others
  [ $((count % 10)) -eq 0 ] && check_answers
done
check_answers
step "quit"
# File > Exit (the last item of the first menu), once nothing else is open and the File
# menu is seen open; a save prompt is answered No.
use_and_close_others
xdotool windowfocus "$main" 2>/dev/null
for _ in 1 2 3; do
  kill -0 "$pid" 2>/dev/null || break
  xdotool mousemove 12 8 click 1
  until=$((SECONDS + 5))
  while [ -z "$(other_windows)" ] && [ $SECONDS -lt $until ] && kill -0 "$pid" 2>/dev/null; do sleep 0.1; done
  [ -n "$(other_windows)" ] && break
done
xdotool key Up Return
until=$((SECONDS + 60))
while [ $SECONDS -lt $until ]; do
  kill -0 "$pid" 2>/dev/null || break
  w="$(other_windows | tail -n 1)"
  if [ -n "$w" ]; then
    xdotool windowfocus "$w" 2>/dev/null
    xdotool key alt+n
  fi
  sleep 0.2
done
if kill -0 "$pid" 2>/dev/null; then
  step "the program did not quit: ended"
  kill "$pid"
fi
wait "$pid"
report_found && fail "a sanitizer report"
echo "monkey: $count inputs in $seconds s, $starts start(s), no fault"
exit 0
