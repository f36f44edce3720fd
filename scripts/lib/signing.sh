# SPDX-FileCopyrightText: 2026 The morph-viewer authors
#
# SPDX-License-Identifier: MIT

# Signing a release and the package repositories made from it, for
# scripts/release. Sourced; needs SOURCE_DATE_EPOCH.
#
# The OpenPGP key is a fingerprint in the publisher's GnuPG keyring
# (MORPH_GPG_KEY, with GNUPGHOME as usual) or a file holding the secret key
# (MORPH_GPG_KEY_FILE), which is imported into a keyring of its own in a
# temporary folder, removed with it. Private keys never enter the release
# folder or a log. Every OpenPGP signature is made at the later of the
# commit's time and the key's creation, so that the same commit and key give
# the same signature.

MORPH_KEY_NAME=morph-viewer-archive-keyring

# signing_start: sets MORPH_GPG_FPR and MORPH_GPG_TIME, importing a key file
# into a temporary keyring (removed by signing_end); fails with a message on a
# key that is not there or cannot sign.
signing_start() {
  MORPH_GPG_FPR=
  if [ -n "${MORPH_GPG_KEY_FILE:-}" ]; then
    [ -f "$MORPH_GPG_KEY_FILE" ] || { echo "No key file $MORPH_GPG_KEY_FILE" >&2; return 1; }
    MORPH_GPG_TEMPORARY_HOME=$(mktemp -d)
    chmod 700 "$MORPH_GPG_TEMPORARY_HOME"
    export GNUPGHOME=$MORPH_GPG_TEMPORARY_HOME
    gpg --batch --quiet --import "$MORPH_GPG_KEY_FILE" 2>/dev/null ||
      { echo "gpg could not import the key file $MORPH_GPG_KEY_FILE" >&2; return 1; }
    MORPH_GPG_FPR=$(gpg --batch --with-colons --list-secret-keys 2>/dev/null | awk -F: '$1 == "fpr" { print $10; exit }')
  elif [ -n "${MORPH_GPG_KEY:-}" ]; then
    MORPH_GPG_FPR=$(gpg --batch --with-colons --list-secret-keys "$MORPH_GPG_KEY" 2>/dev/null |
      awk -F: '$1 == "fpr" { print $10; exit }')
  else
    return 0
  fi
  [ -n "$MORPH_GPG_FPR" ] || { echo "No secret OpenPGP key ${MORPH_GPG_KEY:-in $MORPH_GPG_KEY_FILE}" >&2; return 1; }
  local created
  created=$(gpg --batch --with-colons --list-keys "$MORPH_GPG_FPR" | awk -F: '$1 == "pub" { print $6; exit }')
  MORPH_GPG_TIME=$((created > SOURCE_DATE_EPOCH ? created : SOURCE_DATE_EPOCH))
}

signing_end() {
  if [ -n "${MORPH_GPG_TEMPORARY_HOME:-}" ]; then
    gpgconf --kill all 2>/dev/null || true
    rm -rf "$MORPH_GPG_TEMPORARY_HOME"
  fi
}

# The gpg every signature is made with: the key, the fixed time, no prompt.
gpg_signing() {
  gpg --batch --yes --quiet --faked-system-time "$MORPH_GPG_TIME!" --local-user "$MORPH_GPG_FPR" "$@" 2>/dev/null
}

# export_public_key FILE [--armor]: the public key alone (binary, or armored).
export_public_key() {
  local file=$1
  shift
  gpg --batch --yes --quiet --export --export-options export-minimal "$@" -o "$file" "$MORPH_GPG_FPR"
}

# sign_detached FILE: FILE.asc, an armored detached signature.
sign_detached() {
  gpg_signing --armor --detach-sign -o "$1.asc" "$1"
}

# sign_rpm FILE: the RPM signed in its header (rpmsign, with gpg at the fixed time).
sign_rpm() {
  rpmsign --addsign --define "__gpg $(command -v gpg)" --define "_gpg_name $MORPH_GPG_FPR" \
    --define "_gpg_path $GNUPGHOME" \
    --define "_gpg_sign_cmd_extra_args --faked-system-time $MORPH_GPG_TIME! --quiet" "$1" >/dev/null 2>&1 ||
    { echo "rpmsign could not sign $1" >&2; return 1; }
}

