# SPDX-FileCopyrightText: 2026 The morph-viewer authors
#
# SPDX-License-Identifier: MIT

# Throwaway keys for the release's test, made in a folder of its own: OpenPGP
# keys in GnuPG homes of their own, and certificate authorities with a
# code-signing certificate each, made with openssl; every signing key is dated
# 2020-01-01, before any commit it signs. And a TLS server's certificate for
# the test's web server. Sourced by release_test.sh.

kKeyDate=1577836800  # 2020-01-01

# make_openpgp_key DIR NAME: DIR/NAME.home (its GnuPG home), DIR/NAME.key (the
# secret key), DIR/NAME.pgp (the public key, binary) and DIR/NAME.asc (armored).
make_openpgp_key() {
  local dir=$1 name=$2
  local home=$dir/$name.home
  mkdir -m 700 -p "$home"
  GNUPGHOME=$home gpg --batch --quiet --faked-system-time "$kKeyDate!" --passphrase '' \
    --quick-gen-key "Morph Viewer test key $name <test@example.org>" rsa3072 sign never 2>/dev/null
  GNUPGHOME=$home gpg --batch --quiet --export-secret-keys -o "$dir/$name.key"
  GNUPGHOME=$home gpg --batch --quiet --export -o "$dir/$name.pgp"
  GNUPGHOME=$home gpg --batch --quiet --armor --export -o "$dir/$name.asc"
  GNUPGHOME=$home gpgconf --kill all 2>/dev/null || true
}

# make_code_signing DIR NAME: a certificate authority DIR/NAME-ca.pem and a
# code-signing certificate it issued, as DIR/NAME.p12 (with the chain) whose
# password is in DIR/NAME.password.
make_code_signing() {
  local dir=$1 name=$2
  local ca=$dir/$name-ca
  mkdir -p "$ca"
  cat >"$ca/ca.cnf" <<'CONFIG'
[ ca ]
default_ca = test
[ test ]
dir = .
database = index.txt
new_certs_dir = .
serial = serial
default_md = sha256
policy = any
unique_subject = no
[ any ]
commonName = supplied
[ root ]
basicConstraints = critical,CA:TRUE
keyUsage = critical,keyCertSign,cRLSign
subjectKeyIdentifier = hash
[ codesign ]
basicConstraints = critical,CA:FALSE
keyUsage = critical,digitalSignature
extendedKeyUsage = codeSigning
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
CONFIG
  (
    cd "$ca"
    touch index.txt
    echo 01 >serial
    local dates=(-startdate 20200101000000Z -enddate 20400101000000Z)
    openssl req -new -newkey rsa:3072 -nodes -keyout ca.key -out ca.csr -subj "/CN=Morph Viewer test authority $name"
    openssl ca -batch -config ca.cnf -selfsign -keyfile ca.key -in ca.csr -out ca.pem "${dates[@]}" -extensions root
    openssl req -new -newkey rsa:3072 -nodes -keyout signer.key -out signer.csr -subj "/CN=The morph-viewer authors"
    openssl ca -batch -config ca.cnf -cert ca.pem -keyfile ca.key -in signer.csr -out signer.pem "${dates[@]}" \
      -extensions codesign
  ) >/dev/null 2>&1
  cp "$ca/ca.pem" "$dir/$name-ca.pem"
  head -c 24 /dev/urandom | base64 >"$dir/$name.password"
  openssl pkcs12 -export -inkey "$ca/signer.key" -in "$ca/signer.pem" -certfile "$ca/ca.pem" -out "$dir/$name.p12" \
    -passout "file:$dir/$name.password"
}

# make_tls_certificate DIR: a throwaway certificate authority, DIR/tls-ca.pem,
# and a server certificate it issued for localhost and 127.0.0.1,
# DIR/tls-server.pem with its key DIR/tls-server.key: for the test's own web
# server, trusted by the clients for that host only. Valid for a month from
# the day it is made (a TLS client checks the dates against the clock).
make_tls_certificate() {
  local dir=$1
  (
    cd "$dir"
    local key=(-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes)
    openssl req -x509 "${key[@]}" -keyout tls-ca.key -out tls-ca.pem -days 30 \
      -subj "/CN=Morph Viewer test TLS authority" -addext "basicConstraints=critical,CA:TRUE" \
      -addext "keyUsage=critical,keyCertSign,cRLSign"
    openssl req -new "${key[@]}" -keyout tls-server.key -out tls-server.csr -subj "/CN=localhost"
    printf '%s\n' "basicConstraints=critical,CA:FALSE" "keyUsage=critical,digitalSignature" \
      "extendedKeyUsage=serverAuth" "subjectAltName=DNS:localhost,IP:127.0.0.1" >tls-server.ext
    openssl x509 -req -in tls-server.csr -CA tls-ca.pem -CAkey tls-ca.key -CAcreateserial -days 30 \
      -extfile tls-server.ext -out tls-server.pem
  ) >/dev/null 2>&1
}
