#!/bin/bash
# Runs a command in a private network namespace (only loopback, up) and a private mount namespace
# whose /etc/hosts maps the program's service hosts to loopback addresses. Nothing can reach the
# internet or the machine's real hosts file from inside.
#   TOLVANE_HOSTS="127.0.0.1 www.weather.gov;127.0.0.2 updates.example" in_sandbox.sh CMD...
set -euo pipefail
if [ "${TOLVANE_IN_SANDBOX:-}" != 1 ]; then
    export TOLVANE_IN_SANDBOX=1
    exec unshare --net --mount --propagation private "$0" "$@"
fi
ip link set lo up
hosts=$(mktemp /tmp/tolvane-hosts.XXXXXX)
{
    echo "127.0.0.1 localhost"
    tr ';' '\n' <<<"${TOLVANE_HOSTS:-}"
} >"$hosts"
mount --bind "$hosts" /etc/hosts
# No stray proxy settings from the caller's environment.
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY no_proxy NO_PROXY
exec "$@"
