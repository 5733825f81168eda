#!/usr/bin/python3
"""An M520 controller's SSH service, for tests: OpenSSH's sshd at ADDRESS:22,
root chrooted into a fresh controller root under /run (mnt/mmc, etc,
home/root), public-key login with AUTHORIZED_KEY.

    sshd_target.py --address 127.0.0.2 --state DIR --authorized-key KEYS.pub
                   [--host-key TYPE]... [--sshd-option "Keyword value"]...
                   [--sftp-server PROGRAM]
Each --host-key gives the server a host key of that type (ssh-keygen's -t;
one ecdsa key unless told), made at the first start and kept in DIR; each
--sshd-option adds a line to its sshd_config, such as the algorithms an
older or a hardened controller offers. --sftp-server names what the "sftp"
subsystem runs (internal-sftp unless told): /bin/false stands for a
controller whose SSH server has no SFTP server beside it.
Prints "root <path>", "sshd <process id>" and then "ready"; stops sshd and
removes the root on SIGTERM or SIGINT."""
import argparse
import os
import shutil
import signal
import sys
import threading

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "simcontroller"))
from services import SshService  # noqa: E402


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--address", default="127.0.0.2")
    p.add_argument("--state", required=True)
    p.add_argument("--authorized-key", required=True)
    p.add_argument("--host-key", action="append")
    p.add_argument("--sshd-option", action="append", default=[])
    p.add_argument("--sftp-server", default="internal-sftp")
    args = p.parse_args()
    os.makedirs(args.state, exist_ok=True)
    service = SshService(args.state, args.authorized_key, ["mnt/mmc", "etc", "home/root"],
                         host_key_types=args.host_key or ["ecdsa"], settings=args.sshd_option,
                         sftp_server=args.sftp_server)
    stop = threading.Event()
    signal.signal(signal.SIGTERM, lambda *_: stop.set())
    signal.signal(signal.SIGINT, lambda *_: stop.set())
    try:
        service.start(args.address)
        print("root %s" % service.root, flush=True)
        print("sshd %d" % service.process.pid, flush=True)
        print("ready", flush=True)
        stop.wait()
    finally:
        service.stop()
        shutil.rmtree(service.root, ignore_errors=True)


if __name__ == "__main__":
    main()
