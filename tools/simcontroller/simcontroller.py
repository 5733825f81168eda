#!/usr/bin/python3
"""A simulated Brantel target: an M520 controller reached over SSH/SFTP
(OpenSSH's sshd, chrooted) and an M410 controller reached over FTP
(pyftpdlib), each with the controller's directory layout under a root of
its own. Runs inside a private network namespace, as root.

Like a controller, and not just a file sink, it
  - answers pings at its address (the namespace's loopback does that);
  - logs every file and directory it receives;
  - logs that its application stops when "shutdown.txt" arrives;
  - restarts when "reboot.txt" arrives: it goes silent for a few seconds
    (pings to its address fail, its service is down), then comes back;
  - after a restart takes its IP address from its "userinfo.txt"
    ([LOCAL_MACHINE] IPAddress="a.b.c.d") and answers there instead.
Only addresses in 127.0.0.0/8 are ever taken.

Addresses are silenced with a routing rule that prohibits them, placed in
front of the namespace's local table, so the rest of 127.0.0.0/8 keeps
answering.

    simcontroller.py --state DIR --log FILE --authorized-key KEY.pub
Prints "root <path>", the M520's root (under /run: sshd chroots into it;
the M410's lies in DIR), and "ready" when both controllers are up; stops on
SIGTERM or SIGINT and then removes the M520's root.
"""
import argparse
import configparser
import ipaddress
import os
import shutil
import signal
import sys
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from routing import Silencer  # noqa: E402
from services import FtpService, SshService  # noqa: E402
from watcher import TreeWatcher  # noqa: E402


class Log:
    def __init__(self, path):
        self._file = open(path, "a", encoding="utf-8")
        self._lock = threading.Lock()

    def __call__(self, text):
        stamp = time.strftime("%H:%M:%S")
        with self._lock:
            self._file.write("%s %s\n" % (stamp, text))
            self._file.flush()


class Controller:
    """One controller: its service, its files and its address."""

    def __init__(self, name, address, remote_root, service, silencer, log, silent_seconds):
        self.name = name
        self.address = address
        self.remote_root = remote_root  # e.g. "/mnt/mmc", inside service.root
        self.service = service
        self.silencer = silencer
        self.log = log
        self.silent_seconds = silent_seconds
        self.watcher = TreeWatcher(service.root, self.on_directory, self.on_file)
        self.restarting = False

    def start(self):
        self.service.start(self.address)
        self.watcher.scan(report=False)
        self.log("%s up at %s" % (self.name, self.address))

    def poll(self):
        if not self.restarting:
            self.watcher.scan(report=True)

    def on_directory(self, path):
        self.log("%s received directory %s" % (self.name, path))

    def on_file(self, path, size):
        self.log("%s received file %s (%d bytes)" % (self.name, path, size))
        if path == self.remote_root + "/shutdown.txt":
            self.log("%s application stopped for the upgrade" % self.name)
        elif path == self.remote_root + "/reboot.txt":
            self.restarting = True
            threading.Thread(target=self.restart, daemon=True).start()

    def restart(self):
        # Let the session that brought reboot.txt finish, as a real
        # controller finishes the request before it goes down.
        time.sleep(1.0)
        self.log("%s restarting" % self.name)
        self.silencer.silence(self.address)
        self.service.stop()
        time.sleep(self.silent_seconds)
        new_address = self.address_from_userinfo()
        if new_address and new_address != self.address:
            self.log("%s takes the address %s from userinfo.txt" % (self.name, new_address))
            self.address = new_address
        # Back on the network first, then its service, as a controller boots.
        self.silencer.unsilence(self.address)
        try:
            self.service.start(self.address)
        except RuntimeError as error:
            self.log("%s service failed to start: %s" % (self.name, error))
        self.watcher.scan(report=False)
        self.restarting = False
        self.log("%s up at %s" % (self.name, self.address))

    def address_from_userinfo(self):
        path = os.path.join(self.service.root, self.remote_root.lstrip("/"), "userinfo.txt")
        parser = configparser.ConfigParser(interpolation=None)
        try:
            with open(path, encoding="gbk", errors="replace") as f:
                parser.read_string(f.read())
            text = parser.get("LOCAL_MACHINE", "IPAddress").strip().strip('"')
            address = ipaddress.IPv4Address(text)
        except (OSError, configparser.Error, ValueError) as error:
            self.log("%s keeps %s: no usable address in userinfo.txt (%s)" % (self.name, self.address, error))
            return None
        if address not in ipaddress.IPv4Network("127.0.0.0/8") or str(address) == "127.0.0.1":
            # The simulation lives on loopback only.
            self.log("%s keeps %s: %s is not a simulated address" % (self.name, self.address, address))
            return None
        return str(address)

    def stop(self):
        self.service.stop()


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--state", required=True, help="folder for the M410 root and the services' files")
    p.add_argument("--log", required=True)
    p.add_argument("--authorized-key", required=True, help="public key that may log in as root on the M520")
    p.add_argument("--m520", default="127.0.0.2")
    p.add_argument("--m410", default="127.0.0.3")
    p.add_argument("--silent-seconds", type=float, default=4.0)
    p.add_argument("--host-keys", help="folder that keeps the M520's host keys from one run to the next")
    args = p.parse_args()

    log = Log(args.log)
    silencer = Silencer()
    state = os.path.abspath(args.state)
    os.makedirs(state, exist_ok=True)
    m520_service = SshService(state, args.authorized_key, ["mnt/mmc", "etc", "home/root"],
                              host_key_dir=args.host_keys)
    controllers = [
        Controller("M520", args.m520, "/mnt/mmc", m520_service, silencer, log, args.silent_seconds),
        Controller("M410", args.m410, "/mnt/nandflash",
                   FtpService(state, ["mnt/nandflash", "etc"]),
                   silencer, log, args.silent_seconds),
    ]
    stopping = threading.Event()
    signal.signal(signal.SIGTERM, lambda *_: stopping.set())
    signal.signal(signal.SIGINT, lambda *_: stopping.set())
    try:
        for controller in controllers:
            controller.start()
        with open(os.path.join(state, "roots"), "w") as f:
            for controller in controllers:
                f.write("%s %s\n" % (controller.name, controller.service.root))
        print("root %s" % m520_service.root, flush=True)
        print("ready", flush=True)
        while not stopping.wait(0.2):
            for controller in controllers:
                controller.poll()
    finally:
        for controller in controllers:
            controller.stop()
        shutil.rmtree(m520_service.root, ignore_errors=True)
        silencer.restore()
        log("stopped")


if __name__ == "__main__":
    main()
