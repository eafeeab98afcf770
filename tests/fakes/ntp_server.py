#!/usr/bin/env python3
"""An SNTP server (RFC 4330) for end-to-end tests: answers each client query on UDP with a server-mode
packet of the query's version, its origin stamp copied from the query's transmit stamp, stratum 1 and
reference id "NIST" unless told otherwise.

    ntp_server.py [--port 123] [--address 127.0.0.1] [--offset SECONDS] [--delay MS]
                  [--kiss CODE] [--leap N] [--stratum N] [--silent] [--log FILE]

--offset sets the server's clock that far ahead of the machine's (negative: behind). --delay makes a
symmetric round trip: half of it is waited before the receive stamp is taken and half after the
transmit stamp, so a client still measures exactly --offset. --kiss answers with stratum 0 and CODE as
reference id (with leap indicator 3 unless --leap says otherwise). --silent reads and logs queries
but never answers. With --port 0 a free port is taken; the line "ntp on ADDRESS:PORT" on standard
error tells which. Each datagram received is logged as one line in FILE, such as "query, version 4,
answered", "query, version 4, kiss RATE", "query, version 4, silent" or "short datagram, dropped".
"""

import argparse
import socket
import struct
import sys
import time

NTP_EPOCH_IN_UNIX = 2_208_988_800  # seconds from 1900 to 1970
SERVER_MODE = 4
PRECISION = -20  # about a microsecond, as log2 seconds

parser = argparse.ArgumentParser()
parser.add_argument("--port", type=int, default=123)
parser.add_argument("--address", default="127.0.0.1")
parser.add_argument("--offset", type=float, default=0.0, help="seconds the server's clock runs ahead")
parser.add_argument("--delay", type=float, default=0.0, help="milliseconds of symmetric round trip")
parser.add_argument("--kiss", help="answer as a kiss-o'-death with this code, such as RATE")
parser.add_argument("--leap", type=int, choices=range(4))
parser.add_argument("--stratum", type=int, default=1)
parser.add_argument("--silent", action="store_true")
parser.add_argument("--log")
args = parser.parse_args()


def server_now():
    """The server's clock as an NTP stamp: 32-bit seconds since 1900 and a 32-bit fraction."""
    seconds, nanoseconds = divmod(time.time_ns() + round(args.offset * 1e9), 1_000_000_000)
    return ((seconds + NTP_EPOCH_IN_UNIX) % 2**32) << 32 | (nanoseconds << 32) // 1_000_000_000


def answer(query, received, transmitted):
    """The server-mode packet for a query, with the given receive and transmit stamps."""
    version = (query[0] >> 3) & 7
    leap = args.leap if args.leap is not None else (3 if args.kiss else 0)
    stratum = 0 if args.kiss else args.stratum
    reference_id = (args.kiss or "NIST").encode("ascii")[:4].ljust(4, b"\0")
    reference_time = received & ~0xFFFFFFFF  # last set at the turn of this second
    origin = query[40:48]  # the client's transmit stamp, whatever it holds
    return struct.pack("!BBBb4s4s4sQ8sQQ", leap << 6 | version << 3 | SERVER_MODE, stratum, query[2], PRECISION,
                       bytes(4), bytes(4), reference_id, reference_time, origin, received, transmitted)


def log(entry):
    if args.log:
        with open(args.log, "a") as f:
            f.write(entry + "\n")


def serve(sock, peer, query):
    """Answers one query. It is logged before the answer leaves, so that a client holding the answer
    finds its query in the log."""
    if len(query) < 48:
        log("short datagram, dropped")
        return
    entry = f"query, version {(query[0] >> 3) & 7}"
    if args.silent:
        log(entry + ", silent")
        return
    time.sleep(args.delay / 2000)
    received = server_now()
    transmitted = server_now()
    packet = answer(query, received, transmitted)
    log(entry + (f", kiss {args.kiss}" if args.kiss else ", answered"))
    time.sleep(args.delay / 2000)
    sock.sendto(packet, peer)


family = socket.AF_INET6 if ":" in args.address else socket.AF_INET
sock = socket.socket(family, socket.SOCK_DGRAM)
sock.bind((args.address, args.port))
print(f"ntp on {args.address}:{sock.getsockname()[1]}", file=sys.stderr, flush=True)
try:
    while True:
        query, peer = sock.recvfrom(2048)
        serve(sock, peer, query)
except KeyboardInterrupt:
    pass
