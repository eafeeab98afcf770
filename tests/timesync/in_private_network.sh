#!/bin/sh
# Runs a command in a private network and mount namespace: only a loopback interface, and the given
# hosts file in place of /etc/hosts. Exits 77 (skipped) when this machine cannot make namespaces.
#
#     in_private_network.sh <hosts file> <command> [arguments...]
set -eu
hosts=$1
shift
if ! unshare --net --mount true 2>/dev/null; then
    echo "private network namespaces are unavailable here: skipped" >&2
    exit 77
fi
exec unshare --net --mount --propagation private sh -c '
    set -eu
    ip link set lo up
    mount --bind "$0" /etc/hosts
    exec "$@"' "$hosts" "$@"
