#!/usr/bin/env bash
# Runs commands on a private test network: two network namespaces joined by a veth pair,
# so that broadcasts to 255.255.255.255 stay between them and never reach a real LAN.
#
#   scripts/private-net.sh [--a 'COMMAND A'] [--two-networks] [--a2 'COMMAND A2'] -- COMMAND B ...
#
# COMMAND A (a shell command, optional) runs in namespace A in the background; COMMAND B runs
# in namespace B in the foreground, and its exit status is this script's. Both see
#   TW_NS_A, TW_NS_B      the namespace names (run more there with: ip netns exec "$TW_NS_A" ...)
#   TW_ADDR_A, TW_ADDR_B  their addresses
# --two-networks (or --a2) adds a second unit network: namespace A2 joined to B by a second veth
# pair (veth1 in B). B's default route stays on the first link, like a laptop whose Wi-Fi holds
# the default route while a cable goes to the camera switch. COMMAND A2 runs in A2; all see
#   TW_NS_A2, TW_ADDR_A2, TW_ADDR_B2
# Both namespaces, and everything still running in them, are removed afterwards, also when a
# command fails or this script is interrupted. Needs root: without root, iproute2 or network
# namespaces it says so and exits 77, which CTest counts as a skipped test.
set -euo pipefail

command_a=""
command_a2=""
two_networks=""
while [ $# -gt 0 ]; do
  case "$1" in
    --a) command_a=$2; shift 2 ;;
    --a2) command_a2=$2; two_networks=1; shift 2 ;;
    --two-networks) two_networks=1; shift ;;
    --) shift; break ;;
    *) break ;;
  esac
done
if [ $# -eq 0 ]; then
  echo "usage: $0 [--a 'COMMAND A'] -- COMMAND B [ARGS...]" >&2
  exit 2
fi
skip() { echo "private-net: $*" >&2; exit 77; }
[ "$(id -u)" -eq 0 ] || skip "the private test network needs root (ip netns); run as root or with sudo"
command -v ip >/dev/null || skip "'ip' (iproute2) is missing"

# Unique per run, so two runs never share a namespace.
tag="tw$$$(printf '%04x' $((RANDOM % 65536)))"
export TW_NS_A="${tag}a" TW_NS_B="${tag}b"
export TW_ADDR_A=10.213.0.1 TW_ADDR_B=10.213.0.2
export TW_NS_A2="${tag}c" TW_ADDR_A2=10.214.0.1 TW_ADDR_B2=10.214.0.2

cleanup() {
  local status=$?
  trap - EXIT INT TERM
  for ns in "$TW_NS_A" "$TW_NS_B" "$TW_NS_A2"; do
    if ip netns list | grep -qw "$ns"; then
      pids=$(ip netns pids "$ns" 2>/dev/null || true)
      [ -n "$pids" ] && kill $pids 2>/dev/null || true
      sleep 0.2
      pids=$(ip netns pids "$ns" 2>/dev/null || true)
      [ -n "$pids" ] && kill -9 $pids 2>/dev/null || true
      ip netns del "$ns" 2>/dev/null || true
    fi
  done
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

fail() { echo "private-net: cannot make the test network: $*" >&2; exit 1; }

ip netns add "$TW_NS_A" || skip "this machine allows no network namespaces (ip netns add)"
ip netns add "$TW_NS_B" || fail "ip netns add $TW_NS_B"
ip -n "$TW_NS_A" link add veth0 type veth peer name veth0 netns "$TW_NS_B" ||
  fail "veth pair"
for side in A B; do
  ns_var="TW_NS_$side"; addr_var="TW_ADDR_$side"
  ns=${!ns_var}
  ip -n "$ns" link set lo up
  ip -n "$ns" addr add "${!addr_var}/24" dev veth0
  ip -n "$ns" link set veth0 up
  # The limited broadcast needs a route; the only way out of the namespace is the veth.
  ip -n "$ns" route add default dev veth0
done

if [ -n "$two_networks" ]; then
  ip netns add "$TW_NS_A2" || fail "ip netns add $TW_NS_A2"
  ip -n "$TW_NS_A2" link add veth0 type veth peer name veth1 netns "$TW_NS_B" ||
    fail "second veth pair"
  ip -n "$TW_NS_A2" link set lo up
  ip -n "$TW_NS_A2" addr add "$TW_ADDR_A2/24" dev veth0
  ip -n "$TW_NS_A2" link set veth0 up
  ip -n "$TW_NS_A2" route add default dev veth0
  # No default route here: only a datagram sent through veth1 itself reaches A2.
  ip -n "$TW_NS_B" addr add "$TW_ADDR_B2/24" dev veth1
  ip -n "$TW_NS_B" link set veth1 up
fi

if [ -n "$command_a2" ]; then
  ip netns exec "$TW_NS_A2" bash -c "$command_a2" &
fi
if [ -n "$command_a" ]; then
  ip netns exec "$TW_NS_A" bash -c "$command_a" &
fi
ip netns exec "$TW_NS_B" "$@"
