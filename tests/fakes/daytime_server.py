#!/usr/bin/env python3
"""A daytime service (RFC 867) for end-to-end tests: every connection gets one NIST time-code line the
moment it is accepted, whatever the client sends, and is closed at once, as NIST's servers do.

    daytime_server.py [--port 13] [--line "60000 23-02-25 12:00:00 50 0 0 754.9 UTC(NIST) *"] [--log FILE]

Each accepted connection is logged as one line "connection" in FILE.
"""

import argparse
import socket

parser = argparse.ArgumentParser()
parser.add_argument("--port", type=int, default=13)
parser.add_argument("--line", default="60000 23-02-25 12:00:00 50 0 0 754.9 UTC(NIST) *")
parser.add_argument("--log")
args = parser.parse_args()

listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
listener.bind(("127.0.0.1", args.port))
listener.listen(8)
answer = ("\n" + args.line + "\n").encode("ascii")
while True:
    client, _ = listener.accept()
    try:
        client.sendall(answer)
    except OSError:
        pass
    client.close()
    if args.log:
        with open(args.log, "a") as log:
            log.write("connection\n")
