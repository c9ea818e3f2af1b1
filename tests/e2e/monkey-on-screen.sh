#!/usr/bin/env bash
# The random-input driver (monkey.sh) keeps every point it sends the mouse to on the
# screen, also when the windows it aims at reach past the screen's edges. Runs the driver
# for a few seconds against stand-ins: an xdotool that reports every window at
# X=-200 Y=650, 400 x 300 on a 1280 x 800 screen and records each mouse move, a program
# that ends itself now and then (the driver starts it again), and a ping that always
# answers. Fails when a move is off the screen, or when there were none to check.
# Usage: monkey-on-screen.sh [SEED]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
seed="${1:-4711}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin" "$work/files" "$work/stubs"

cat > "$work/stubs/xdotool" <<'STUB'
#!/usr/bin/env bash
moves="$WORK/moves.log"
case "$1" in
  search) echo 4242 ;;
  getdisplaygeometry) echo "1280 800" ;;
  getwindowgeometry) printf 'WINDOW=4242\nX=-200\nY=650\nWIDTH=400\nHEIGHT=300\nSCREEN=0\n' ;;
  getwindowpid) exit 1 ;;
  getwindowname) echo Quorvel ;;
  mousemove)
    echo "$2 $3" >> "$moves"
    if ! [[ "$2" =~ ^[0-9]+$ && "$3" =~ ^[0-9]+$ ]] || (($2 >= 1280 || $3 >= 800)); then
      echo "off the screen: mousemove $2 $3" >> "$WORK/off-screen.log"
      exit 1
    fi ;;
esac
exit 0
STUB
printf '#!/bin/sh\nsleep 2\n' > "$work/bin/quorvel"
printf '#!/bin/sh\nexit 0\n' > "$work/stubs/xping"
chmod +x "$work/stubs/xdotool" "$work/bin/quorvel" "$work/stubs/xping"

WORK="$work" PATH="$work/stubs:$PATH" "$here/monkey.sh" --drive "$work/bin/quorvel" "$work/stubs/xping" 3 "$seed" \
  > "$work/driver.log" 2>&1 || { cat "$work/driver.log" >&2; echo "FAILED: the driver did not finish" >&2; exit 1; }
if [ -s "$work/off-screen.log" ]; then
  echo "FAILED (seed $seed):" >&2
  head -n 5 "$work/off-screen.log" >&2
  exit 1
fi
moves=$(wc -l < "$work/moves.log" 2>/dev/null || echo 0)
if [ "$moves" -lt 5 ]; then
  echo "FAILED: only $moves mouse moves to check" >&2
  exit 1
fi
echo "passed: $moves mouse moves, all on the screen"
