#!/usr/bin/env python3
# A time-stamping authority on the loopback interface, for the signing case:
# answers RFC 3161 requests posted over HTTP with `openssl ts -reply`. It
# prints its port on a line of its own, then serves until it has answered
# COUNT requests or SECONDS have passed, whichever comes first.
# Usage: tsa_responder.py CONFIG COUNT SECONDS
import http.server
import os
import subprocess
import sys
import tempfile
import threading

LARGEST_QUERY = 64 * 1024
config, count, seconds = sys.argv[1], int(sys.argv[2]), float(sys.argv[3])
answered = 0


class Responder(http.server.BaseHTTPRequestHandler):
    timeout = 10  # seconds a silent client is waited for

    def do_POST(self):
        global answered
        length = int(self.headers.get("Content-Length") or -1)
        if not 0 < length <= LARGEST_QUERY:
            self.send_error(413 if length > 0 else 411)
            return
        with tempfile.TemporaryDirectory() as work:
            query, reply = os.path.join(work, "query.tsq"), os.path.join(work, "reply.tsr")
            with open(query, "wb") as f:
                f.write(self.rfile.read(length))
            made = subprocess.run(["openssl", "ts", "-reply", "-config", config, "-queryfile", query,
                                   "-out", reply], capture_output=True, timeout=30)
            if made.returncode != 0:
                sys.stderr.write(made.stderr.decode(errors="replace"))
                self.send_error(500)
                return
            with open(reply, "rb") as f:
                body = f.read()
        self.send_response(200)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)
        answered += 1
        if answered >= count:
            threading.Thread(target=self.server.shutdown).start()

    def log_message(self, *args):
        pass


server = http.server.HTTPServer(("127.0.0.1", 0), Responder)
print(server.server_address[1], flush=True)
stop = threading.Timer(seconds, server.shutdown)
stop.daemon = True
stop.start()
server.serve_forever()
server.server_close()
