# SPDX-FileCopyrightText: 2026 The morph-viewer authors
#
# SPDX-License-Identifier: MIT

# The release as a publisher serves it: nginx with the release's own server
# block (morph-viewer.nginx.conf), started by the test as an ordinary process
# on a free loopback port, with a certificate from a throwaway authority, and
# stopped by it. Through it, here: each header, media type and cache rule, the
# files compressed ahead, a redirect, a 404, a range and a conditional
# request (curl); the page's start, embedding and offline use in Chromium.
# repositories.sh then installs and upgrades through it with apt and dnf.
# Sourced by release_test.sh.

echo "== the release served by nginx over HTTPS"
tls=$scratch/tls
mkdir -p "$tls"
make_tls_certificate "$tls"
# nginx's workers run as nobody: the release folders must be readable (the
# keys' folder stays the owner's alone).
chmod 755 "$scratch"
nginxDir=$scratch/nginx
nginxPid=
served=

# serve DIR: nginx serving the folder DIR with the release's server block, on
# a free loopback port, at $served (https://localhost:PORT). Only the block's
# address, host name and folder are the test's own.
serve() {
  stop_serving
  mkdir -p "$nginxDir/logs" "$nginxDir/temp"
  cp /etc/nginx/mime.types "$nginxDir/"
  local port
  port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
  sed -e "s|^\( *\)listen 443 ssl http2;|\1listen 127.0.0.1:$port ssl http2;|" -e '/listen \[::\]:443/d' \
    -e 's|^\( *\)server_name .*|\1server_name localhost;|' -e "s|^\( *\)root .*|\1root $1;|" \
    "$one/morph-viewer.nginx.conf" >"$nginxDir/morph-viewer.conf"
  cat >"$nginxDir/nginx.conf" <<CONF
load_module /usr/lib/nginx/modules/ngx_http_brotli_static_module.so;
pid $nginxDir/nginx.pid;
error_log $nginxDir/logs/error.log;
worker_processes 1;
events { }
http {
    access_log $nginxDir/logs/access.log;
    client_body_temp_path $nginxDir/temp/body;
    proxy_temp_path $nginxDir/temp/proxy;
    fastcgi_temp_path $nginxDir/temp/fastcgi;
    uwsgi_temp_path $nginxDir/temp/uwsgi;
    scgi_temp_path $nginxDir/temp/scgi;
    ssl_certificate $tls/tls-server.pem;
    ssl_certificate_key $tls/tls-server.key;
    include $nginxDir/morph-viewer.conf;
}
CONF
  nginx -p "$nginxDir" -e "$nginxDir/logs/error.log" -c "$nginxDir/nginx.conf" 2>"$nginxDir/logs/start.log" ||
    fail "nginx did not start: $(cat "$nginxDir/logs/start.log" "$nginxDir/logs/error.log" | grep -m 1 emerg)"
  nginxPid=$(cat "$nginxDir/nginx.pid")
  served=https://localhost:$port
}
stop_serving() {
  [ -n "$nginxPid" ] || return 0
  kill "$nginxPid" 2>/dev/null || true
  local tries=0
  while kill -0 "$nginxPid" 2>/dev/null; do
    tries=$((tries + 1))
    [ "$tries" -lt 100 ] || fail "nginx did not stop"
    sleep 0.1
  done
  nginxPid=
}
# fetch PATH [CURL OPTIONS]: the response's header lines (CR removed), the
# test's authority trusted for this request alone.
fetch() {
  local path=$1 lines
  shift
  lines=$(curl -sS -o /dev/null -D - --cacert "$tls/tls-ca.pem" "$@" "$served$path") ||
    fail "curl could not fetch $path"
  printf '%s\n' "${lines//$'\r'/}"
}
# header NAME: that header's value in the header lines on standard input (the
# first, if there are several); status_code: the response's status code. Both read
# all their input: a reader that stopped at what it wants could leave the
# command writing to it (echo, printf, curl) to die of SIGPIPE, which
# pipefail reports as a failure.
header() {
  awk -v name="$1" 'index(tolower($0), tolower(name) ": ") == 1 && !found { print substr($0, length(name) + 3); found = 1 }'
}
status_code() {
  awk 'NR == 1 { print $2 }'
}

serve "$one"
policy=$(grep -o 'http-equiv="Content-Security-Policy" content="[^"]*"' "$one/site/index.html" | sed 's/.*content="//; s/"$//')
[ -n "$policy" ] || fail "the page names no policy"
echo "nginx $(nginx -v 2>&1 | sed 's|.*/||') serves $(basename "$one") at $served"

echo "== each header, media type and cache rule"
kYear="public, max-age=31536000, immutable"
deb=$(cd "$one/apt" && find pool -name '*.deb' -print -quit)
# path | header | value (each from a 200 response, but for the release's
# root, which sends to the page)
while IFS='|' read -r path name value; do
  response=$(fetch "$path")
  status=$(echo "$response" | status_code)
  [ "$status" = 200 ] || [ "$path" = / ] || fail "$path: status $status"
  got=$(echo "$response" | header "$name")
  [ "$got" = "$value" ] || fail "$path: $name is \"$got\", not \"$value\""
