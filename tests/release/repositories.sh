# SPDX-FileCopyrightText: 2026 The morph-viewer authors
#
# SPDX-License-Identifier: MIT

# The release's APT and RPM repositories as their users meet them, over
# HTTPS from nginx (hosting.sh): apt with this repository alone installs and
# upgrades the viewer, installs the arm64 one in its place (run under
# qemu-user), and refuses an altered repository or another key; dnf does the
# same, for x86_64 and aarch64; the signed installer under Wine, and the uninstaller it
# installs signed too. Makes release 1.0.1 ($three) from a commit whose
# changelog says so, added to release $one's repositories. Sourced by
# release_test.sh.

echo "== release 1.0.1, added to the repositories"
git clone -q "$source" "$scratch/third"
{
  echo "morph-viewer (1.0.1) unstable; urgency=medium"
  echo
  echo "  * A test release: the same viewer under a newer version."
  echo
  echo " -- The morph-viewer authors <morph-viewer@example.org>  $(date -u -R -d "@$(($(git -C "$scratch/third" log -1 --format=%ct) + 60))")"
  echo
  cat "$scratch/third/data/changelog"
} >"$scratch/changelog"
mv "$scratch/changelog" "$scratch/third/data/changelog"
git -C "$scratch/third" -c user.name=test -c user.email=test@example.org commit -qam "Release 1.0.1 (test)"
three=$(release "$scratch/third" "${signing[@]}" --repo "$one")
[ "$(basename "$three")" = morph-viewer-1.0.1 ] || fail "the release of the 1.0.1 commit is $(basename "$three")"
find "$three/apt/pool" -name '*.deb' -printf '  apt: %f\n' | sort
find "$three/rpm" -maxdepth 1 -name '*.rpm' -printf '  rpm: %f\n' | sort

# apt with its own sources, lists and cache: this repository alone.
aptState=$scratch/apt
mkdir -p "$aptState/sources.list.d" "$aptState/lists/partial" "$aptState/cache/archives/partial" "$aptState/preferences.d"
# The test's authority is trusted for the test's server alone.
apt_run() {
  apt-get -q -o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$aptState/sources.list.d" \
    -o "Dir::Etc::PreferencesParts=$aptState/preferences.d" -o "Dir::State::Lists=$aptState/lists" \
    -o "Dir::Cache=$aptState/cache" -o APT::Sandbox::User=root -o Acquire::Languages=none \
    -o "Acquire::https::localhost::CaInfo=$tls/tls-ca.pem" "$@"
}
# use_repository DIR [KEYRING]: the release folder DIR served by nginx
# (hosting.sh), and apt told of its repository as docs/packaging.md tells a
# user: the keyring (else KEYRING) and the .sources file fetched from the
# server, the file's address the test's server and its key where this test
# keeps it.
use_repository() {
  serve "$1"
  rm -rf "$aptState/lists" && mkdir -p "$aptState/lists/partial"
  local keyring=${2:-$aptState/morph-viewer-archive-keyring.pgp}
  [ -n "${2:-}" ] || curl -fsSLo "$keyring" --cacert "$tls/tls-ca.pem" "$served/apt/morph-viewer-archive-keyring.pgp"
  curl -fsSL --cacert "$tls/tls-ca.pem" "$served/apt/morph-viewer.sources" |
    sed -e "s|^URIs: .*|URIs: $served/apt|" -e "s|^Signed-By: .*|Signed-By: $keyring|" \
      >"$aptState/sources.list.d/morph-viewer.sources"
}
installed_version() {
  dpkg-query -W -f='${Status} ${Version}' morph-viewer 2>/dev/null | sed -n 's/^install ok installed //p'
}
expect_nothing_installed() {
  [ -z "$(installed_version)" ] || fail "morph-viewer was installed: $1"
}

