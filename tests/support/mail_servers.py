#!/usr/bin/python3
"""Local mail sandbox on 127.0.0.1: Dovecot (IMAP, IMAPS, POP3, POP3S, LMTP) and SMTP
servers that deliver into Dovecot's mailboxes through LMTP, so that mail sent over SMTP
can be read back over POP3 and IMAP.

    mail_servers.py start DIR   creates DIR, starts everything on free ports, writes
                                DIR/servers.env and prints it
    mail_servers.py stop DIR    stops what `start DIR` started
    mail_servers.py smtp DIR    (internal) runs the SMTP servers in the foreground

The SMTP side has three listeners: plain without STARTTLS, one offering STARTTLS, and one
with implicit TLS (the port-465 kind). AUTH PLAIN/LOGIN is offered and checked against the
same users as Dovecot but not required. Recipients whose local part starts with
"refuse-rcpt" get 550, with "busy-rcpt" 451; a message holding the line "X-Refuse-Data: yes" is
refused at the end of DATA with 554. A fourth port speaks POP3 and drops the connection
half-way through the first RETR, for tests of a mailbox that dies mid-transfer.

Run it with Debian's /usr/bin/python3: aiosmtpd comes from a Debian package.
"""

import os
import shutil
import signal
import socket
import subprocess
import sys
import time

# Every user name logs in with this password, so that each test can use a mailbox of its
# own and tests running in parallel never see each other's mail.
PASSWORD = "Secreto-1"
DOVECOT_PORTS = ("IMAP_PORT", "IMAPS_PORT", "POP3_PORT", "POP3S_PORT", "LMTP_PORT")
SMTP_PORTS = ("SMTP_PLAIN_PORT", "SMTP_PORT", "SMTPS_PORT", "POP3_DROP_PORT")


def free_ports(count):
    socks = []
    for _ in range(count):
        s = socket.socket()
        s.bind(("127.0.0.1", 0))
        socks.append(s)
    ports = [s.getsockname()[1] for s in socks]
    for s in socks:
        s.close()
    return ports


def wait_for_port(port, seconds=20.0):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            with socket.create_connection(("127.0.0.1", port), timeout=0.5):
                return True
        except OSError:
            time.sleep(0.05)
    return False


def read_env(folder):
    env = {}
    with open(os.path.join(folder, "servers.env")) as f:
        for line in f:
            key, _, value = line.strip().partition("=")
            if key:
                env[key] = value
    return env


