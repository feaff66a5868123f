#!/usr/bin/env bash
# A private CUPS server for the printing tests.
#
#   cups-server.sh start DIR   configure and start cupsd in DIR, add the queue
#                              "qmtest" (generic PostScript, prints into
#                              DIR/out/qmtest.ps) and make it the default
#   cups-server.sh stop DIR    stop that cupsd by its process id
#
# The server listens on the Unix socket DIR/cups.sock only; clients reach it
# with CUPS_SERVER=DIR/cups.sock. Spool, cache, state and logs stay in DIR,
# so the system's own CUPS set-up (if any) is never touched.
set -euo pipefail

cmd=${1:-}
dir=${2:-}
if [ -z "$cmd" ] || [ -z "$dir" ]; then
    echo "usage: $0 start|stop DIR" >&2
    exit 2
fi

cupsd=$(command -v cupsd || echo /usr/sbin/cupsd)
lpadmin=$(command -v lpadmin || echo /usr/sbin/lpadmin)

stop_server() {
    local pidfile=$dir/cupsd.pid
    [ -f "$pidfile" ] || return 0
    local pid
    pid=$(cat "$pidfile")
    if kill -0 "$pid" 2>/dev/null; then
        kill "$pid"
        for _ in $(seq 50); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -0 "$pid" 2>/dev/null && kill -9 "$pid" 2>/dev/null || true
    fi
    rm -f "$pidfile"
}

case $cmd in
stop)
    stop_server
    exit 0
    ;;
start)
    ;;
*)
    echo "unknown command: $cmd" >&2
    exit 2
    ;;
esac

for tool in "$cupsd" "$lpadmin"; do
    if [ ! -x "$tool" ]; then
        echo "cannot start CUPS: $tool is not installed" >&2
        exit 1
    fi
done

mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
stop_server
mkdir -p "$dir/spool/tmp" "$dir/cache" "$dir/state" "$dir/log" "$dir/out" "$dir/ppd"
# cupsd runs its filters as the unprivileged user "lp" when started as root;
# they must be able to reach the temporary files and the output folder.
chmod 0755 "$dir" "$dir/out"
chmod 1777 "$dir/spool/tmp"
if [ "$(id -u)" -eq 0 ] && id lp >/dev/null 2>&1 && command -v runuser >/dev/null; then
    if ! runuser -u lp -- test -w "$dir/spool/tmp"; then
        echo "cannot start CUPS in $dir: its filters run as the user lp, who cannot" \
             "reach that folder (every parent folder needs o+x)" >&2
        exit 1
    fi
fi
socket=$dir/cups.sock

cat > "$dir/cupsd.conf" <<CONF
Listen $socket
Browsing No
LogLevel warn
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  JobPrivateAccess all
  JobPrivateValues none
  SubscriptionPrivateAccess all
  SubscriptionPrivateValues none
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF

cat > "$dir/cups-files.conf" <<CONF
ServerRoot $dir
RequestRoot $dir/spool
TempDir $dir/spool/tmp
CacheDir $dir/cache
StateDir $dir/state
ErrorLog $dir/log/error_log
AccessLog $dir/log/access_log
PageLog $dir/log/page_log
FileDevice Yes
CONF
if [ "$(id -u)" -eq 0 ]; then
    echo "SystemGroup root" >> "$dir/cups-files.conf"
else
    echo "SystemGroup $(id -gn)" >> "$dir/cups-files.conf"
fi

"$cupsd" -f -c "$dir/cupsd.conf" -s "$dir/cups-files.conf" \
    > "$dir/log/cupsd.out" 2>&1 < /dev/null &
echo $! > "$dir/cupsd.pid"

ready=0
for _ in $(seq 100); do
    if ! kill -0 "$(cat "$dir/cupsd.pid")" 2>/dev/null; then
        break
    fi
    if [ -S "$socket" ] && CUPS_SERVER=$socket lpstat -r >/dev/null 2>&1; then
        ready=1
        break
    fi
    sleep 0.1
done
if [ $ready -ne 1 ]; then
    echo "cupsd did not start:" >&2
    cat "$dir/log/cupsd.out" "$dir/log/error_log" >&2 2>/dev/null || true
    stop_server
    exit 1
fi

export CUPS_SERVER=$socket
if ! "$lpadmin" -p qmtest -E -v "file://$dir/out/qmtest.ps" \
        -m drv:///sample.drv/generic.ppd 2> "$dir/log/lpadmin.out"; then
    echo "cannot add the test queue:" >&2
    cat "$dir/log/lpadmin.out" >&2
    stop_server
    exit 1
fi
"$lpadmin" -d qmtest
echo "$socket"