echo "== apt refuses an altered repository and another key"
tampered=$scratch/tampered-apt
mkdir -p "$tampered"
cp -a "$one/apt" "$tampered/apt"
packages=$tampered/apt/dists/stable/main/binary-amd64/Packages
sed -i 's/^Priority: optional$/Priority: required/' "$packages"
gzip -9n -c "$packages" >"$packages.gz"
use_repository "$tampered" "$one/apt/morph-viewer-archive-keyring.pgp"
expect_refused "a repository whose Packages changed after signing" apt_run update
apt_run install -y morph-viewer >/dev/null 2>&1 || true
expect_nothing_installed "from the altered repository"
use_repository "$one" "$keys/other.pgp"
expect_refused "the repository against the other key" apt_run update
apt_run install -y morph-viewer >/dev/null 2>&1 || true
expect_nothing_installed "from a repository signed by another key"
echo "nothing installed"

echo "== apt installs the viewer, which runs"
use_repository "$one"
apt_run update >"$scratch/apt-update.log" 2>&1 || { cat "$scratch/apt-update.log" >&2; fail "apt-get update failed"; }
installed=yes
apt_run install -y --no-install-recommends morph-viewer >"$scratch/apt-install.log" 2>&1 || {
  cat "$scratch/apt-install.log" >&2
  fail "apt-get install morph-viewer failed"
}
grep -E '^(Get|Setting up)' "$scratch/apt-install.log" | sed 's/^/  /'
[ "$(installed_version)" = 1.0.0 ] || fail "apt installed version $(installed_version), not 1.0.0"
(
  trap cleanup_viewer EXIT
  launch_viewer /usr/bin/morph-viewer || fail "the installed viewer mapped no window"
  wait_for_frame "$WINDOW" "$WORK/first.png" || fail "the installed viewer never drew a frame"
  xdotool windowfocus --sync "$WINDOW" || fail "could not focus the window"
  expect_escape_ends_viewer
) || exit 1

echo "== apt-get upgrade brings 1.0.1"
use_repository "$three"
apt_run update >"$scratch/apt-update.log" 2>&1 || { cat "$scratch/apt-update.log" >&2; fail "apt-get update failed"; }
apt_run upgrade -y >"$scratch/apt-upgrade.log" 2>&1 || { cat "$scratch/apt-upgrade.log" >&2; fail "apt-get upgrade failed"; }
grep -E '^(Get|Unpacking|Setting up)' "$scratch/apt-upgrade.log" | sed 's/^/  /'
[ "$(installed_version)" = 1.0.1 ] || fail "after apt-get upgrade the version is $(installed_version), not 1.0.1"
echo "installed 1.0.0, upgraded to 1.0.1"

echo "== apt installs the arm64 viewer, which runs under qemu-user"
# This machine has arm64 as a foreign architecture (the arm64 build's
# libraries come through it), so apt installs the arm64 package as an arm64
# machine would, from the same repository and sources, in place of the amd64
# one (both are /usr/bin/morph-viewer).
grep -qx 'Architectures: amd64 arm64' "$aptState/sources.list.d/morph-viewer.sources" ||
  fail "the repository's sources do not name amd64 and arm64"
apt_run install -y --no-install-recommends morph-viewer:arm64 >"$scratch/apt-install.log" 2>&1 || {
  cat "$scratch/apt-install.log" >&2
  fail "apt-get install morph-viewer:arm64 failed"
}
grep -E '^(Get|Unpacking|Setting up)' "$scratch/apt-install.log" | sed 's/^/  /'
[ "$(dpkg-query -W -f='${Version} ${Architecture}' morph-viewer)" = "1.0.1 arm64" ] ||
  fail "apt installed $(dpkg-query -W -f='${Version} ${Architecture}' morph-viewer), not 1.0.1 for arm64"
(
  trap cleanup_viewer EXIT
  export MORPH_VIEWER_WRAPPER=$source/scripts/lib/arm64-run
  launch_viewer /usr/bin/morph-viewer || fail "the installed arm64 viewer mapped no window"
  wait_for_frame "$WINDOW" "$WORK/first.png" || fail "the installed arm64 viewer never drew a frame"
  xdotool windowfocus --sync "$WINDOW" || fail "could not focus the window"
  expect_escape_ends_viewer
) || exit 1
apt_run remove -y --purge morph-viewer:arm64 >/dev/null 2>&1
installed=
expect_nothing_installed "after its removal"
echo "installed 1.0.1 for arm64 in place of amd64's, ran it, removed"

