"""Silencing single loopback addresses in a private network namespace.

The kernel answers every address of 127.0.0.0/8 through the local routing
table, consulted by the rule at preference 0. A prohibit rule must come
before it, so the local table is moved to preference 100 and prohibit rules
go in at 10: a prohibited address then fails at once, for pings and for
connections alike, while the rest of 127.0.0.0/8 keeps answering."""
import subprocess

SILENCE_PREF = "10"
LOCAL_PREF = "100"


def ip(*args, check=True):
    return subprocess.run(["ip", *args], check=check, capture_output=True, text=True)


class Silencer:
    def __init__(self):
        rules = ip("rule", "show").stdout
        self.moved_local = "100:\tfrom all lookup local" not in rules
        if self.moved_local:
            ip("rule", "add", "pref", LOCAL_PREF, "lookup", "local")
            ip("rule", "del", "pref", "0", "lookup", "local", check=False)
        self.silenced = set()

    def silence(self, address):
        if address not in self.silenced:
            ip("rule", "add", "pref", SILENCE_PREF, "to", address + "/32", "prohibit")
            self.silenced.add(address)

    def unsilence(self, address):
        if address in self.silenced:
            ip("rule", "del", "pref", SILENCE_PREF, "to", address + "/32", "prohibit", check=False)
            self.silenced.discard(address)

    def restore(self):
        for address in list(self.silenced):
            self.unsilence(address)
        if self.moved_local:
            ip("rule", "add", "pref", "0", "lookup", "local", check=False)
            ip("rule", "del", "pref", LOCAL_PREF, "lookup", "local", check=False)
