#!/usr/bin/env bash
# End to end in a real window: starts quorvel under a virtual X server, opens a PHP file
# through the open dialog, types a line at its end, saves and quits through the File
# menu. The saved file must equal the original plus the typed line, byte for byte, in
# the file's own line-end style (LF and CR LF files are both tried).
# Usage: open-type-save.sh PATH/TO/quorvel
# Exits 77 (skipped) when no virtual X server or xdotool is available.
set -euo pipefail
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
  cat > "$work/drive.sh" <<DRIVE
#!/usr/bin/env bash
set -euo pipefail
cd "$work"
"$work/bin/quorvel" > "$work/quorvel.log" 2>&1 &
pid=\$!
timeout 60 xdotool search --sync --name '^Quorvel\$' > /dev/null
sleep 1
# A click in the editor gives the window the keyboard (there is no window manager).
xdotool mousemove 400 200 click 1
xdotool key ctrl+o
sleep 2
xdotool type --delay 20 "$file"
xdotool key Return
sleep 2
xdotool key ctrl+End Return
xdotool type --delay 20 'echo "typed";'
xdotool key ctrl+s
sleep 1
# File menu, then up to its last item (Exit).
xdotool mousemove 20 8 click 1
sleep 1
xdotool key Up Return
for _ in \$(seq 1 100); do
  kill -0 \$pid 2>/dev/null || break
  sleep 0.2
done
if kill -0 \$pid 2>/dev/null; then
  echo "quorvel did not quit" >&2
  kill \$pid
  exit 1
fi
wait \$pid
DRIVE
  chmod +x "$work/drive.sh"
  if ! xvfb-run -a -s "-screen 0 1280x800x24" "$work/drive.sh"; then
    echo "FAILED ($name): the session did not complete" >&2
    cat "$work/quorvel.log" >&2 || true
    exit 1
  fi
  if ! cmp -s "$file" <(printf "$expected"); then
    echo "FAILED ($name): the saved file differs" >&2
    od -c "$file" | head -20 >&2
    exit 1
  fi
  echo "passed: $name"
}

run_case unix.php '<?php\necho 1;\n' '<?php\necho 1;\necho "typed";\n'
run_case dos.php '<?php\r\necho 1;\r\n' '<?php\r\necho 1;\r\necho "typed";\r\n'
