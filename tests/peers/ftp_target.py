#!/usr/bin/python3
"""An M410 controller's FTP service, for tests: anonymous login with write
permission on ROOT, which stands for the controller's "/".

Failure modes, one per option, so that a test can start a target that
misbehaves in exactly one way:
  --refuse-logins        every login is answered 530
  --read-only DIR        DIR (relative to ROOT) accepts no uploads (550)
  --cut-after N          an upload's data connection is closed after N bytes
                         and the upload answered 426
  --hang-up-after N      after N bytes of an upload the whole session is
                         dropped without a reply, like a target that restarts
  --no-connect-back      PORT is accepted but the target never connects to
                         the client's data port, though it answers STOR 150
  --silent-after-150     the data connection is made and read, but the
                         upload is never answered after 150
  --mute                 connections are taken but nothing is ever said,
                         not even the greeting, like a hung service
  --slow BYTES           uploads are read at most BYTES per second, like a
                         controller on a slow link
Every login name and every command line received is appended to --journal,
one "LOGIN name" or "CMD VERB arg" line each.
"""
import argparse
import logging
import os
import socket
import sys
import time

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import DTPHandler, FTPHandler, ThrottledDTPHandler
from pyftpdlib.servers import FTPServer


def parse_args():
    p = argparse.ArgumentParser()
    p.add_argument("--address", default="127.0.0.3")
    p.add_argument("--port", type=int, default=21)
    p.add_argument("--root", required=True)
    p.add_argument("--journal")
    p.add_argument("--refuse-logins", action="store_true")
    p.add_argument("--read-only", action="append", default=[])
    p.add_argument("--cut-after", type=int)
    p.add_argument("--hang-up-after", type=int)
    p.add_argument("--no-connect-back", action="store_true")
    p.add_argument("--silent-after-150", action="store_true")
    p.add_argument("--mute", action="store_true")
    p.add_argument("--slow", type=int)
    return p.parse_args()


def main():
    args = parse_args()
    root = os.path.realpath(args.root)
    if args.mute:
        # The kernel completes the connections from the backlog; no one
        # ever reads or answers them.
        listener = socket.create_server((args.address, args.port), backlog=16)
        print("ready", flush=True)
        while True:
            time.sleep(3600)

    def journal(line):
        if args.journal:
            with open(args.journal, "a", encoding="utf-8") as f:
                f.write(line + "\n")

    authorizer = DummyAuthorizer()
    if not args.refuse_logins:
        authorizer.add_anonymous(root, perm="elradfmwMT")
        for sub in args.read_only:
            authorizer.override_perm("anonymous", os.path.join(root, sub), perm="elr", recursive=True)

    class TargetDTP(ThrottledDTPHandler if args.slow else DTPHandler):
        read_limit = args.slow or 0

        def handle_read(self):
            if args.silent_after_150:
                self.cmd_channel.silenced = True
            limit = args.cut_after if args.cut_after is not None else args.hang_up_after
            if self.receive and limit is not None and self.tot_bytes_received >= limit:
                if args.hang_up_after is not None:
                    control = self.cmd_channel
                    self._resp = None
                    self.close()
                    control.close()
                    return
                self._resp = ("426 Connection closed; transfer aborted.", logging.info)
                self.close()
                return
            super().handle_read()

        # The base class binds this to its own handle_read.
        handle_read_event = handle_read

        def close(self):
            if getattr(self.cmd_channel, "silenced", False):
                self._resp = None
            super().close()

    class TargetHandler(FTPHandler):
        dtp_handler = TargetDTP
        silenced = False

        def pre_process_command(self, line, cmd, arg):
            journal("CMD %s %s" % (cmd, arg if arg is not None else ""))
            super().pre_process_command(line, cmd, arg)

        def on_login(self, username):
            journal("LOGIN %s" % username)

        def on_login_failed(self, username, password):
            journal("LOGIN-REFUSED %s" % username)

        def respond(self, resp, logfun=logging.debug):
            if self.silenced:
                return
            super().respond(resp, logfun)

        def _make_eport(self, ip, port):
            if args.no_connect_back:
                self.respond("200 Active data connection established.")
                return
            super()._make_eport(ip, port)

        def ftp_STOR(self, file, mode="w"):
            if args.no_connect_back:
                self.respond("150 File status okay. About to open data connection.")
                return file
            return super().ftp_STOR(file, mode)

    TargetHandler.authorizer = authorizer
    TargetHandler.banner = "M410 FTP service ready."
    # The real target takes the client's address as given; on loopback the
    # client's data address is its own, which is what PORT announces.
    TargetHandler.permit_foreign_addresses = True
    TargetHandler.permit_privileged_ports = True

    logging.basicConfig(level=logging.WARNING, stream=sys.stderr)
    server = FTPServer((args.address, args.port), TargetHandler)
    print("ready", flush=True)
    server.serve_forever(handle_exit=True)


if __name__ == "__main__":
    main()
