#!/bin/bash
# Runs a command in a private network namespace (only loopback, up) and a private mount namespace
# with its own X socket folder and an /etc/hosts that maps the program's service hosts to loopback
# addresses. Nothing inside can reach the internet, the machine's real hosts file or another run's
# X display.
#   TOLVANE_HOSTS="127.0.0.1 www.weather.gov;127.0.0.2 updates.example" in_sandbox.sh CMD...
# With TOLVANE_TEST_CA="host1 host2 ..." a throwaway CA, made afresh for the run, is the only one
# trusted inside; the test finds a server certificate for those hosts and its key in
# $TOLVANE_TEST_CA_DIR (server.pem, server.key).
set -euo pipefail
if [ "${TOLVANE_IN_SANDBOX:-}" != 1 ]; then
    export TOLVANE_IN_SANDBOX=1
    TOLVANE_OUTER_NAMESPACES="$(readlink /proc/self/ns/mnt) $(readlink /proc/self/ns/net)"
    export TOLVANE_OUTER_NAMESPACES
    exec unshare --net --mount --propagation private "$0" "$@"
fi
# Never touch the machine's own hosts file or X sockets: go on only in namespaces other than the
# ones the outer call ran in (TOLVANE_IN_SANDBOX set by hand does not get past this).
inner_mnt=$(readlink /proc/self/ns/mnt)
inner_net=$(readlink /proc/self/ns/net)
read -r outer_mnt outer_net <<<"${TOLVANE_OUTER_NAMESPACES:-}"
if [ -z "$inner_mnt" ] || [ -z "$inner_net" ] || [ -z "${outer_mnt:-}" ] || [ -z "${outer_net:-}" ] ||
    [ "$inner_mnt" = "$outer_mnt" ] || [ "$inner_net" = "$outer_net" ]; then
    echo "in_sandbox.sh: not in private mount and network namespaces; refusing" >&2
    exit 1
fi
ip link set lo up
mkdir -p /tmp/.X11-unix
mount -t tmpfs -o mode=1777 tmpfs /tmp/.X11-unix
hosts=$(mktemp /tmp/tolvane-hosts.XXXXXX)
{
    echo "127.0.0.1 localhost"
    tr ';' '\n' <<<"${TOLVANE_HOSTS:-}"
} >"$hosts"
chmod 644 "$hosts" # mktemp makes it readable by root only; a program run as a user must resolve too
mount --bind "$hosts" /etc/hosts
rm -f "$hosts" # the mount keeps it
if [ -n "${TOLVANE_TEST_CA:-}" ]; then
    # A private tmpfs over /etc/ssl/certs: the machine's own folder is never written, and the CA
    # with its keys is gone when the sandbox ends.
    mount -t tmpfs -o mode=755 tmpfs /etc/ssl/certs
    ca=/etc/ssl/certs/tolvane-test
    mkdir -m 700 "$ca"
    key=(-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes)
    read -r -a ca_hosts <<<"$TOLVANE_TEST_CA"
    sans=$(printf 'DNS:%s,' "${ca_hosts[@]}")
    printf 'basicConstraints=CA:FALSE\nkeyUsage=digitalSignature\nextendedKeyUsage=serverAuth\nsubjectAltName=%s\n' \
        "${sans%,}" >"$ca/server.ext"
    openssl req -x509 "${key[@]}" -keyout "$ca/ca.key" -out "$ca/ca.pem" -days 2 -subj "/CN=Tolvane throwaway test CA" \
        -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign 2>/dev/null
    openssl req "${key[@]}" -keyout "$ca/server.key" -out "$ca/server.csr" -subj "/CN=${ca_hosts[0]}" 2>/dev/null
    openssl x509 -req -in "$ca/server.csr" -CA "$ca/ca.pem" -CAkey "$ca/ca.key" -CAcreateserial \
        -out "$ca/server.pem" -days 2 -extfile "$ca/server.ext" 2>/dev/null
    # Qt's OpenSSL backend reads the hashed folder, OpenSSL's own tools the bundle: both are there.
    cp "$ca/ca.pem" /etc/ssl/certs/tolvane-test-ca.pem
    cp "$ca/ca.pem" /etc/ssl/certs/ca-certificates.crt
    openssl rehash /etc/ssl/certs 2>/dev/null
    export TOLVANE_TEST_CA_DIR="$ca"
fi
# No stray proxy settings from the caller's environment.
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY no_proxy NO_PROXY
exec "$@"
