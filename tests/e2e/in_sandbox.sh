#!/bin/bash
# Runs a command in a private network namespace (only loopback, up) and a private mount namespace
# with its own X socket folder and an /etc/hosts that maps the program's service hosts to loopback
# addresses. Nothing inside can reach the internet, the machine's real hosts file or another run's
# X display.
#   TOLVANE_HOSTS="127.0.0.1 www.weather.gov;127.0.0.2 updates.example" in_sandbox.sh CMD...
set -euo pipefail
if [ "${TOLVANE_IN_SANDBOX:-}" != 1 ]; then
    export TOLVANE_IN_SANDBOX=1
    exec unshare --net --mount --propagation private "$0" "$@"
fi
ip link set lo up
mkdir -p /tmp/.X11-unix
mount -t tmpfs -o mode=1777 tmpfs /tmp/.X11-unix
hosts=$(mktemp /tmp/tolvane-hosts.XXXXXX)
{
    echo "127.0.0.1 localhost"
    tr ';' '\n' <<<"${TOLVANE_HOSTS:-}"
} >"$hosts"
mount --bind "$hosts" /etc/hosts
rm -f "$hosts" # the mount keeps it
# No stray proxy settings from the caller's environment.
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY no_proxy NO_PROXY
exec "$@"