def make_certificate(folder):
    subprocess.run(
        ["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "3650",
         "-subj", "/CN=localhost",
         "-addext", "subjectAltName=DNS:localhost,IP:127.0.0.1",
         "-keyout", os.path.join(folder, "key.pem"),
         "-out", os.path.join(folder, "cert.pem")],
        check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def write_dovecot_config(folder, ports):
    is_root = os.geteuid() == 0
    # As root Dovecot refuses to store mail as uid 0, so mail belongs to nobody.
    uid = 65534 if is_root else os.geteuid()
    gid = 65534 if is_root else os.getegid()
    user = os.environ.get("USER") or "nobody"
    mail = os.path.join(folder, "mail")
    os.makedirs(mail, exist_ok=True)
    if is_root:
        os.chown(mail, uid, gid)
    not_root = "" if is_root else (
        f"default_login_user = {user}\ndefault_internal_user = {user}\n")
    listeners = {
        "imap": ("imap", ports["IMAP_PORT"], False),
        "imaps": ("imap", ports["IMAPS_PORT"], True),
        "pop3": ("pop3", ports["POP3_PORT"], False),
        "pop3s": ("pop3", ports["POP3S_PORT"], True),
    }
    services = {}
    for name, (service, port, ssl) in listeners.items():
        services.setdefault(service, []).append(
            f"  inet_listener {name} {{\n    port = {port}\n" + ("    ssl = yes\n" if ssl else "") + "  }\n")
    text = f"""protocols = imap pop3 lmtp
listen = 127.0.0.1
base_dir = {folder}/run
state_dir = {folder}/state
log_path = {folder}/dovecot.log
{not_root}ssl = yes
ssl_cert = <{folder}/cert.pem
ssl_key = <{folder}/key.pem
ssl_dh = </usr/share/dovecot/dh.pem
disable_plaintext_auth = no
auth_mechanisms = plain login
# A refused login answers at once, so that tests of it need no long time-out: no delay,
# and no growing penalty for the many refusals the tests provoke from 127.0.0.1.
auth_failure_delay = 0
login_trusted_networks = 127.0.0.0/8
service anvil {{
  unix_listener anvil-auth-penalty {{
    mode = 0
  }}
}}
mail_location = maildir:{folder}/mail/%n/Maildir
first_valid_uid = 1
first_valid_gid = 0
pop3_uidl_format = %08Xu%08Xv
passdb {{
  driver = static
  args = password={PASSWORD} nodelay=yes
}}
userdb {{
  driver = static
  args = uid={uid} gid={gid} home={folder}/mail/%n
}}
"""
    for service, blocks in services.items():
        text += f"service {service}-login {{\n" + "".join(blocks) + "}\n"
    text += f"""service lmtp {{
  inet_listener lmtp {{
    address = 127.0.0.1
    port = {ports["LMTP_PORT"]}
  }}
}}
"""
    with open(os.path.join(folder, "dovecot.conf"), "w") as f:
        f.write(text)


def start(folder):
    folder = os.path.abspath(folder)
    os.makedirs(folder, exist_ok=True)
    stop(folder, quiet=True)
    # Dovecot's mail processes run as nobody and must reach the mail folders.
    os.chmod(folder, 0o755)
    for sub in ("run", "state"):
        os.makedirs(os.path.join(folder, sub), exist_ok=True)
    names = DOVECOT_PORTS + SMTP_PORTS
    ports = dict(zip(names, free_ports(len(names))))
    make_certificate(folder)
    write_dovecot_config(folder, ports)
    # Dovecot keeps the caller's stderr open unless all three are redirected, which makes
    # a CI step that waits for its output hang.
    with open(os.path.join(folder, "startup.log"), "w") as log:
        subprocess.run(["dovecot", "-c", os.path.join(folder, "dovecot.conf")],
                       stdin=subprocess.DEVNULL, stdout=log, stderr=log, check=True)
    env = dict(ports)
    env.update({
        "HOST": "127.0.0.1",
        "USER": "alice", "PASSWORD": PASSWORD,
        "DOMAIN": "localhost",
        "CA_FILE": os.path.join(folder, "cert.pem"),
        "MAIL_DIR": os.path.join(folder, "mail"),
    })
    with open(os.path.join(folder, "servers.env"), "w") as f:
        for key, value in env.items():
            f.write(f"{key}={value}\n")
    with open(os.path.join(folder, "smtp.log"), "w") as log:
        smtp = subprocess.Popen([sys.executable, os.path.abspath(__file__), "smtp", folder],
                                stdin=subprocess.DEVNULL, stdout=log, stderr=log,
                                start_new_session=True)
    with open(os.path.join(folder, "smtp.pid"), "w") as f:
        f.write(str(smtp.pid))
    for name in names:
        if not wait_for_port(ports[name]):
            stop(folder, quiet=True)
            sys.exit(f"mail_servers: {name} {ports[name]} did not open; see {folder}/*.log")
    with open(os.path.join(folder, "servers.env")) as f:
        sys.stdout.write(f.read())


def stop(folder, quiet=False):
    folder = os.path.abspath(folder)
    pid_files = [os.path.join(folder, "run", "master.pid"), os.path.join(folder, "smtp.pid")]
    for pid_file in pid_files:
        try:
            with open(pid_file) as f:
                pid = int(f.read().strip())
        except (OSError, ValueError):
            continue
        try:
            os.kill(pid, signal.SIGTERM)
            deadline = time.monotonic() + 10
            while time.monotonic() < deadline:
                os.kill(pid, 0)
                time.sleep(0.05)
        except ProcessLookupError:
            pass
        try:
            os.remove(pid_file)
        except OSError:
            pass
    if not quiet:
        print(f"mail_servers: stopped {folder}")


# ---- SMTP side -------------------------------------------------------------------------

def serve_smtp(folder):
    import asyncio
    import smtplib
    import ssl
    from aiosmtpd.controller import Controller
    from aiosmtpd.smtp import AuthResult, LoginPassword

    env = read_env(folder)
    lmtp_port = int(env["LMTP_PORT"])
    context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    context.load_cert_chain(os.path.join(folder, "cert.pem"), os.path.join(folder, "key.pem"))

    def authenticator(server, session, envelope, mechanism, auth_data):
        if isinstance(auth_data, LoginPassword):
            if auth_data.password.decode() == PASSWORD:
                return AuthResult(success=True)
        return AuthResult(success=False, handled=False)

    class Deliver:
        async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
            local = address.split("@")[0].lower()
            if local.startswith("refuse-rcpt"):
                return "550 5.1.1 Mailbox unavailable"
            if local.startswith("busy-rcpt"):
                return "451 4.3.0 Try again later"
            envelope.rcpt_tos.append(address)
            return "250 OK"

        async def handle_DATA(self, server, session, envelope):
            if b"\nX-Refuse-Data: yes" in envelope.original_content:
                return "554 5.6.0 Message refused"
            # One LMTP transaction per recipient: smtplib cannot read LMTP's one reply per
            # recipient after DATA.
            try:
                with smtplib.LMTP("127.0.0.1", lmtp_port) as lmtp:
                    for rcpt in envelope.rcpt_tos:
                        lmtp.sendmail(envelope.mail_from, [rcpt], envelope.original_content)
            except smtplib.SMTPRecipientsRefused as e:
                code, text = next(iter(e.recipients.values()))
                return f"{code} {text.decode(errors='replace')}"
            except (smtplib.SMTPException, OSError) as e:
                return f"451 delivery failed: {e}"
            return "250 Message accepted for delivery"

    common = dict(authenticator=authenticator, auth_required=False, auth_require_tls=False,
                  data_size_limit=64 * 1024 * 1024, decode_data=False)
    controllers = [
        Controller(Deliver(), hostname="127.0.0.1", port=int(env["SMTP_PLAIN_PORT"]), **common),
        Controller(Deliver(), hostname="127.0.0.1", port=int(env["SMTP_PORT"]),
                   tls_context=context, require_starttls=False, **common),
        Controller(Deliver(), hostname="127.0.0.1", port=int(env["SMTPS_PORT"]),
                   ssl_context=context, server_hostname="localhost", **common),
    ]
    for c in controllers:
        c.start()

    async def dropping_pop3(reader, writer):
        # Answers like a POP3 server with one 4000-byte message, then hangs up in the
        # middle of sending it.
        writer.write(b"+OK ready\r\n")
        while True:
            line = await reader.readline()
            if not line:
                break
            verb = line.split(b" ")[0].strip().upper()
            if verb in (b"USER", b"PASS", b"NOOP"):
                writer.write(b"+OK\r\n")
            elif verb == b"CAPA":
                writer.write(b"+OK\r\nUSER\r\n.\r\n")
            elif verb == b"STAT":
                writer.write(b"+OK 1 4000\r\n")
            elif verb == b"LIST":
                writer.write(b"+OK 1 messages\r\n1 4000\r\n.\r\n")
            elif verb == b"RETR":
                writer.write(b"+OK 4000 octets\r\nFrom: a@b.c\r\nSubject: cut\r\n\r\n" + b"x" * 500)
                await writer.drain()
                break
            elif verb == b"QUIT":
                writer.write(b"+OK bye\r\n")
                await writer.drain()
                break
            else:
                writer.write(b"-ERR unknown\r\n")
            await writer.drain()
        writer.close()

    async def main():
        server = await asyncio.start_server(dropping_pop3, "127.0.0.1", int(env["POP3_DROP_PORT"]))
        stop_event = asyncio.Event()
        loop = asyncio.get_running_loop()
        loop.add_signal_handler(signal.SIGTERM, stop_event.set)
        loop.add_signal_handler(signal.SIGINT, stop_event.set)
        async with server:
            await stop_event.wait()

    try:
        asyncio.run(main())
    finally:
        for c in controllers:
            c.stop()


def main(argv):
    if len(argv) != 3 or argv[1] not in ("start", "stop", "smtp"):
        sys.exit("usage: mail_servers.py start|stop DIR")
    if argv[1] == "start":
        start(argv[2])
    elif argv[1] == "stop":
        stop(argv[2])
    else:
        serve_smtp(argv[2])


if __name__ == "__main__":
    main(sys.argv)
