#!/usr/bin/env python3
"""A stand-in for the weather service: serves /data/current_obs/<CODE>.xml over plain HTTP, or over
https with --tls-cert and --tls-key.

Without --folder every station gets the same document (--document, by default the sample in today's
layout kept with the weather tests); with --folder a station gets <folder>/<CODE>.xml, or 404 when
that file is missing. The same documents answer /xml/current_obs/<CODE>.xml, where the forecast host
keeps them today. From a folder it also answers the API's paths: /stations/<CODE> with
<CODE>.station.json, /stations/<CODE>/observations/latest with <CODE>.latest.json and
/stations/<CODE>/observations (any query) with <CODE>.observations.json.

--redirect-https answers every GET with a redirect to the same address over https; --silent accepts
connections and never answers. Documents are sent byte for byte. Every request is logged to --log as
one line: the request line, a tab, the User-Agent (empty when none was sent).
"""

import argparse
import http.server
import os
import re
import ssl
import sys
import threading

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from serving import serve  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_DOCUMENT = os.path.join(HERE, "..", "weather", "data", "TJMZ.xml")
OBSERVATION_PATH = re.compile(r"^/(?:data|xml)/current_obs/([^/]*)\.xml$")
API_PATHS = [(re.compile(r"^/stations/([^/?]*)$"), ".station.json"),
             (re.compile(r"^/stations/([^/?]*)/observations/latest$"), ".latest.json"),
             (re.compile(r"^/stations/([^/?]*)/observations(?:\?.*)?$"), ".observations.json")]
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
            if options.silent:
                threading.Event().wait()  # holds the connection open and never answers
            if options.redirect_https:
                self.send_response(301)
                self.send_header("Location", f"https://{self.headers.get('Host', '')}{self.path}")
                self.send_header("Content-Length", "0")
                self.send_header("Connection", "close")
                self.end_headers()
                return
            for pattern, suffix in API_PATHS:
                match = pattern.match(self.path)
                if match:
                    body = self.from_folder(match.group(1), suffix)
                    if body is None:
                        self.reply(404, "application/problem+json", b'{"status": 404, "title": "Not Found"}')
                    else:
                        self.reply(200, "application/geo+json", body)
                    return
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
            return self.from_folder(match.group(1), ".xml")

        @staticmethod
        def from_folder(code, suffix):
            if options.folder is None or not code or code.startswith(".") or "\\" in code or "%" in code:
                return None
            return read_bytes(os.path.join(options.folder, code + suffix))

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
    parser.add_argument("--tls-cert", help="serve https with this certificate (PEM)")
    parser.add_argument("--tls-key", help="the certificate's private key (PEM)")
    parser.add_argument("--redirect-https", action="store_true", help="redirect every GET to https")
    parser.add_argument("--silent", action="store_true", help="accept connections and never answer")
    options = parser.parse_args()

    server = http.server.ThreadingHTTPServer((options.bind, options.port), make_handler(options))
    server.daemon_threads = True
    if options.tls_cert:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(options.tls_cert, options.tls_key)
        server.socket = context.wrap_socket(server.socket, server_side=True)
    serve(server, "feed", options.port_file)


if __name__ == "__main__":
    main()
