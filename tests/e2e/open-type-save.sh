#!/usr/bin/env bash
# End to end in a real window: starts quorvel under a virtual X server, opens a PHP file
# through the open dialog, types a line at its end, saves and quits through the File
# menu. The saved file must equal the original plus the typed line, byte for byte, in
# the file's own line-end style (LF and CR LF files are both tried).
#
# Every step waits for what the program must have done before the next one (its window,
# the keyboard focus, the dialog, the title naming the file, the saved bytes, the menu, its
# end), bounded by two minutes each: a busy machine makes the run slower, never wrong.
# Usage: open-type-save.sh PATH/TO/quorvel
# Exits 77 (skipped) when no virtual X server or xdotool is available.
set -euo pipefail

# ---- One session on the virtual X server: drive WORK FILE EXPECTED ----------------------
if [ "${1:-}" = "--drive" ]; then
  work="$2" file="$3" expected="$4"
  wait_for() {  # a condition (shell code), checked until it holds
    local until=$((SECONDS + 120))
    until eval "$1"; do
      if [ $SECONDS -ge $until ]; then
        echo "gave up waiting for: $1" >&2
        return 1
      fi
      sleep 0.1
    done
  }
  # The program's shown windows besides its main window (a dialog, an open menu).
  other_window() { xdotool search --onlyvisible --pid "$pid" 2>/dev/null | grep -v -x "$main" | tail -n 1; }
  focused() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }

  cd "$work"
  "$work/bin/quorvel" > "$work/quorvel.log" 2>&1 &
  pid=$!
  main=""
  wait_for 'main="$(xdotool search --onlyvisible --pid "$pid" --name "^Quorvel\$" | head -n 1)"; [ -n "$main" ]'
  # A click in the editor gives the window the keyboard (there is no window manager).
  xdotool mousemove 400 200 click 1
  wait_for 'focused "$main"'
  xdotool key ctrl+o
  wait_for 'dialog="$(other_window)"; [ -n "$dialog" ] && focused "$dialog"'
  xdotool type --delay 20 "$file"
  xdotool key Return
  wait_for '[ -z "$(other_window)" ] && [ "$(xdotool getwindowname "$main")" = "Quorvel - \"$(basename "$file")\"" ]'
  xdotool key ctrl+End Return
  xdotool type --delay 20 'echo "typed";'
  xdotool key ctrl+s
  wait_for 'cmp -s "$file" "$expected"'
  # File menu, then up to its last item (Exit).
  xdotool mousemove 20 8 click 1
  wait_for '[ -n "$(other_window)" ]'
  xdotool key Up Return
  if ! wait_for '! kill -0 "$pid" 2>/dev/null'; then
    echo "quorvel did not quit" >&2
    kill "$pid"
    exit 1
  fi
  wait "$pid"
  exit 0
fi

# ---- The test -----------------------------------------------------------------------------
program="$1"
for tool in xvfb-run xdotool; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIPPED: $tool is not installed" >&2
    exit 77
  fi
done

# The tests run offscreen elsewhere; this one needs the X server.
export QT_QPA_PLATFORM=xcb
# The X keyboard library reads its strings with a bounded strndup, which the strict string
# checks of a sanitized build take for an overflow.
if [ -n "${ASAN_OPTIONS:-}" ]; then
  export ASAN_OPTIONS="$ASAN_OPTIONS:strict_string_checks=0"
fi
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# The program keeps settings.ini in its own folder: it runs from a copy of its own.
mkdir -p "$work/bin"
cp "$program" "$work/bin/quorvel"
cp -r "$(dirname "$program")/languages" "$work/bin/"

run_case() {  # name, original bytes (printf format), expected bytes (printf format)
  local name="$1" original="$2" expected="$3"
  local file="$work/$name"
  printf "$original" > "$file"
  printf "$expected" > "$work/expected"
  if ! xvfb-run -a -s "-screen 0 1280x800x24" "$here/open-type-save.sh" --drive "$work" "$file" "$work/expected"; then
    echo "FAILED ($name): the session did not complete" >&2
    cat "$work/quorvel.log" >&2 || true
    exit 1
  fi
  if ! cmp -s "$file" "$work/expected"; then
    echo "FAILED ($name): the saved file differs" >&2
    od -c "$file" | head -20 >&2
    exit 1
  fi
  echo "passed: $name"
}

run_case unix.php '<?php\necho 1;\n' '<?php\necho 1;\necho "typed";\n'
run_case dos.php '<?php\r\necho 1;\r\n' '<?php\r\necho 1;\r\necho "typed";\r\n'
