"""Runs a fake service's HTTP server until it is stopped, telling its port to whoever waits for it."""

import os
import sys


def serve(server, label, port_file=None):
    """Serves forever; writes the bound port to port_file (atomically) first when given."""
    if port_file:
        with open(port_file + ".tmp", "w", encoding="ascii") as f:
            f.write(f"{server.server_address[1]}\n")
        os.replace(port_file + ".tmp", port_file)
    print(f"{label} on {server.server_address[0]}:{server.server_address[1]}", file=sys.stderr, flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    finally:
        server.server_close()
