"""Loopback traffic for the end-to-end tests: one TCP connection on 127.0.0.1, drained by a
thread, fed either a fixed amount or steadily for a while."""
import socket
import threading
import time


def make_loopback_traffic(total_bytes=None, seconds=None):
    """Returns the number of bytes sent."""
    server = socket.socket()
    server.bind(("127.0.0.1", 0))
    server.listen(1)

    def drain():
        conn, _ = server.accept()
        while conn.recv(1 << 20):
            pass
        conn.close()

    reader = threading.Thread(target=drain)
    reader.start()
    client = socket.create_connection(server.getsockname())
    sent = 0
    if total_bytes is not None:
        chunk = b"x" * (1 << 20)
        while sent < total_bytes:
            client.sendall(chunk)
            sent += len(chunk)
    else:
        # A steady, modest flow, so the graph shows it for the whole time.
        end = time.time() + seconds
        while time.time() < end:
            client.sendall(b"x" * (1 << 18))
            sent += 1 << 18
            time.sleep(0.005)
    client.close()
    reader.join()
    server.close()
    return sent
