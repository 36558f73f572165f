#!/usr/bin/env bash
# Discovery across interfaces and routers, end to end in network namespaces that this test
# creates and removes (root only). The tool's namespace has two interfaces, the default route on
# the first; a simulated controller sits behind each, and a third one sits one router further,
# behind the first controller's namespace:
#
#   tool e1 10.201.1.1/24 ---- c1 10.201.1.2 (forwards) 10.201.3.1 ---- c3 10.201.3.2
#   tool e2 10.201.2.1/24 ---- c2 10.201.2.2
#
# A search must find c1 and c2, each once with its own address, although 255.255.255.255 leaves
# by e1 only; c3 hears no broadcast and is found only when asked with --address. Given the
# window tests' binary, the window must list c3 too once its address is entered in its dialog
# of addresses behind a router. Nothing leaves these namespaces.
#
# Usage: namespaces_test.sh ORVUQ46_CLI ORVUSIM [UI_TESTS]. Exit 77 (skipped) when not root.
set -euo pipefail

cli=$1
sim=$2
ui=${3:-}

if [ "$(id -u)" -ne 0 ]; then
  echo "SKIPPED: creating network namespaces needs root (CI runs this test as root)"
  exit 77
fi
command -v ip >/dev/null || { echo "FAILED: the ip command (iproute2) is missing; run scripts/install-deps.sh"; exit 1; }

# Names of this run only, so that runs side by side do not meet.
tag="orvu$$$(od -An -N3 -tx1 /dev/urandom | tr -d ' \n')"
tool="$tag-tool" c1="$tag-c1" c2="$tag-c2" c3="$tag-c3"
work=$(mktemp -d)
sims=()

cleanup() {
  local pid ns
  for pid in "${sims[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${sims[@]}"; do wait "$pid" 2>/dev/null || true; done
  for ns in "$tool" "$c1" "$c2" "$c3"; do ip netns del "$ns" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP  # so that a stopped run still removes its namespaces

failures=0
fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}

# expect NAME ACTUAL EXPECTED: the whole output, compared exactly.
expect() {
  if [ "$2" != "$3" ]; then
    fail "$1"
    echo "--- expected"; printf '%s\n' "$3"
    echo "--- got"; printf '%s\n' "$2"
  fi
}

for ns in "$tool" "$c1" "$c2" "$c3"; do
  ip netns add "$ns"
  ip -n "$ns" link set lo up
done
# Each pair is created with its ends already in their namespaces: no name in the host's.
ip -n "$tool" link add e1 type veth peer name p1 netns "$c1"
ip -n "$tool" link add e2 type veth peer name p2 netns "$c2"
ip -n "$c1" link add r3 type veth peer name p3 netns "$c3"

# e1 with its broadcast address configured, e2 without: both ways must work.
ip -n "$tool" addr add 10.201.1.1/24 brd + dev e1
ip -n "$tool" addr add 10.201.2.1/24 dev e2
ip -n "$c1" addr add 10.201.1.2/24 brd + dev p1
ip -n "$c1" addr add 10.201.3.1/24 brd + dev r3
ip -n "$c2" addr add 10.201.2.2/24 brd + dev p2
ip -n "$c3" addr add 10.201.3.2/24 brd + dev p3
for link in "$tool e1" "$tool e2" "$c1 p1" "$c1 r3" "$c2 p2" "$c3 p3"; do
  set -- $link
  ip -n "$1" link set "$2" up
done
ip -n "$tool" route add default via 10.201.1.2 dev e1
ip -n "$c3" route add default via 10.201.3.1 dev p3
ip netns exec "$c1" sysctl -qw net.ipv4.ip_forward=1

# The premise: the limited broadcast leaves by the default route's interface only.
route=$(ip netns exec "$tool" ip route get 255.255.255.255)
case "$route" in
  *" dev e1 "*) ;;
  *) fail "255.255.255.255 should leave by e1: $route" ;;
esac

