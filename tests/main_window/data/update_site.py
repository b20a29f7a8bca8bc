#!/usr/bin/env python3
"""A local update site for the tests: serves the files below ROOT on
127.0.0.1, at a port the system picks and the server writes into ROOT/port
once it listens. Prefixes change how a file is sent:
  /404/...       an HTML error page with status 404
  /cut/...       full Content-Length, half the body, then the connection closes
  /chunkcut/...  chunked, half the body, then the connection closes unterminated
  /stall/...     full Content-Length, a few bytes, then silence
  /silent/...    the request is read and never answered
Usage: update_site.py ROOT"""
import os
import sys
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer


class Handler(BaseHTTPRequestHandler):
    protocol_version = 'HTTP/1.1'

    def log_message(self, *args):
        pass

    def body_of(self, path):
        full = os.path.join(ROOT, path.lstrip('/'))
        if not os.path.isfile(full):
            return None
        with open(full, 'rb') as f:
            return f.read()

    def do_GET(self):
        path = self.path.split('?')[0]
        mode, rest = '', path
        for prefix in ('/404/', '/cut/', '/chunkcut/', '/stall/', '/silent/'):
            if path.startswith(prefix):
                mode, rest = prefix.strip('/'), '/' + path[len(prefix):]
        if mode == 'silent':
            time.sleep(120)
            return
        body = self.body_of(rest)
        if mode == '404' or body is None:
            page = b'<html><body><h1>404 Not Found</h1></body></html>'
            self.send_response(404)
            self.send_header('Content-Type', 'text/html')
            self.send_header('Content-Length', str(len(page)))
            self.end_headers()
            self.wfile.write(page)
            return
        self.send_response(200)
        self.send_header('Content-Type', 'application/octet-stream')
        if mode == 'chunkcut':
            self.send_header('Transfer-Encoding', 'chunked')
            self.end_headers()
            half = body[:len(body) // 2]
            for i in range(0, len(half), 4096):
                part = half[i:i + 4096]
                self.wfile.write(b'%x\r\n' % len(part) + part + b'\r\n')
            self.wfile.flush()
            self.close_connection = True
            return
        self.send_header('Content-Length', str(len(body)))
        self.end_headers()
        if mode == 'cut':
            self.wfile.write(body[:len(body) // 2])
            self.wfile.flush()
            self.close_connection = True
            return
        if mode == 'stall':
            self.wfile.write(body[:16])
            self.wfile.flush()
            time.sleep(120)
            return
        self.wfile.write(body)


if __name__ == '__main__':
    ROOT = sys.argv[1]
    ThreadingHTTPServer.daemon_threads = True
    server = ThreadingHTTPServer(('127.0.0.1', 0), Handler)
    with open(os.path.join(ROOT, 'port.tmp'), 'w') as f:
        f.write(str(server.server_address[1]))
    os.replace(os.path.join(ROOT, 'port.tmp'), os.path.join(ROOT, 'port'))
    server.serve_forever()
