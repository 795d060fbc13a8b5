"""The two lanes of end-to-end tests under CTest (tests/e2e/CMakeLists.txt):
each lane has an X display of its own; the statistics port of the demo build
is one, so a lane-2 test takes a network namespace of its own and the others
take the port's lock. Done when the harness is first imported, before any
thread or child process."""
import ctypes
import fcntl
import os
import socket
import struct


def own_network():
    """Moves this process into a network namespace of its own, its loopback
    up (for root, before any thread or child process): its statistics
    receiver and the programs it starts then have the demo build's port to
    themselves. False where that is not allowed."""
    libc = ctypes.CDLL(None, use_errno=True)
    if libc.unshare(0x40000000) != 0:  # CLONE_NEWNET
        return False
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as s:
        flags = struct.unpack("16sH14x", fcntl.ioctl(s, 0x8913, struct.pack("16sH14x", b"lo", 0)))[1]
        fcntl.ioctl(s, 0x8914, struct.pack("16sH14x", b"lo", flags | 1))  # SIOCSIFFLAGS: IFF_UP
    return True


def _claim_port():
    """Under CTest the end-to-end tests run in two lanes side by side: a
    lane-2 test takes a network of its own; any other (or where that fails)
    holds the port's lock for its whole run, so that two receivers never
    compete for the port."""
    lock = os.environ.get("PROMO_PORT_LOCK")
    if not lock or (os.environ.get("PROMO_E2E_OWN_NETWORK") == "1" and own_network()):
        return
    os.makedirs(os.path.dirname(lock), exist_ok=True)
    _HELD.append(open(lock, "w"))
    fcntl.flock(_HELD[-1], fcntl.LOCK_EX)


_HELD = []
_claim_port()
