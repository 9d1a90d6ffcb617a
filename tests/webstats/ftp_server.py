#!/usr/bin/env python3
"""An FTP server on 127.0.0.1 for the upload tests.

It binds a free port, prints "PORT <n>" on its first line and serves until its standard input
closes (so it never outlives the test that started it). With --tls it requires explicit TLS
(AUTH TLS) on the control and data connections; with --hang it accepts connections at the
socket level and never says a word, like a server that has stopped answering. Misbehaving
servers: --no-rename-over refuses to rename onto an existing name (as many Windows-hosted ones
do), --no-rename refuses every rename, --ignore-quit never answers QUIT.
"""
import os
import argparse
import socket
import sys
import threading


def wait_for_parent_then(stop):
    sys.stdin.read()
    stop()


def serve_silently():
    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(8)  # the kernel completes the handshakes; nobody ever reads or writes
    print("PORT %d" % listener.getsockname()[1], flush=True)
    sys.stdin.read()
    listener.close()


def serve_ftp(args):
    from pyftpdlib.authorizers import DummyAuthorizer
    from pyftpdlib.handlers import FTPHandler
    from pyftpdlib.servers import FTPServer

    authorizer = DummyAuthorizer()
    authorizer.add_user(args.user, args.password, args.root, perm="elradfmwMT")
    if args.tls:
        from pyftpdlib.handlers import TLS_DTPHandler, TLS_FTPHandler

        class DataHandler(TLS_DTPHandler):
            # pyftpdlib closes a data connection that has something to read before the
            # transfer command; libcurl starts the data connection's TLS handshake before it
            # sends that command. Let the handshake run, and wait quietly after it.
            def readable(self):
                if self._ssl_accepting or self._ssl_want_read:
                    return True
                return self.receive

        class Handler(TLS_FTPHandler):
            dtp_handler = DataHandler

        from OpenSSL import SSL

        context = SSL.Context(SSL.TLS_SERVER_METHOD)
        context.use_certificate_chain_file(args.tls[0])
        context.use_privatekey_file(args.tls[1])
        # Clients resume the control connection's TLS session on the data connections, which
        # OpenSSL refuses without a session id context.
        context.set_session_id(b"tallyglass-tests")
        Handler.ssl_context = context
        Handler.tls_control_required = True
        Handler.tls_data_required = True
    else:
        class Handler(FTPHandler):
            pass

    class Misbehaving(Handler):
        def ftp_RNTO(self, path):
            if args.no_rename or (args.no_rename_over and os.path.exists(path)):
                self._rnfr = None
                self.respond("550 Cannot create a file when that file already exists.")
                return None
            return super().ftp_RNTO(path)

        def ftp_QUIT(self, line):
            if not args.ignore_quit:
                super().ftp_QUIT(line)

    Handler = Misbehaving
    Handler.authorizer = authorizer
    # A refused login answers at once instead of after pyftpdlib's usual 3 s.
    Handler.auth_failed_timeout = 0.1
    server = FTPServer(("127.0.0.1", 0), Handler)
    print("PORT %d" % server.socket.getsockname()[1], flush=True)
    threading.Thread(target=wait_for_parent_then, args=(server.close_all,), daemon=True).start()
    try:
        server.serve_forever(timeout=0.2)
    except (OSError, ValueError):
        pass  # closed from the other thread


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", default=".")
    parser.add_argument("--user", default="user")
    parser.add_argument("--password", default="secret")
    parser.add_argument("--tls", nargs=2, metavar=("CERT", "KEY"))
    parser.add_argument("--hang", action="store_true")
    parser.add_argument("--no-rename-over", action="store_true")
    parser.add_argument("--no-rename", action="store_true")
    parser.add_argument("--ignore-quit", action="store_true")
    args = parser.parse_args()
    import logging
    logging.basicConfig(level=logging.WARNING)
    if args.hang:
        serve_silently()
    else:
        serve_ftp(args)


if __name__ == "__main__":
    main()
