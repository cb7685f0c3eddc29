"""An HTTP server on 127.0.0.1 (a port the system chooses) serving one directory, for the JVM
download: it can send N bytes a second, close the connection after N bytes of the body (a truncated
transfer), stop sending after N bytes and keep the connection (a stalled one), or answer every
request with one status (404; 401, or 407 as a proxy, asking to sign in with challenge).
As a program (http_server.py DIR [--throttle N] [--cut-after N] [--stall-after N] [--status N]) it
prints the port and serves until it is ended."""
import argparse
import functools
import http.server
import threading
import time
from pathlib import Path

CHUNK = 16 * 1024
LONGEST_STALL = 30  # seconds a stalled answer holds its connection


class Handler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def do_GET(self):
        server = self.server
        server.requests += 1
        if server.status != 200:
            self.send_response(server.status)
            if server.challenge:  # 401: WWW-Authenticate; 407, as a proxy: Proxy-Authenticate
                self.send_header(("Proxy" if server.status == 407 else "WWW") + "-Authenticate",
                                 server.challenge)
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        path = Path(self.translate_path(self.path))
        if not path.is_file():
            self.send_error(404)
            return
        data = path.read_bytes()
        self.send_response(200)
        self.send_header("Content-Type", "application/zip")
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        limit = min(n for n in (len(data), server.cut_after, server.stall_after) if n is not None)
        start, sent = time.monotonic(), 0
        while sent < limit:
            part = data[sent:min(sent + CHUNK, limit)]
            self.wfile.write(part)
            sent += len(part)
            if server.throttle:
                time.sleep(max(0.0, start + sent / server.throttle - time.monotonic()))
        self.wfile.flush()
        if server.stall_after is not None and sent < len(data):
            server.stopped.wait(LONGEST_STALL)
        self.close_connection = True


class HttpServer(http.server.ThreadingHTTPServer):
    daemon_threads = True

    def __init__(self, directory, throttle=0, cut_after=None, stall_after=None, status=200,
                 challenge=None):
        super().__init__(("127.0.0.1", 0),
                         functools.partial(Handler, directory=str(directory)))
        self.throttle, self.cut_after, self.stall_after = throttle, cut_after, stall_after
        self.status, self.challenge, self.requests = status, challenge, 0
        self.stopped = threading.Event()
        self.port = self.server_address[1]
        self.thread = threading.Thread(target=self.serve_forever, daemon=True)

    def url(self, name):
        return f"http://127.0.0.1:{self.port}/{name}"

    def __enter__(self):
        self.thread.start()
        return self

    def __exit__(self, *exc):
        self.stopped.set()
        self.shutdown()
        self.server_close()


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("directory")
    for option, default in (("--throttle", 0), ("--cut-after", None), ("--stall-after", None),
                            ("--status", 200)):
        parser.add_argument(option, type=int, default=default)
    args = vars(parser.parse_args())
    with HttpServer(**args) as server:
        print(server.port, flush=True)
        server.thread.join()
