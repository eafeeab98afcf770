#!/usr/bin/env python3
"""A daytime service (RFC 867) for end-to-end tests: every connection gets one NIST time-code line the
moment it is accepted, whatever the client sends, and is closed at once, as NIST's servers do.

    daytime_server.py [--port 13] [--line "60000 23-02-25 12:00:00 50 0 0 754.9 UTC(NIST) *"]
                      [--hold SECONDS] [--log FILE]

With --hold the connection is kept open after the line, for up to SECONDS, until the client hangs up.
Each accepted connection is logged as one line in FILE: "connection", or with --hold "connection,
client hung up" or "connection, held to the end" (the client was still there when the hold ran out).
"""

import argparse
import select
import socket

parser = argparse.ArgumentParser()
parser.add_argument("--port", type=int, default=13)
parser.add_argument("--line", default="60000 23-02-25 12:00:00 50 0 0 754.9 UTC(NIST) *")
parser.add_argument("--hold", type=float, default=0)
parser.add_argument("--log")
args = parser.parse_args()


def hold(client, seconds):
    """Keeps the connection open until the client hangs up or the time runs out; tells which."""
    while True:
        readable, _, _ = select.select([client], [], [], seconds)
        if not readable:
            return "held to the end"
        try:
            if not client.recv(4096):
                return "client hung up"
        except OSError:
            return "client hung up"


listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
listener.bind(("127.0.0.1", args.port))
listener.listen(8)
answer = ("\n" + args.line + "\n").encode("ascii")
while True:
    client, _ = listener.accept()
    entry = "connection"
    try:
        client.sendall(answer)
        if args.hold > 0:
            entry += ", " + hold(client, args.hold)
    except OSError:
        pass
    client.close()
    if args.log:
        with open(args.log, "a") as log:
            log.write(entry + "\n")
