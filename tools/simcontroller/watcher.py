"""Notices what arrives in a controller's file tree."""
import os


class TreeWatcher:
    """Reports each new directory at once, and each new or changed file once
    its size and time have stayed the same for one scan, so that a file still
    being written is reported whole."""

    def __init__(self, root, on_directory, on_file):
        self.root = root
        self.on_directory = on_directory
        self.on_file = on_file
        self.directories = set()
        self.files = {}      # path -> (size, mtime) last reported
        self.pending = {}    # path -> (size, mtime) seen once, not yet stable

    def scan(self, report):
        for top, dirs, files in os.walk(self.root):
            rel_top = "/" + os.path.relpath(top, self.root).replace(os.sep, "/")
            rel_top = "" if rel_top == "/." else rel_top
            for d in sorted(dirs):
                path = rel_top + "/" + d
                if path not in self.directories:
                    self.directories.add(path)
                    if report:
                        self.on_directory(path)
            for f in sorted(files):
                path = rel_top + "/" + f
                try:
                    st = os.stat(os.path.join(top, f))
                except OSError:
                    continue
                seen = (st.st_size, st.st_mtime_ns)
                if self.files.get(path) == seen:
                    self.pending.pop(path, None)
                    continue
                if not report:
                    self.files[path] = seen
                elif self.pending.get(path) == seen:
                    del self.pending[path]
                    self.files[path] = seen
                    self.on_file(path, st.st_size)
                else:
                    self.pending[path] = seen
