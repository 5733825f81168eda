"""The network services of the simulated controllers: real servers, the same
that the end-to-end tests talk to."""
import os
import shutil
import subprocess
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
PEERS = os.path.join(HERE, "..", "..", "tests", "peers")


def make_layout(root, directories):
    for d in directories:
        os.makedirs(os.path.join(root, d), exist_ok=True)


def wait_for_port(address, port, process, seconds=10):
    import socket
    deadline = time.time() + seconds
    while time.time() < deadline:
        if process.poll() is not None:
            raise RuntimeError("service at %s:%d ended at start" % (address, port))
        with socket.socket() as s:
            s.settimeout(0.2)
            if s.connect_ex((address, port)) == 0:
                return
        time.sleep(0.1)
    raise RuntimeError("service at %s:%d did not start" % (address, port))


class Service:
    port = 0

    def __init__(self):
        self.process = None

    def start(self, address):
        self.process = subprocess.Popen(self.command(address), stdin=subprocess.DEVNULL,
                                        stdout=self.output, stderr=subprocess.STDOUT)
        wait_for_port(address, self.port, self.process)

    def stop(self):
        if self.process and self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.process = None


class SshService(Service):
    """OpenSSH's sshd on port 22, root chrooted into the controller's root.
    sshd insists that every folder above a chroot is root-owned and not
    writable by others, so the root lives under /run."""
    port = 22

    def __init__(self, state, authorized_key, directories, host_key_types=("ecdsa",), settings=(),
                 sftp_server="internal-sftp", host_key_dir=None):
        """host_key_types: the host keys the server has (ssh-keygen's -t),
        each made once and kept in host_key_dir (the state folder unless
        told: a controller that keeps its keys across runs is the same
        controller to a client that remembers them); settings: further
        sshd_config lines ("Keyword value"), such as the algorithms an older
        or a hardened controller offers; sftp_server: what the "sftp"
        subsystem runs (a program that exits at once, such as /bin/false,
        stands for a controller whose SSH server has no SFTP server beside
        it)."""
        super().__init__()
        self.state = os.path.join(state, "m520-sshd")
        os.makedirs(self.state, exist_ok=True)
        self.root = tempfile.mkdtemp(prefix="brantel-sim-m520.", dir="/run")
        os.chmod(self.root, 0o755)
        make_layout(self.root, directories)
        os.makedirs("/run/sshd", exist_ok=True)
        host_key_dir = host_key_dir or self.state
        os.makedirs(host_key_dir, exist_ok=True)
        host_keys = [os.path.join(host_key_dir, "host_key_" + key_type) for key_type in host_key_types]
        for key_type, host_key in zip(host_key_types, host_keys):
            if not os.path.exists(host_key):
                subprocess.run(["ssh-keygen", "-q", "-t", key_type, "-N", "", "-f", host_key], check=True)
        keys = os.path.join(self.state, "authorized_keys")
        shutil.copyfile(authorized_key, keys)
        self.config = os.path.join(self.state, "sshd_config")
        with open(self.config, "w") as f:
            f.write("\n".join(["HostKey " + host_key for host_key in host_keys] + [
                "PermitRootLogin prohibit-password",
                "AuthorizedKeysFile " + keys,
                "StrictModes no",
                "UsePAM no",
                "PidFile none",
                "Subsystem sftp " + sftp_server] + list(settings) + [
                "Match User root",
                "  ChrootDirectory " + self.root,
                "  ForceCommand " + sftp_server,
                ""]))
        self.output = open(os.path.join(self.state, "sshd.log"), "a")

    def command(self, address):
        return ["/usr/sbin/sshd", "-D", "-e", "-f", self.config, "-o", "ListenAddress=%s:22" % address]


class FtpService(Service):
    """The FTP service of an M410: anonymous login that may write."""
    port = 21

    def __init__(self, state, directories):
        super().__init__()
        self.root = os.path.join(state, "m410-root")
        make_layout(self.root, directories)
        self.output = open(os.path.join(state, "m410-ftp.log"), "a")

    def command(self, address):
        return ["/usr/bin/python3", os.path.join(PEERS, "ftp_target.py"), "--address", address, "--root", self.root]
