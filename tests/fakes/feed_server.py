#!/usr/bin/env python3
"""A stand-in for the weather feed: serves /data/current_obs/<CODE>.xml over plain HTTP.

Without --folder every station gets the same document (--document, by default the sample in today's
layout kept with the weather tests); with --folder a station gets <folder>/<CODE>.xml, or 404 when
that file is missing. Documents are sent byte for byte. Every request is logged to --log as one line:
the request line, a tab, the User-Agent (empty when none was sent).
"""

import argparse
import http.server
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from serving import serve  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_DOCUMENT = os.path.join(HERE, "..", "weather", "data", "TJMZ.xml")
OBSERVATION_PATH = re.compile(r"^/data/current_obs/([^/]*)\.xml$")
NOT_FOUND_PAGE = (b"<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML 2.0//EN\">\r\n"
                  b"<html><head><title>404 Not Found</title></head><body>\r\n"
                  b"<h1>Not Found</h1>\r\n<p>The requested URL was not found on this server.</p>\r\n"
                  b"</body></html>\r\n")


def make_handler(options):
    class FeedHandler(http.server.BaseHTTPRequestHandler):
        server_version = "FakeFeed/1.0"

        def do_GET(self):
            with open(options.log, "a", encoding="utf-8") as log:
                log.write(f"{self.requestline}\t{self.headers.get('User-Agent', '')}\n")
            body = self.observation()
            if body is None:
                self.reply(404, "text/html", NOT_FOUND_PAGE)
            else:
                self.reply(200, "text/xml", body)

        def observation(self):
            match = OBSERVATION_PATH.match(self.path)
            if not match:
                return None
            if options.folder is None:
                return read_bytes(options.document)
            code = match.group(1)
            if not code or code.startswith(".") or "\\" in code:
                return None
            return read_bytes(os.path.join(options.folder, code + ".xml"))

        def reply(self, status, content_type, body):
            self.send_response(status)
            self.send_header("Content-Type", content_type)
            self.send_header("Content-Length", str(len(body)))
            self.send_header("Connection", "close")
            self.end_headers()
            self.wfile.write(body)

        def log_message(self, format, *args):
            pass  # the request log is the one that counts

    return FeedHandler


def read_bytes(path):
    try:
        with open(path, "rb") as document:
            return document.read()
    except OSError:
        return None


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--bind", default="127.0.0.1", help="address to listen on")
    parser.add_argument("--port", type=int, default=80, help="port to listen on (0: any free port)")
    parser.add_argument("--log", required=True, help="file the requests are appended to")
    parser.add_argument("--folder", help="serve <folder>/<CODE>.xml instead of one document")
    parser.add_argument("--document", default=DEFAULT_DOCUMENT, help="the document every station gets")
    parser.add_argument("--port-file", help="write the port actually bound here once listening")
    options = parser.parse_args()

    server = http.server.HTTPServer((options.bind, options.port), make_handler(options))
    serve(server, "feed", options.port_file)


if __name__ == "__main__":
    main()