echo "== dnf installs and upgrades the viewer in a root of its own"
# Debian has no Fedora or openSUSE repository for the C library and GL the
# package requires: a stub package provides them (for both architectures),
# from an unsigned repository of the test's own, so that dnf can resolve,
# check the signatures and install into the empty root.
dnfRoot=$scratch/dnf-root
mkdir -p "$scratch/dnf-repos" "$scratch/stub/repo"
{
  printf 'Name: morph-test-base\nVersion: 1\nRelease: 1\nSummary: What the empty root lacks\nLicense: MIT\nBuildArch: noarch\n'
  rpm -qp --requires "$one"/morph-viewer-"$version"-1.*.rpm 2>/dev/null | grep -v '^rpmlib(' | sort -u |
    sed 's/^/Provides: /'
  printf '%%description\nProvides what morph-viewer requires, for a test in an empty root.\n%%files\n'
} >"$scratch/stub/morph-test-base.rpm-recipe"
rpmbuild --quiet --define "_topdir $scratch/stub" -bb "$scratch/stub/morph-test-base.rpm-recipe" >/dev/null 2>&1 ||
  fail "rpmbuild could not make the stub package"
cp "$scratch"/stub/RPMS/noarch/*.rpm "$scratch/stub/repo/"
createrepo_c --quiet --no-database "$scratch/stub/repo" >/dev/null
printf '[test-base]\nname=test base\nbaseurl=file://%s\ngpgcheck=0\nrepo_gpgcheck=0\n' "$scratch/stub/repo" \
  >"$scratch/dnf-repos/test-base.repo"
# skip_if_unavailable off: Debian's dnf otherwise sets a repository it cannot
# verify aside, says so, and goes on (as Fedora's did before its release 30).
# The root is that of a machine of the architecture $dnfArch (dnf's
# --forcearch: aarch64 as on an ARM machine).
dnfArch=x86_64
dnf_run() {
  mkdir -p "$dnfRoot-$dnfArch"
  dnf -y --installroot="$dnfRoot-$dnfArch" --setopt=reposdir="$scratch/dnf-repos" \
    --setopt=cachedir="$scratch/dnf-cache" --setopt=skip_if_unavailable=False --releasever=1 \
    --forcearch="$dnfArch" "$@"
}
# use_rpm_repository DIR [KEY]: the release folder DIR served by nginx, and
# dnf told of its repository as docs/packaging.md tells a user: the .repo
# file fetched from the server, with the test's server in it, the key from the
# server (else the file KEY), and the test's authority trusted for this
# repository alone.
use_rpm_repository() {
  serve "$1"
  rm -rf "$scratch/dnf-cache"
  local key=$served/rpm/morph-viewer-archive-keyring.asc
  [ -z "${2:-}" ] || key=file://$2
  { curl -fsSL --cacert "$tls/tls-ca.pem" "$served/rpm/morph-viewer.repo" |
      sed -e "s|^baseurl=.*|baseurl=$served/rpm|" -e "s|^gpgkey=.*|gpgkey=$key|"
    echo "sslcacert=$tls/tls-ca.pem"
  } >"$scratch/dnf-repos/morph-viewer.repo"
}
# The version of morph-viewer in dnf's root, or nothing (rpm says "not
# installed" on its standard output).
rpm_installed() {
  if rpm --root "$dnfRoot-$dnfArch" -q morph-viewer >/dev/null 2>&1; then
    rpm --root "$dnfRoot-$dnfArch" -q --qf '%{VERSION} %{ARCH}' morph-viewer
  fi
}
grep -qx 'gpgcheck=1' "$three/rpm/morph-viewer.repo" && grep -qx 'repo_gpgcheck=1' "$three/rpm/morph-viewer.repo" ||
  fail "morph-viewer.repo does not check both signatures"

tamperedRpm=$scratch/tampered-rpm
mkdir -p "$tamperedRpm"
cp -a "$one/rpm" "$tamperedRpm/rpm"
sed -i 's|<revision>|<revision>1|' "$tamperedRpm/rpm/repodata/repomd.xml"
use_rpm_repository "$tamperedRpm" "$one/rpm/morph-viewer-archive-keyring.asc"
expect_refused "an RPM repository whose repomd.xml changed after signing" dnf_run makecache
use_rpm_repository "$one" "$keys/other.asc"
expect_refused "the RPM repository against the other key" dnf_run makecache
# A package signed by the other key, in a repository signed by the right one.
otherRpm=$scratch/other-rpm/rpm
mkdir -p "$otherRpm"
# (With the release's .repo file, which a user fetches from it.)
cp "$one/morph-viewer-$version-1.x86_64.rpm" "$one/rpm/morph-viewer.repo" "$otherRpm/"
otherFpr=$(GNUPGHOME=$keys/other.home gpg --batch --with-colons --list-secret-keys | awk -F: '$1 == "fpr" { print $10; exit }')
rpmsign --resign --define "__gpg $(command -v gpg)" --define "_gpg_name $otherFpr" --define "_gpg_path $keys/other.home" \
  "$otherRpm"/*.rpm >/dev/null 2>&1 || fail "rpmsign could not sign with the other key"
createrepo_c --quiet --no-database "$otherRpm" >/dev/null
GNUPGHOME=$keys/release.home gpg --batch --quiet --armor --detach-sign -o "$otherRpm/repodata/repomd.xml.asc" \
  "$otherRpm/repodata/repomd.xml"
use_rpm_repository "$scratch/other-rpm" "$one/rpm/morph-viewer-archive-keyring.asc"
expect_refused "a package signed by the other key" dnf_run install morph-viewer
[ -z "$(rpm_installed)" ] || fail "dnf installed a package signed by the other key"

# On an x86-64 machine and on a 64-bit ARM one, dnf picks the machine's own
# package from the one repository.
for dnfArch in x86_64 aarch64; do
  use_rpm_repository "$one"
  dnf_run install morph-viewer >"$scratch/dnf.log" 2>&1 || { cat "$scratch/dnf.log" >&2; fail "dnf install failed"; }
  grep -E 'Importing GPG key|Fingerprint|Installing +: morph-viewer' "$scratch/dnf.log" | sed 's/^ */  /'
  [ "$(rpm_installed)" = "1.0.0 $dnfArch" ] || fail "dnf installed $(rpm_installed), not 1.0.0 $dnfArch"
  use_rpm_repository "$three"
  dnf_run upgrade >"$scratch/dnf.log" 2>&1 || { cat "$scratch/dnf.log" >&2; fail "dnf upgrade failed"; }
  grep -E 'Upgrading +: morph-viewer' "$scratch/dnf.log" | sed 's/^ */  /'
  [ "$(rpm_installed)" = "1.0.1 $dnfArch" ] || fail "after dnf upgrade dnf has $(rpm_installed), not 1.0.1 $dnfArch"
  echo "dnf ($dnfArch) checked the repository's and the packages' signatures, installed 1.0.0 and upgraded to 1.0.1"
done
dnfArch=x86_64
stop_serving

echo "== the signed installer under Wine"
MORPH_UNINSTALLER_CA=$keys/release-ca.pem \
  "$source/tests/windows/installer_test.sh" "$scratch/first" "$scratch/first/build-dist/work/windows" \
  "$one/morph-viewer-$version-win64.exe" >"$scratch/wine.log" 2>&1 || {
  cat "$scratch/wine.log" >&2
  fail "the signed installer did not install and uninstall under Wine"
}
grep -E '^(==|installer|uninstaller:|none of|no uninstall)' "$scratch/wine.log" | sed 's/^/  /'
