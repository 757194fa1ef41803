#!/bin/sh
# tls_peers.sh start|stop <herald-sim> <folder>
# Native peers for the Windows session's and the program's tests: a test authority, one
# simulator per certificate (good for 127.0.0.1 and localhost, self-signed, from an unknown
# authority, for another name, expired), "plain": one over plain HTTP, and "bare": one
# connection that gets a body without length and a close without close_notify.
# "start" writes "<kind> <port>" lines to <folder>/peers and the authority to
# <folder>/ca.der; "stop" ends the simulators. (stdbuf: the simulator's first line is not flushed.)
set -e
action=$1 sim=$(realpath -m "$2") dir=$3
[ -n "$dir" ] || { echo "usage: tls_peers.sh start|stop <herald-sim> <folder>" >&2; exit 2; }
if [ "$action" = stop ]; then
    [ -f "$dir/pids" ] && kill $(cat "$dir/pids") 2>/dev/null || true
    rm -f "$dir/pids"
    exit 0
fi
rm -rf "$dir" && mkdir -p "$dir" && cd "$dir"
quiet() { "$@" >/dev/null 2>&1; }

quiet openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 30 -subj "/CN=Towerwatch Test Authority" \
    -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign
quiet openssl x509 -in ca.pem -outform DER -out ca.der

# server <name> <subjectAltName>: a key and a request for it
server() {
    quiet openssl req -newkey rsa:2048 -nodes -keyout "$1.key" -out "$1.csr" -subj "/CN=$1"
    printf 'subjectAltName=%s\nextendedKeyUsage=serverAuth\nbasicConstraints=CA:FALSE\n' "$2" > "$1.ext"
}
server good IP:127.0.0.1,DNS:localhost
quiet openssl x509 -req -in good.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 30 -extfile good.ext -out good.pem
server wrongname DNS:elsewhere.invalid
quiet openssl x509 -req -in wrongname.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 30 -extfile wrongname.ext -out wrongname.pem
quiet openssl req -x509 -newkey rsa:2048 -nodes -keyout untrusted.key -out untrusted.pem -days 30 -subj "/CN=localhost" \
    -addext subjectAltName=IP:127.0.0.1,DNS:localhost
# Sent alone, a certificate of an authority nobody trusts makes a partial chain.
quiet openssl req -x509 -newkey rsa:2048 -nodes -keyout stranger.key -out stranger.pem -days 30 -subj "/CN=Stranger" \
    -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign
server unknownissuer IP:127.0.0.1,DNS:localhost
quiet openssl x509 -req -in unknownissuer.csr -CA stranger.pem -CAkey stranger.key -CAcreateserial -days 30 \
    -extfile unknownissuer.ext -out unknownissuer.pem
# An expired one needs dates in the past, which only the ca command sets.
server expired IP:127.0.0.1,DNS:localhost
touch index.txt
printf '[ca]\ndefault_ca=d\n[d]\ndatabase=index.txt\nnew_certs_dir=.\nserial=ca.srl\ndefault_md=sha256\npolicy=p\n[p]\ncommonName=supplied\n' > ca.cnf
quiet openssl ca -batch -notext -config ca.cnf -cert ca.pem -keyfile ca.key -in expired.csr -out expired.pem \
    -startdate 20200101000000Z -enddate 20200201000000Z -extfile expired.ext

: > peers
for kind in good wrongname untrusted unknownissuer expired; do
    stdbuf -oL "$sim" --port 0 --interval 0 --exit-after 600 --tls "$kind.pem" "$kind.key" > "$kind.out" 2>/dev/null &
    echo $! >> pids
done
stdbuf -oL "$sim" --port 0 --interval 0 --exit-after 600 > plain.out 2>/dev/null &
echo $! >> pids
for kind in good wrongname untrusted unknownissuer expired plain; do
    tries=0
    until grep -q '^listening on' "$kind.out" 2>/dev/null; do
        tries=$((tries + 1)); [ $tries -lt 200 ] || { echo "herald-sim for $kind did not start" >&2; exit 1; }
        sleep 0.05
    done
    echo "$kind $(sed -n 's/^listening on 127.0.0.1://p' "$kind.out" | head -1)" >> peers
done

# s_server sends its input at once and, at the input's end, closes without close_notify.
printf 'HTTP/1.0 200 OK\r\n\r\nuntil the end' > bare.body
openssl s_server -accept 127.0.0.1:0 -naccept 1 -cert good.pem -key good.key < bare.body > bare.out 2>&1 &
echo $! >> pids
tries=0
until grep -q '^ACCEPT 127.0.0.1:' bare.out 2>/dev/null; do
    tries=$((tries + 1)); [ $tries -lt 200 ] || { echo "openssl s_server did not start" >&2; exit 1; }
    sleep 0.05
done
echo "bare $(sed -n 's/^ACCEPT 127.0.0.1://p' bare.out | head -1)" >> peers
