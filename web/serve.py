"""Serves a folder as a static web host serves the site: compressed for browsers that accept it,
with the media types browsers need (application/wasm for streaming compilation, the manifest's own
type), validators and caching headers, on HTTP/1.1 connections that stay open. `./dev web --serve`,
the page's tests and bench/web/run.py all use it, so what a developer tries is what a user gets.

    serve.py [DIRECTORY] [PORT]     (build/web/site and 8080 by default; PORT 0 picks a free one)

As a module: StaticHost(directory) serves on 127.0.0.1 from a thread, at the root or under
`path` (a site published in a subfolder); `online = False` makes it close every connection
unanswered, also those a browser opened in advance, as a lost network would; stop() ends it that
way.
"""
import email.utils, gzip, hashlib, http.server, os, sys, threading

TYPES = {
    ".html": "text/html; charset=utf-8", ".css": "text/css; charset=utf-8",
    ".js": "text/javascript; charset=utf-8", ".json": "application/json",
    ".webmanifest": "application/manifest+json", ".wasm": "application/wasm",
    ".png": "image/png", ".svg": "image/svg+xml", ".ico": "image/x-icon",
    ".txt": "text/plain; charset=utf-8", ".zip": "application/zip",
}
# Already compressed: gzip would only add its header.
STORED = {".png", ".zip", ".ico"}


class File:
    """One file as the host keeps it: its bytes, their gzip -9 form and its validators."""

    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        extension = os.path.splitext(path)[1]
        self.type = TYPES.get(extension, "application/octet-stream")
        self.packed = None if extension in STORED else gzip.compress(self.data, 9, mtime=0)
        self.etag = '"%s"' % hashlib.sha256(self.data).hexdigest()[:20]
        self.modified = email.utils.formatdate(os.path.getmtime(path), usegmt=True)
        self.mtime = os.path.getmtime(path)


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"  # connections stay open, as a browser expects of a host
    disable_nagle_algorithm = True  # else each answer waits for the client's delayed ACK

    def version_string(self):
        return "Fuelix"

    def handle_one_request(self):
        if self.server.online:
            super().handle_one_request()
        else:  # gone: the request is not answered
            self.close_connection = True

    def do_HEAD(self):
        self.answer(body=False)

    def do_GET(self):
        self.answer(body=True)

    def answer(self, body):
        if not self.server.online:  # went away while this connection waited for a request
            self.close_connection = True
            return
        file = self.server.file(self.path)
        if file is None:
            self.send_error(404)
            return
        packed = file.packed is not None and "gzip" in self.headers.get("Accept-Encoding", "")
        if self.headers.get("If-None-Match") == file.etag:
            self.send_response(304)
            self.validators(file, packed)
            self.end_headers()
            return
        data = file.packed if packed else file.data
        self.send_response(200)
        self.send_header("Content-Type", file.type)
        self.send_header("Content-Length", str(len(data)))
        if packed:
            self.send_header("Content-Encoding", "gzip")
        self.validators(file, packed)
        self.end_headers()
        if body:
            self.wfile.write(data)

    def validators(self, file, packed):
        # Kept by the browser but checked with the host before each use, as common static hosts
        # do for pages; the service worker keeps the site for offline use.
        self.send_header("Cache-Control", "public, max-age=0, must-revalidate")
        self.send_header("ETag", file.etag)
        self.send_header("Last-Modified", file.modified)
        if file.packed is not None:
            self.send_header("Vary", "Accept-Encoding")

    def log_message(self, *args):
        if self.server.verbose:
            super().log_message(*args)


class StaticHost(http.server.ThreadingHTTPServer):
    daemon_threads = True

    def __init__(self, directory, port=0, path="/", verbose=False):
        self.directory, self.path, self.verbose = os.path.abspath(directory), path, verbose
        self.online = True
        self.files, self.lock = {}, threading.Lock()
        super().__init__(("127.0.0.1", port), Handler)
        self.url = f"http://127.0.0.1:{self.server_address[1]}{path}"
        threading.Thread(target=self.serve_forever, daemon=True).start()

    def file(self, url_path):
        """The file a path names (the folder's own is index.html), read again whenever it
        changes on disk; nothing for a path outside the folder or a missing file."""
        url_path = url_path.split("?", 1)[0].split("#", 1)[0]
        if not url_path.startswith(self.path):
            return None
        name = url_path[len(self.path):] or "index.html"
        path = os.path.realpath(os.path.join(self.directory, name))
        if not path.startswith(self.directory + os.sep) or not os.path.isfile(path):
            return None
        with self.lock:
            file = self.files.get(path)
            if file is None or file.mtime != os.path.getmtime(path):
                file = self.files[path] = File(path)
            return file

    def stop(self):
        self.online = False
        self.shutdown()
        self.server_close()


if __name__ == "__main__":
    directory = sys.argv[1] if len(sys.argv) > 1 else "build/web/site"
    host = StaticHost(directory, int(sys.argv[2]) if len(sys.argv) > 2 else 8080, verbose=True)
    print(f"Serving {directory} at {host.url} (gzip, as a static host does; Ctrl+C stops)",
          flush=True)
    try:
        threading.Event().wait()
    except KeyboardInterrupt:
        host.stop()