# One controller per namespace, serial 1, 2, 3, answering from its namespace's address.
serve() {
  local ns=$1 serial=$2 ip=$3 out="$work/sim$2.out"
  printf '{"devices": [{"type": 346, "serial": %d, "ip": "%s", "mode": "Serwis"}]}\n' \
    "$serial" "$ip" >"$work/c$serial.json"
  ip netns exec "$ns" "$sim" --idle 5 "$work/c$serial.json" >"$out" 2>&1 &
  sims+=($!)
  for _ in $(seq 400); do  # up to 20 s on a loaded machine
    grep -q "^orvusim: scenario" "$out" && return 0
    sleep 0.05
  done
  cat "$out"
  echo "FAILED: orvusim in $ns did not start"
  exit 1
}
serve "$c1" 1 10.201.1.2
serve "$c2" 2 10.201.2.2
serve "$c3" 3 10.201.3.2

in_tool() { ip netns exec "$tool" "$cli" "$@"; }

expect "discover --interfaces" "$(in_tool discover --interfaces)" \
"255.255.255.255:45389  broadcast on the interface the routing table picks
10.201.1.255:45389     broadcast on e1 (10.201.1.1/24)
10.201.2.255:45389     broadcast on e2 (10.201.2.1/24)"

expect "discover across both interfaces" "$(in_tool discover)" \
" K46_00001,  10.201.1.2,  Serwis
 K46_00002,  10.201.2.2,  Serwis"

expect "discover with --address beyond the router" "$(in_tool discover --address 10.201.3.2)" \
" K46_00001,  10.201.1.2,  Serwis
 K46_00002,  10.201.2.2,  Serwis
 K46_00003,  10.201.3.2,  Serwis"

# The routed controller is read as any other: a session and a full read through the router.
if shown=$(in_tool show K46_00003 --json --address 10.201.3.2 2>"$work/show.err"); then
  case "$shown" in
    *'"10.201.3.2"'*) ;;
    *) fail "show K46_00003 does not name its address: $shown" ;;
  esac
else
  fail "show K46_00003 --address 10.201.3.2: $(cat "$work/show.err")"
fi

# The window's counterpart of --address, on the same controllers: its own endpoint binds the
# controllers' port in the tool's namespace, which no CLI run holds any more.
window=""
if [ -n "$ui" ] && [ -e "$ui" ]; then
  window=" and by the window's list of addresses"
  held=$(ip netns exec "$tool" ss -Hlun 'sport = :45389')
  if [ -n "$held" ]; then
    fail "port 45389 is still taken in the tool's namespace, the window cannot search: $held"
  else
    mkdir -m 0700 "$work/xdg"  # Qt refuses a runtime folder others can read
    set +e
    ip netns exec "$tool" env QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work/xdg" \
      ORVU_ROUTED_CONTROLLER=10.201.3.2 "$ui" --gtest_filter='RoutedAddresses.*' >"$work/ui.out" 2>&1
    status=$?
    set -e
    # Passed means run and passed: a skip or a filter that matches nothing checks nothing.
    if [ "$status" != 0 ] || grep -q '^\[  SKIPPED \]' "$work/ui.out" ||
       ! grep -q '^\[       OK \] RoutedAddresses\.AControllerBehindARouterIsListedAfterOk' "$work/ui.out"; then
      fail "the window with 10.201.3.2 entered behind the router (status $status, passed only when run and OK):"
      cat "$work/ui.out"
    fi
  fi
fi

# The whole search fails only when no request can be sent at all: with every interface down
# nothing can, and the program says why.
ip -n "$tool" link set e1 down
ip -n "$tool" link set e2 down
set +e
in_tool discover >"$work/down.out" 2>"$work/down.err"
status=$?
set -e
[ "$status" = 12 ] || fail "discover with every interface down: status $status, $(cat "$work/down.err")"

if [ "$failures" -ne 0 ]; then
  for f in "$work"/sim*.out; do echo "--- $f"; cat "$f"; done
  exit 1
fi
echo "passed: both interfaces searched, each controller found once, the routed one by --address$window"
