"""An SSH target that misbehaves on purpose, for the SFTP route's tests.

Serves one folder over SFTP and journals, one line each, every
authentication attempt ("auth METHOD"), every write ("write SIZE") and every
attribute change ("setstat PERMISSIONS" in octal). --auth picks what the
target offers:
  password                 only "password"
  keyboard-interactive     "keyboard-interactive,password"
  none                     accepts the "none" method: no methods asked for
  publickey-not-offered    "password,keyboard-interactive"
--refuse-writes fails every write with a permission error.
--silently-full BYTES acknowledges every write but keeps no byte beyond the
first BYTES of a file, like storage that fills up without saying so.
Prints "ready" once it listens.
"""
import argparse
import os
import socket
import sys
import threading

import paramiko

OFFERED = {
    "password": "password",
    "keyboard-interactive": "keyboard-interactive,password",
    "none": "password",
    "publickey-not-offered": "password,keyboard-interactive",
}


class Journal:
    def __init__(self, path):
        self.lock = threading.Lock()
        self.path = path

    def __call__(self, line):
        with self.lock, open(self.path, "a") as out:
            out.write(line + "\n")


class Server(paramiko.ServerInterface):
    def __init__(self, options, journal):
        self.options = options
        self.journal = journal

    def get_allowed_auths(self, username):
        return OFFERED[self.options.auth]

    def check_auth_none(self, username):
        if self.options.auth == "none":
            self.journal("auth none")
            return paramiko.AUTH_SUCCESSFUL
        return paramiko.AUTH_FAILED

    def check_auth_password(self, username, password):
        self.journal("auth password")
        return paramiko.AUTH_SUCCESSFUL

    def check_auth_publickey(self, username, key):
        self.journal("auth publickey")
        return paramiko.AUTH_FAILED

    def check_auth_interactive(self, username, submethods):
        self.journal("auth keyboard-interactive")
        return paramiko.InteractiveQuery("login", "answer please", ("Password: ", False))

    def check_auth_interactive_response(self, responses):
        self.journal("response " + ",".join(responses))
        return paramiko.AUTH_SUCCESSFUL

    def check_channel_request(self, kind, chanid):
        return paramiko.OPEN_SUCCEEDED if kind == "session" else paramiko.OPEN_FAILED_ADMINISTRATIVELY_PROHIBITED


class Handle(paramiko.SFTPHandle):
    def __init__(self, fd, path, journal, options):
        super().__init__()
        self.fd = fd
        self.path = path
        self.journal = journal
        self.refuse_writes = options.refuse_writes
        self.capacity = options.silently_full

    def close(self):
        os.close(self.fd)

    def read(self, offset, length):
        return os.pread(self.fd, length, offset)

    def write(self, offset, data):
        self.journal("write %d" % len(data))
        if self.refuse_writes:
            return paramiko.SFTP_PERMISSION_DENIED
        if self.capacity is not None:
            data = data[:max(0, self.capacity - offset)]
        os.pwrite(self.fd, data, offset)
        return paramiko.SFTP_OK

    def stat(self):
        return paramiko.SFTPAttributes.from_stat(os.fstat(self.fd))

    def chattr(self, attr):
        if attr.st_mode is not None:
            self.journal("setstat %o" % attr.st_mode)
            os.fchmod(self.fd, attr.st_mode & 0o7777)
        return paramiko.SFTP_OK


def make_sftp_server(root, journal, options):
    class Files(paramiko.SFTPServerInterface):
        def local(self, path):
            return os.path.join(root, os.path.normpath("/" + path).lstrip("/"))

        def open(self, path, flags, attr):
            # Like the servers that keep to the SFTP drafts, a directory is
            # not opened as a file.
            if os.path.isdir(self.local(path)):
                return paramiko.SFTP_FAILURE
            try:
                fd = os.open(self.local(path), flags, 0o644)
            except OSError as error:
                return paramiko.SFTPServer.convert_errno(error.errno)
            return Handle(fd, path, journal, options)

        def stat(self, path):
            try:
                return paramiko.SFTPAttributes.from_stat(os.stat(self.local(path)))
            except OSError as error:
                return paramiko.SFTPServer.convert_errno(error.errno)

        lstat = stat

        def mkdir(self, path, attr):
            try:
                os.mkdir(self.local(path), attr.st_mode if attr.st_mode is not None else 0o777)
            except OSError as error:
                return paramiko.SFTPServer.convert_errno(error.errno)
            return paramiko.SFTP_OK

    return Files


def serve(client, options, journal, host_key):
    transport = paramiko.Transport(client)
    transport.add_server_key(host_key)
    transport.set_subsystem_handler(
        "sftp", paramiko.SFTPServer, make_sftp_server(options.root, journal, options))
    try:
        transport.start_server(server=Server(options, journal))
        while transport.is_active():
            transport.join(1)
    except Exception:
        pass


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--address", required=True)
    parser.add_argument("--root", required=True)
    parser.add_argument("--journal", required=True)
    parser.add_argument("--auth", choices=sorted(OFFERED), default="password")
    parser.add_argument("--refuse-writes", action="store_true")
    parser.add_argument("--silently-full", type=int, metavar="BYTES")
    options = parser.parse_args()
    journal = Journal(options.journal)
    host_key = paramiko.ECDSAKey.generate()
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind((options.address, 22))
    listener.listen(8)
    print("ready", flush=True)
    while True:
        client, _ = listener.accept()
        threading.Thread(target=serve, args=(client, options, journal, host_key), daemon=True).start()


if __name__ == "__main__":
    sys.exit(main())