# make_apt_repository DIR URL DEB...: an APT repository in DIR (apt-ftparchive):
# the packages in pool/, the suite "stable" with component "main" and an index
# for each architecture the packages are built for (amd64, arm64), Release
# signed inline (InRelease) and detached (Release.gpg), the public key at the
# root as morph-viewer-archive-keyring.pgp, and morph-viewer.sources for
# /etc/apt/sources.list.d/, which names URL/apt, those architectures and that key.
make_apt_repository() {
  local dir url=$2 deb arch architectures
  dir=$(realpath -m "$1")
  shift 2
  local pool=$dir/pool/main/m/morph-viewer suite=$dir/dists/stable
  mkdir -p "$pool"
  for deb in "$@"; do
    install -m 644 "$deb" "$pool/"
  done
  touch -d "@$SOURCE_DATE_EPOCH" "$pool"/*.deb
  architectures=$(for deb in "$pool"/*.deb; do dpkg-deb -f "$deb" Architecture; done | LC_ALL=C sort -u | xargs)
  for arch in $architectures; do
    mkdir -p "$suite/main/binary-$arch"
    (cd "$dir" && apt-ftparchive --arch "$arch" packages pool >"dists/stable/main/binary-$arch/Packages")
    gzip -9n -c "$suite/main/binary-$arch/Packages" >"$suite/main/binary-$arch/Packages.gz"
  done
  rm -f "$suite/Release" "$suite/InRelease" "$suite/Release.gpg"
  local release=APT::FTPArchive::Release
  (cd "$dir" && apt-ftparchive -o "$release::Origin=Morph Viewer" -o "$release::Label=Morph Viewer" \
    -o "$release::Suite=stable" -o "$release::Codename=stable" -o "$release::Architectures=$architectures" \
    -o "$release::Components=main" -o "$release::Description=Morph Viewer's own packages" \
    -o "$release::Date=$(LC_ALL=C date -u -R -d "@$SOURCE_DATE_EPOCH")" release dists/stable >"$dir/Release.new")
  mv "$dir/Release.new" "$suite/Release"
  gpg_signing --clearsign -o "$suite/InRelease" "$suite/Release"
  gpg_signing --armor --detach-sign -o "$suite/Release.gpg" "$suite/Release"
  export_public_key "$dir/$MORPH_KEY_NAME.pgp"
  cat >"$dir/morph-viewer.sources" <<SOURCES
Types: deb
URIs: $url/apt
Suites: stable
Components: main
Architectures: $architectures
Signed-By: /etc/apt/keyrings/$MORPH_KEY_NAME.pgp
SOURCES
}

# make_rpm_repository DIR URL RPM...: an RPM repository in DIR (createrepo_c)
# holding the (signed) packages, its repodata/repomd.xml signed
# (repomd.xml.asc), the public key as morph-viewer-archive-keyring.asc, and
# morph-viewer.repo for /etc/yum.repos.d/ or /etc/zypp/repos.d/, which names
# URL/rpm and checks both the packages' and the repository's signatures.
make_rpm_repository() {
  local dir url=$2 rpm
  dir=$(realpath -m "$1")
  shift 2
  mkdir -p "$dir"
  for rpm in "$@"; do
    install -m 644 "$rpm" "$dir/"
  done
  touch -d "@$SOURCE_DATE_EPOCH" "$dir"/*.rpm
  rm -rf "$dir/repodata"
  createrepo_c --quiet --no-database --revision "$SOURCE_DATE_EPOCH" --set-timestamp-to-revision \
    --general-compress-type=gz \
    "$dir" >/dev/null
  gpg_signing --armor --detach-sign -o "$dir/repodata/repomd.xml.asc" "$dir/repodata/repomd.xml"
  export_public_key "$dir/$MORPH_KEY_NAME.asc" --armor
  cat >"$dir/morph-viewer.repo" <<REPO
[morph-viewer]
name=Morph Viewer
baseurl=$url/rpm
enabled=1
gpgcheck=1
repo_gpgcheck=1
gpgkey=$url/rpm/$MORPH_KEY_NAME.asc
REPO
}
