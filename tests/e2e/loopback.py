"""Loopback traffic for the end-to-end tests: one TCP connection on 127.0.0.1, drained by a
thread, fed either a fixed amount or steadily for a while.

A new settings file excludes loopback, so a test that wants the meter to see this traffic first
writes a settings file that excludes nothing (write_settings_counting_loopback)."""
import socket
import threading
import time

from meter_settings import write_settings
from namespaces import run_in_own_namespaces


def run_in_own_network():
    """Runs the calling script again in a fresh network namespace with its loopback up, when
    allowed (as root), so that loopback traffic of other programs on the machine cannot reach
    what the test measures. Returns only when the script should go on in this process."""
    if run_in_own_namespaces(network=True):
        print("in a network namespace of its own")
    else:
        print("no network namespace allowed: measuring on the shared loopback")


def write_settings_counting_loopback(data_dir):
    """The settings a new user gets, except that no interface is excluded."""
    write_settings(data_dir)


class LoopbackConnection:
    """One TCP connection on 127.0.0.1 whose far end a thread reads and throws away."""

    def __init__(self):
        self.server = socket.socket()
        self.server.bind(("127.0.0.1", 0))
        self.server.listen(1)
        self.reader = threading.Thread(target=self._drain)
        self.reader.start()
        self.client = socket.create_connection(self.server.getsockname())

    def _drain(self):
        conn, _ = self.server.accept()
        while conn.recv(1 << 20):
            pass
        conn.close()

    def send(self, data):
        self.client.sendall(data)
        return len(data)

    def close(self):
        self.client.close()
        self.reader.join()
        self.server.close()


def make_loopback_traffic(total_bytes=None, seconds=None):
    """Returns the number of bytes sent."""
    connection = LoopbackConnection()
    sent = 0
    if total_bytes is not None:
        chunk = b"x" * (1 << 20)
        while sent < total_bytes:
            sent += connection.send(chunk)
    else:
        # A steady, modest flow, so the graph shows it for the whole time.
        end = time.time() + seconds
        while time.time() < end:
            sent += connection.send(b"x" * (1 << 18))
            time.sleep(0.005)
    connection.close()
    return sent
