#!/usr/bin/env bash
# The whole job by keyboard alone, as a new user does it, on a private Xvfb display with no window
# manager: nobody but the program hands the keyboard to a window. Keys go in through the X server
# (xdotool), so a key reaches only the window that really holds the keyboard. A first start asks for
# the server, then the sample workbook's groups, ledgers and vouchers are posted, the report saved,
# the settings dialog and the About box (with a box of its own) opened and closed, and the window
# closed. Each step says what it checked; the last line says how many passed.
#
#   tests/app/view/keyboard-walk.sh [--wm COMMAND] [build folder]     (default: build)
#
# --wm starts a window manager first (e.g. --wm openbox), to walk the same steps with one.
# Needs the build (quibo, quibo-tally-sim) and the Debian packages xvfb and xdotool. Not run by CTest:
# the window's own keyboard tests run there.
set -uo pipefail
cd "$(dirname "$0")/../../.."
root=$PWD
wm=""
if [ "${1:-}" = "--wm" ]; then
  wm=$2
  shift 2
fi
build=${1:-build}
quibo="$root/$build/src/quibo"
sim="$root/$build/tools/tally-sim/quibo-tally-sim"
workbook="$root/demo/QuiboSample.xls"
company="Kaveri Distributors Pvt Ltd"
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "keyboard-walk: $tool is missing (apt-get install xvfb xdotool)" >&2; exit 1; }
done
[ -x "$quibo" ] && [ -x "$sim" ] || { echo "keyboard-walk: build quibo and quibo-tally-sim first" >&2; exit 1; }

scratch=$(mktemp -d)
xvfb_pid="" wm_pid="" sim_pid="" quibo_pid=""
cleanup() {
  for pid in $quibo_pid $sim_pid $wm_pid $xvfb_pid; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT

# -displayfd: the server picks a free display and writes its number once it accepts clients.
exec 3>"$scratch/display"
Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 2>"$scratch/xvfb.err" &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 100); do [ -s "$scratch/display" ] && break; sleep 0.1; done
export DISPLAY=":$(tr -d '\n' <"$scratch/display")"
if [ -n "$wm" ]; then
  $wm >"$scratch/wm.err" 2>&1 &
  wm_pid=$!
  sleep 1
fi