done <<TABLE
/site/|Content-Type|text/html; charset=utf-8
/site/|Cache-Control|no-cache
/site/|Content-Security-Policy|$policy; frame-ancestors *
/site/|X-Content-Type-Options|nosniff
/site/|Referrer-Policy|same-origin
/site/ar/|Content-Type|text/html; charset=utf-8
/site/sw.js|Content-Type|application/javascript; charset=utf-8
/site/sw.js|Cache-Control|no-cache
/site/sw.js|Content-Security-Policy|$policy; frame-ancestors *
/site/viewer-worker.js|Content-Security-Policy|$policy; frame-ancestors *
/site/morph-viewer.wasm|Content-Type|application/wasm
/site/morph-viewer.wasm|Cache-Control|no-cache
/site/manifest.webmanifest|Content-Type|application/manifest+json; charset=utf-8
/site/style.css|Content-Type|text/css; charset=utf-8
/apt/dists/stable/InRelease|Cache-Control|no-cache
/apt/dists/stable/InRelease|X-Content-Type-Options|nosniff
/apt/$deb|Content-Type|application/vnd.debian.binary-package
/apt/$deb|Cache-Control|$kYear
/apt/morph-viewer-archive-keyring.pgp|Content-Type|application/pgp-keys
/rpm/morph-viewer-$version-1.x86_64.rpm|Content-Type|application/x-rpm
/rpm/morph-viewer-$version-1.x86_64.rpm|Cache-Control|$kYear
/rpm/repodata/repomd.xml|Cache-Control|no-cache
/rpm/morph-viewer-archive-keyring.asc|Content-Type|application/pgp-keys
/SHA256SUMS|Cache-Control|no-cache
/SHA256SUMS.asc|Content-Type|application/pgp-signature
/morph-viewer-$version.tar.gz|Cache-Control|$kYear
/|Location|$served/site/
TABLE
echo "every header as the configuration says"

echo "== the files compressed ahead, a 404, a range, a conditional request"
# path | Accept-Encoding | Content-Encoding | the file whose bytes come
while IFS='|' read -r path accept encoding file; do
  body=$scratch/body
  got=$(curl -sS -o "$body" -D - --cacert "$tls/tls-ca.pem" -H "Accept-Encoding: $accept" "$served$path" |
    tr -d '\r' | header Content-Encoding)
  [ "$got" = "$encoding" ] || fail "$path for \"$accept\": Content-Encoding \"$got\", not \"$encoding\""
  cmp -s "$body" "$one$file" || fail "$path for \"$accept\": not the bytes of $file"
done <<TABLE
/site/morph-viewer.wasm|br, gzip|br|/site/morph-viewer.wasm.br
/site/morph-viewer.wasm|gzip|gzip|/site/morph-viewer.wasm.gz
/site/morph-viewer.wasm|identity||/site/morph-viewer.wasm
/site/|gzip, deflate, br|br|/site/index.html.br
/site/page.js|gzip|gzip|/site/page.js.gz
/site/icon.png|br, gzip||/site/icon.png
TABLE
[ "$(fetch /site/no-such-file | status_code)" = 404 ] || fail "a missing file is not a 404"
[ "$(fetch / | status_code)" = 302 ] || fail "the release's root does not send to the page"
range=$(fetch /site/morph-viewer.wasm -r 0-99)
[ "$(echo "$range" | status_code)" = 206 ] && [ "$(echo "$range" | header Content-Length)" = 100 ] ||
  fail "a range request did not get its 100 bytes"
modified=$(fetch /apt/dists/stable/InRelease | header Last-Modified)
[ "$(fetch /apt/dists/stable/InRelease -H "If-Modified-Since: $modified" | status_code)" = 304 ] ||
  fail "an unchanged index asked for again is sent again"
echo "Brotli, gzip or the file as asked; 404, 302, 206 and 304 where due"

echo "== what curl -sI receives"
for path in /site/ /site/sw.js /site/morph-viewer.wasm /apt/dists/stable/InRelease; do
  echo "  $path"
  fetch "$path" -I -H "Accept-Encoding: br, gzip" | grep -Eiv '^(date|server|etag):|^$' | sed 's/^/    /'
done

echo "== a first visit's bytes on the wire (the files the page fetches as it starts)"
for accept in "br, gzip" gzip identity; do
  total=0
  for path in /site/ /site/language.js /site/style.css /site/page.js /site/viewer-worker.js /site/icon.png \
    /site/morph-viewer.wasm /site/sw.js /site/manifest.webmanifest; do
    size=$(curl -sS -o /dev/null -w '%{size_download}' --cacert "$tls/tls-ca.pem" -H "Accept-Encoding: $accept" \
      "$served$path")
    total=$((total + size))
  done
  printf '  Accept-Encoding: %-9s %7d bytes\n' "$accept" "$total"
done

echo "== the page through nginx, in Chromium: its start, embedding and offline use"
spki=$(openssl x509 -in "$tls/tls-server.pem" -pubkey -noout | openssl pkey -pubin -outform der |
  openssl dgst -sha256 -binary | base64)
(
  cd "$scratch/first"
  export MORPH_WEB_URL=$served/site/ MORPH_WEB_SPKI=$spki MORPH_WEB_SITE=$one/site \
    MORPH_WEB_MODULES=$scratch/first/build-dist/work/web/modules MORPH_WEB_STOP="kill $nginxPid"
  # (An && list: in a subshell whose status is tested, set -e does not act.)
  # Last, the test that stops the server.
  node --test tests/web/page.test.mjs tests/web/embed.test.mjs &&
    node --test tests/release/served.test.mjs
) >"$scratch/served.log" 2>&1 || { cat "$scratch/served.log" >&2; fail "the page's tests failed through nginx"; }
nginxPid=
grep -E '^# (tests|pass|fail) ' "$scratch/served.log" | sed 's/^# /  /' || true
echo "the page's start, embedding and offline tests passed through nginx"
