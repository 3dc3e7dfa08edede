#!/usr/bin/env bash
# The demo: a demo hotel site, a mail sandbox on 127.0.0.1, a few messages queued in its
# outbox, and the notification server running headless until Ctrl+C, so that one sees the
# cycle send them. Expects a build in build/ (scripts/run.sh makes it).
# QUARVELT_DEMO_DIR chooses the folder (default build/demo); it is rebuilt on every run.
# QUARVELT_DEMO_PERIOD sets the cycle period in seconds (default 15).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
demo=${QUARVELT_DEMO_DIR:-$root/build/demo}
period=${QUARVELT_DEMO_PERIOD:-15}
site=$demo/site
sandbox=$demo/mail
qvtable=$root/build/tools/qvtable/qvtable
queue=$root/build/tools/quarvelt-demo/quarvelt-demo
server=$root/build/src/startup/quarvelt-mailserver
servers_py=$root/tests/support/mail_servers.py

stop_sandbox() { /usr/bin/python3 "$servers_py" stop "$sandbox" >/dev/null 2>&1 || true; }
trap stop_sandbox EXIT
# Ctrl+C reaches the server too; the script only has to outlive it and clean up.
trap 'echo; echo "demo: stopping"' INT TERM

echo "== mail sandbox on 127.0.0.1 ($sandbox)"
rm -rf "$site"
mkdir -p "$demo"
/usr/bin/python3 "$servers_py" start "$sandbox" >/dev/null
env_value() { sed -n "s/^$1=//p" "$sandbox/servers.env"; }
smtp_port=$(env_value SMTP_PLAIN_PORT)
pop3_port=$(env_value POP3_PORT)
imap_port=$(env_value IMAP_PORT)
password=$(env_value PASSWORD)

echo "== demo hotel in $site"
"$qvtable" demo-site "$site" "$smtp_port" "$pop3_port"
# The Center reports on the business of NEGOCIO_H; the sandbox takes one password for every user.
"$qvtable" replace "$site/BASES/DEFMAIL.DBF" 1 NEGOCIO_H=HOTEL1 "AUTH_PASS=$password" "MAX_WAIT2=$period" >/dev/null
"$queue" "$site"

cat <<INFO
== the Notification Center, headless; it runs a cycle at start and then every $period s
   While it runs, read the mail it sends:
     Maildir:  $sandbox/mail/<user>/Maildir/new/   (user = the address before @)
     IMAP:     127.0.0.1 port $imap_port, that user, password $password
   Ctrl+C stops the server and the sandbox.
INFO
status=0
# The program itself: its frame opens the Center through command 2984 and minimises itself.
"$server" --dir "$site" --headless || status=$?

echo
echo "== mail delivered (the Maildirs stay in $sandbox/mail/)"
for box in "$sandbox"/mail/*/Maildir; do
  [ -d "$box" ] || continue
  user=$(basename "$(dirname "$box")")
  count=$(find "$box/new" "$box/cur" -type f 2>/dev/null | wc -l)
  echo "   $user: $count message(s) in $box/new/"
done
# 130 is the server stopped by Ctrl+C: the way the demo is meant to end.
[ "$status" -eq 130 ] && status=0
exit "$status"