"$sim" --port 0 --company "$company" --log "$scratch/requests.log" >"$scratch/sim.out" 2>&1 &
sim_pid=$!
port=""
for _ in $(seq 100); do
  port=$(sed -n 's/^listening on 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$scratch/sim.out")
  [ -n "$port" ] && break
  sleep 0.1
done

export QT_QPA_PLATFORM=xcb QUIBO20_HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/config"
export XDG_RUNTIME_DIR="$scratch/runtime"
mkdir -p "$QUIBO20_HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
"$quibo" >"$scratch/quibo.out" 2>"$scratch/quibo.err" &
quibo_pid=$!

steps=0 passed=0
# The title of the window that holds the keyboard ("(nobody)" when no window does).
holder() { xdotool getwindowfocus getwindowname 2>/dev/null || echo "(nobody)"; }
requests() { grep -c '^#[0-9]' "$scratch/requests.log" 2>/dev/null || true; }
keys() { xdotool key --delay 60 "$@"; }
typed() { xdotool type --delay 15 "$1"; }
# step "what" "window that must hold the keyboard" [extra check, a shell condition]
step() {
  local what=$1 want=$2 check=${3:-true} now=""
  steps=$((steps + 1))
  for _ in $(seq 50); do
    now=$(holder)
    [ "$now" = "$want" ] && eval "$check" && break
    sleep 0.1
  done
  if [ "$now" = "$want" ] && eval "$check"; then
    passed=$((passed + 1))
    printf '%2d ok    %s  [keyboard: %s]\n' "$steps" "$what" "$now"
  else
    printf '%2d FAIL  %s  [keyboard: %s, wanted %s; check: %s]\n' "$steps" "$what" "$now" "$want" "$check"
  fi
}
main="Quibo 2.0.0"
settings="Set Tally Server Address & port"
confirm="Quibo 1.0. Continue?"
posted="Excel to Tally"

step "a first start opens the settings dialog, which has the keyboard" "$settings"
keys ctrl+a; typed 127.0.0.1; keys Tab ctrl+a; typed "$port"; keys Return
step "address and port typed, Enter: the main window has the keyboard" "$main" \
  "grep -q PortNo=$port '$XDG_CONFIG_HOME/Quibo20/Quibo20.conf'"
before=$(requests)
keys Tab Return
step "Tab to Refresh, Enter: the company list is asked for" "$main" "[ \$(requests) -ge $((before + 4)) ]"
keys Tab Tab; typed "$workbook"; keys Tab
step "Tab to the path box, the workbook typed, Tab: its sheets are listed" "$main"

# One sheet: from the path box's button, Tab thrice reaches the import-type list (GR1, Post, list).
post_sheet() {
  local sheet=$1 from=$2
  if [ "$from" = button ]; then keys Tab Tab Tab; else keys Tab; fi
  typed "$sheet"
  step "$sheet chosen in the import-type list: it loads" "$main"
  keys shift+Tab Return
  step "Shift+Tab to Post, Enter: the confirmation has the keyboard" "$confirm"
  local before
  before=$(requests)
  keys Return
  step "Enter (Yes): $sheet is posted and the closing box has the keyboard" "$posted" \
    "[ \$(requests) -gt $before ]"
  keys Return
  step "Enter closes it: the main window has the keyboard back" "$main"
}
post_sheet LEDGERGROUPS button
before=$(requests)
keys Return
step "Enter again reaches Post, still focused: the confirmation again" "$confirm"
keys Escape
step "Escape (No): nothing is posted, the main window has the keyboard" "$main" "[ \$(requests) -eq $before ]"
post_sheet LEDGERS list
post_sheet TRANSACTIONS list

keys alt Down Return
step "Alt, Down, Enter: Main > Save Report; its box has the keyboard" "Quibo"
keys Return
step "Enter closes it: the main window has the keyboard, the report is saved" "$main" \
  "ls '$QUIBO20_HOME' | grep -q '^$company .*\\.txt\$'"
keys alt Down Down Return
step "Alt, Down, Down, Enter: Main > Options has the keyboard" "$settings"
before=$(requests)
keys Escape
step "Escape cancels: the refresh runs, the main window has the keyboard" "$main" \
  "[ \$(requests) -ge $((before + 4)) ]"
keys alt Right Down Down Return
step "Alt, Right, Down, Down, Enter: Help > About has the keyboard" "About Quibo"
keys Return
step "Enter on OK closes it: the main window has the keyboard" "$main"
keys alt Right Down Down Return
step "Help > About again" "About Quibo"
keys alt+s
step "Alt+S (System Info): its box has the keyboard" "Quibo"
keys Return
step "Enter closes that box: the About box has the keyboard back" "About Quibo"
keys Escape
step "Escape closes the About box: the main window has the keyboard" "$main"
# Close by its access key.
keys alt+c
status="still running"
for _ in $(seq 50); do kill -0 "$quibo_pid" 2>/dev/null || break; sleep 0.1; done
if ! kill -0 "$quibo_pid" 2>/dev/null; then
  wait "$quibo_pid"
  status=$?
fi
quibo_pid=""
steps=$((steps + 1))
if [ "$status" = 0 ]; then
  passed=$((passed + 1))
  printf '%2d ok    %s\n' "$steps" "Alt+C (Close): the program ends with status 0"
else
  printf '%2d FAIL  %s (status %s)\n' "$steps" "Alt+C (Close): the program ends" "$status"
  cat "$scratch/quibo.err"
fi
echo "keyboard-walk: $passed of $steps steps passed ($(requests) requests to the server, ${wm:-no} window manager)"
[ "$passed" = "$steps" ]
