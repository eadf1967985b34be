# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the bulk-lab benches. The kernel's ARP table is one for all namespaces: the NMS host and
# the element host each hold an entry per element, and past gc_thresh3 (1,024 by default) new entries
# fail ("neighbor table overflow") and those elements never answer. raise_neighbour_limits COUNT
# raises the limits for the run where we may; restore_neighbour_limits puts them back.
neigh=/proc/sys/net/ipv4/neigh/default
saved_neighbour_limits=()
raise_neighbour_limits() {
  local count="$1"
  if [ -w "$neigh/gc_thresh3" ] && [ "$(cat "$neigh/gc_thresh3")" -lt $((4 * count)) ]; then
    saved_neighbour_limits=("$(cat "$neigh/gc_thresh1")" "$(cat "$neigh/gc_thresh2")" "$(cat "$neigh/gc_thresh3")")
    echo $((2 * count)) >"$neigh/gc_thresh1"
    echo $((3 * count)) >"$neigh/gc_thresh2"
    echo $((4 * count)) >"$neigh/gc_thresh3"
  fi
}
restore_neighbour_limits() {
  if [ "${#saved_neighbour_limits[@]}" -eq 3 ]; then
    echo "${saved_neighbour_limits[0]}" >"$neigh/gc_thresh1"
    echo "${saved_neighbour_limits[1]}" >"$neigh/gc_thresh2"
    echo "${saved_neighbour_limits[2]}" >"$neigh/gc_thresh3"
  fi
}
