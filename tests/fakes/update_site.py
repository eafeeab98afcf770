#!/usr/bin/env python3
"""A stand-in for the maker's update site: serves <root>/update/... over plain HTTP.

The program asks for "/update/version.dat", "/update/images.dat", "/update/media.dat" and for pack
files with backslashes in the path, "/update/\\images\\clear.jpg", which go on the wire escaped as
"/update/%5Cimages%5Cclear.jpg". A path has its %XX escapes decoded (as Latin-1), is taken apart at
either kind of slash and each piece is looked up without regard to case, so that request is answered
from <root>/update/images/clear.jpg (or .../Images/Clear.JPG). Pieces "." and ".." are never followed.
Files are sent byte for byte with their length; anything else gets a 404 page.

--packs DIR lays out a pack folder (images.dat, media.dat, Images/, Media/) under <root>/update/
first, --version TEXT writes version.dat there; --lay-out-only stops after that.
--status PATH=CODE answers PATH with that status and a small page; --reset PATH sends the head and
half the body of PATH, then resets the connection. PATH is given as the program requests it or as a
path under /update/ ("images/clear.jpg"); case does not matter. --hang takes every connection and
never answers: the first request is logged and held for ever, later ones wait behind it unread.
Every request is logged to --log as one line: the request line as received, a tab, the User-Agent.
"""

import argparse
import http.server
import os
import shutil
import socket
import struct
import sys
import time
import urllib.parse

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from serving import serve  # noqa: E402

PREFIX = "/update/"
NOT_FOUND_PAGE = (b"<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML 2.0//EN\">\r\n"
                  b"<html><head><title>404 Not Found</title></head><body>\r\n"
                  b"<h1>Not Found</h1>\r\n<p>The requested URL was not found on this server.</p>\r\n"
                  b"</body></html>\r\n")


def pieces(path):
    """The pieces of a request path below /update/, lower-cased, or None when it is not one."""
    path = urllib.parse.unquote(path, encoding="latin-1")
    if path.lower().startswith(PREFIX):
        path = path[len(PREFIX):]
    parts = [p for p in path.replace("\\", "/").split("/") if p]
    if not parts or any(p in (".", "..") for p in parts):
        return None
    return [p.lower() for p in parts]


def find(folder, parts):
    """The file under folder named by parts, each matched without regard to case, or None."""
    for part in parts:
        try:
            names = os.listdir(folder)
        except OSError:
            return None
        match = next((n for n in names if n.lower() == part), None)
        if match is None:
            return None
        folder = os.path.join(folder, match)
    return folder if os.path.isfile(folder) else None


def lay_out(packs, root):
    """Copies a pack folder to <root>/update/: the lists, and the pack folders in lower case."""
    site = os.path.join(root, "update")
    os.makedirs(site, exist_ok=True)
    for name in os.listdir(packs):
        source = os.path.join(packs, name)
        if os.path.isdir(source):
            shutil.copytree(source, os.path.join(site, name.lower()), dirs_exist_ok=True)
        else:
            shutil.copy2(source, os.path.join(site, name))


def make_handler(options, statuses, resets):
    class UpdateHandler(http.server.BaseHTTPRequestHandler):
        server_version = "FakeUpdateSite/1.0"

        def do_GET(self):
            with open(options.log, "a", encoding="latin-1") as log:
                log.write(f"{self.requestline}\t{self.headers.get('User-Agent', '')}\n")
            if options.hang:
                while True:
                    time.sleep(3600)
            key = pieces(self.path) if self.path.lower().startswith(PREFIX) else None
            path = find(os.path.join(options.root, "update"), key) if key else None
            if key and "/".join(key) in statuses:
                status = statuses["/".join(key)]
                self.reply(status, b"<html><body>Status %d</body></html>\r\n" % status)
            elif path is None:
                self.reply(404, NOT_FOUND_PAGE)
            elif "/".join(key) in resets:
                self.reply_then_reset(read_bytes(path))
            else:
                self.reply(200, read_bytes(path))

        def reply(self, status, body):
            self.send_response(status)
            self.send_header("Content-Type", "application/octet-stream" if status == 200 else "text/html")
            self.send_header("Content-Length", str(len(body)))
            self.send_header("Connection", "close")
            self.end_headers()
            self.wfile.write(body)

        def reply_then_reset(self, body):
            self.send_response(200)
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body[: len(body) // 2])
            self.wfile.flush()
            # Closing with a zero linger time sends RST instead of FIN.
            self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            os.close(self.connection.detach())
            self.close_connection = True

        def log_message(self, format, *args):
            pass  # the request log is the one that counts

    return UpdateHandler


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def path_key(text):
    key = pieces(text)
    if key is None:
        raise argparse.ArgumentTypeError(f"not a path under {PREFIX}: {text!r}")
    return "/".join(key)


def status_rule(text):
    path, _, code = text.rpartition("=")
    if not path or not code.isdigit():
        raise argparse.ArgumentTypeError(f"expected PATH=CODE, got {text!r}")
    return path_key(path), int(code)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--root", required=True, help="folder holding update/")
    parser.add_argument("--packs", help="lay out this pack folder under <root>/update/ first")
    parser.add_argument("--version", help="write this text as the first line of <root>/update/version.dat")
    parser.add_argument("--lay-out-only", action="store_true", help="lay out --packs / --version and exit")
    parser.add_argument("--log", help="file the requests are appended to")
    parser.add_argument("--bind", default="127.0.0.2", help="address to listen on")
    parser.add_argument("--port", type=int, default=80, help="port to listen on (0: any free port)")
    parser.add_argument("--status", type=status_rule, action="append", default=[], metavar="PATH=CODE")
    parser.add_argument("--reset", type=path_key, action="append", default=[], metavar="PATH")
    parser.add_argument("--hang", action="store_true", help="take every connection and never answer")
    parser.add_argument("--port-file", help="write the port actually bound here once listening")
    options = parser.parse_args()

    if options.packs:
        lay_out(options.packs, options.root)
    if options.version is not None:
        os.makedirs(os.path.join(options.root, "update"), exist_ok=True)
        with open(os.path.join(options.root, "update", "version.dat"), "wb") as f:
            f.write(options.version.encode("latin-1") + b"\r\n")
    if options.lay_out_only:
        return
    if not options.log:
        parser.error("--log is required to serve")

    server = http.server.HTTPServer((options.bind, options.port),
                                    make_handler(options, dict(options.status), set(options.reset)))
    serve(server, "update site", options.port_file)


if __name__ == "__main__":
    main()
