#!/bin/sh
# Checks the release as a security team would, from two fresh clones of the tree under test:
#   check_release.sh SOURCE_DIR RESOURCE_CHECK COMMAND,... [NAME=VALUE...]
# - clones in different folders, made and released at different times, time zones and umasks,
#   give the same bytes in dist/ (the OpenPGP signatures of one aside), which sha256sum -c
#   accepts; the archives carry the last commit's time and owner 0 and nothing else of who
#   made them, and the Linux archive holds every COMMAND, the README, the example settings and
#   the report's schema;
# - with a throwaway OpenPGP key, gpgv accepts SHA256SUMS.asc and refuses it for a changed
#   SHA256SUMS, sha256sum -c refuses a changed byte in any file, and ansible-galaxy verifies
#   the installed collection against its signed manifest;
# - the bill of materials validates against SPDX 2.3's schema and names every static library
#   that the link maps show the linker took;
# - a signed release (a throwaway certificate) verifies with osslsigncode for the Windows
#   executable of every COMMAND, its installvorx.exe still runs under Wine and keeps its
#   resources (RESOURCE_CHECK, the tests' resource_check.exe, given the NAME=VALUE
#   expectations), and it differs from the unsigned release only in the signatures;
# - a release refuses a checkout with changes, and a failed signing leaves dist/ as it was.
# Needs the Windows tests' Wine prefix (WINEPREFIX). Exits with 77 (skipped) where SOURCE_DIR is
# no git checkout: a release takes its time from the last commit.
set -eu
export LC_ALL=C
source=$1 resource_check=$2 commands=$(echo "$3" | tr , ' ')
shift 3

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
# The named check succeeds, or the test fails showing the output.
expect() {
  what=$1
  shift
  "$@" >"$work/out" 2>&1 || { cat "$work/out" >&2; fail "$what"; }
}

if ! git -C "$source" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  echo "skipped: $source is not a git checkout"
  exit 77
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/ivx-release.XXXXXX")
# gpg starts an agent for the throwaway keyring, which must not outlive the test.
trap 'GNUPGHOME="$work/gnupg" gpgconf --kill gpg-agent 2>/dev/null; rm -rf "$work"' EXIT
export GIT_AUTHOR_NAME="release test" GIT_AUTHOR_EMAIL=release-test@localhost
export GIT_COMMITTER_NAME="release test" GIT_COMMITTER_EMAIL=release-test@localhost

# The tree under test as a commit: HEAD when the checkout is clean, or else a commit of every
# file that is not ignored, made beside HEAD (the index, the branch and the files stay as they
# are), so that a change is tested before it is committed.
if [ -z "$(git -C "$source" status --porcelain)" ]; then
  commit=$(git -C "$source" rev-parse HEAD)
else
  export GIT_INDEX_FILE="$work/index"
  git -C "$source" read-tree HEAD
  git -C "$source" add -A
  tree=$(git -C "$source" write-tree)
  unset GIT_INDEX_FILE
  commit=$(git -C "$source" commit-tree -p HEAD -m "The tree under test" "$tree")
fi
epoch=$(git -C "$source" log -1 --format=%ct "$commit")

clone() {
  git clone -q --shared --no-checkout "$source" "$1"
  git -C "$1" checkout -q --detach "$commit"
}

# Clones the tree under test into DIR and makes the release there, under UMASK, with the
# command given (NAME=VALUE... RELEASE [OPTION...]).
clone_and_release() {
  dir=$1 mask=$2 log=$3
  shift 3
  (umask "$mask" && clone "$dir" && env "$@" >"$log" 2>&1) ||
    { cat "$log" >&2; fail "the release in $dir failed"; }
}
sums_check() { (cd "$1" && sha256sum -c SHA256SUMS); }
files_in() { (cd "$1" && find . -type f | sed 's|^\./||' | sort); }

# The first clone: a plain folder, UTC, umask 022.
a="$work/a/installvorx"
clone_and_release "$a" 022 "$work/a.log" TZ=UTC0 "$a/scripts/release"
grep -q "SHA256SUMS is UNSIGNED" "$work/a.log" || fail "an unsigned release does not say so"
cp -R "$a/dist" "$work/unsigned"

# The second: deeper, with a blank in its path, made later, 5.5 hours east of UTC, umask 077,
# a SOURCE_DATE_EPOCH of its own that the release must not take, and signed with a throwaway
# OpenPGP key that a passphrase protects.
mkdir -m 700 "$work/gnupg" "$work/verifier"
echo "throwaway passphrase" >"$work/passphrase"
key=release-test@localhost
gpg() { command gpg --homedir "$work/gnupg" --batch --quiet "$@"; }
gpg --pinentry-mode loopback --passphrase-file "$work/passphrase" \
  --quick-gen-key "installvorx release test <$key>" ed25519 sign 2d 2>/dev/null
# As the administrator receives it, and turns it into the keyring that gpgv reads.
gpg --armor --export "$key" >"$work/vorx-release-key.asc"
command gpg --dearmor <"$work/vorx-release-key.asc" >"$work/vorx-release-key.gpg"
b="$work/second clone/src/installvorx"
clone_and_release "$b" 077 "$work/b.log" TZ=IST-5:30 SOURCE_DATE_EPOCH=1 GNUPGHOME="$work/gnupg" \
  "$b/scripts/release" --openpgp-key "$key" --openpgp-passphrase-file "$work/passphrase"

# Both dist/ folders: the same files, byte for byte, and the signatures beside them in the
# second.
listing=$(cd "$a/dist" && ls)
# The collection's archive, named by the version of its galaxy.yml.
collection=vorx-rollout-$(sed -n 's/^version: *//p' "$a/deploy/ansible/galaxy.yml").tar.gz
signatures=$(printf '%s\n' SHA256SUMS.asc "${collection%.tar.gz}.MANIFEST.json.asc")
[ "$(cd "$b/dist" && ls)" = "$(printf '%s\n%s' "$listing" "$signatures" | sort)" ] ||
  fail "dist/ of the signed release holds $(cd "$b/dist" && ls), not $listing and $signatures"
zip=$(cd "$a/dist" && ls -- *.zip)
bom=$(cd "$a/dist" && ls -- *.spdx.json)
record=${bom%.spdx.json}.buildinfo
tgz=""
for file in "$a"/dist/*.tar.gz; do
  [ "${file##*/}" = "$collection" ] || tgz=${file##*/}
done
summed=$(printf '%s\n' "$tgz" "$zip" "$collection" "$bom" "$record" | sort)
[ "$listing" = "$(printf 'SHA256SUMS\n%s' "$summed" | sort)" ] || fail "dist/ holds $listing," \
  "not one ZIP, one tar.gz, the collection, the bill of materials, the build record, SHA256SUMS"
for file in $listing; do
  cmp "$a/dist/$file" "$b/dist/$file" || fail "$file differs between the two clones"
done
[ "$(sed 's/^[0-9a-f]\{64\}  //' "$a/dist/SHA256SUMS")" = "$summed" ] ||
  fail "SHA256SUMS does not sum the archives, the bill of materials and the build record"
expect "sha256sum -c SHA256SUMS fails in dist/" sums_check "$b/dist"

# The signatures, checked as the manual shows, with nothing but the key that was handed over.
gpgv_check() {
  (cd "$1" && GNUPGHOME="$work/verifier" gpgv --keyring "$work/vorx-release-key.gpg" \
    SHA256SUMS.asc SHA256SUMS)
}
expect "gpgv refuses SHA256SUMS.asc" gpgv_check "$b/dist"
# A changed byte anywhere is found: in a summed file by sha256sum -c, in SHA256SUMS by gpgv.
change_byte() {
  size=$(stat -c %s "$1")
  printf '%s' "${2:-X}" | dd of="$1" bs=1 seek=$((size / 2)) conv=notrunc 2>/dev/null
}
for file in $summed SHA256SUMS; do
  rm -rf "$work/changed" && cp -R "$b/dist" "$work/changed"
  cp "$work/changed/$file" "$work/original"
  change_byte "$work/changed/$file"
  ! cmp -s "$work/changed/$file" "$work/original" || change_byte "$work/changed/$file" Y
  if [ "$file" = SHA256SUMS ]; then
    ! gpgv_check "$work/changed" >/dev/null 2>&1 || fail "gpgv accepts a changed SHA256SUMS"
  else
    ! sums_check "$work/changed" >/dev/null 2>&1 || fail "sha256sum -c accepts a changed $file"
  fi
done
# The collection, installed, against its signed manifest; a signature of something else fails.
LC_ALL=C.UTF-8 ansible-galaxy collection install "$b/dist/$collection" -p "$work/collections" \
  --no-deps --offline >"$work/out" 2>&1 || { cat "$work/out" >&2; fail "$collection: no install"; }
galaxy_verify() {
  LC_ALL=C.UTF-8 GNUPGHOME="$work/verifier" ansible-galaxy collection verify vorx.rollout \
    -p "$work/collections" --offline --keyring "$work/vorx-release-key.gpg" --signature "file://$1"
}
expect "ansible-galaxy refuses the collection's signature" \
  galaxy_verify "$b/dist/${collection%.tar.gz}.MANIFEST.json.asc"
! galaxy_verify "$b/dist/SHA256SUMS.asc" >"$work/out" 2>&1 ||
  fail "ansible-galaxy accepts a signature that is not of the collection's manifest"

# The bill of materials: valid SPDX 2.3 (Debian's Python, for which python3-jsonschema is
# installed), and every static library of a link map in it.
expect "$bom does not validate against SPDX 2.3's schema" /usr/bin/python3 -c '
import json, sys, jsonschema
with open(sys.argv[1]) as bom, open(sys.argv[2]) as schema:
    document = json.load(bom)
    jsonschema.validate(document, json.load(schema))
# What the schema cannot say: each element is named once, and each relationship names them.
ids = [element["SPDXID"] for element in document["packages"] + document["files"]]
assert len(ids) == len(set(ids)), "an SPDXID is given twice"
ids.append("SPDXRef-DOCUMENT")
for relation in document["relationships"]:
    for end in relation["spdxElementId"], relation["relatedSpdxElement"]:
        assert end in ids, f"a relationship names {end}, which is not in the document"
' "$a/dist/$bom" "$(dirname "$0")/spdx-schema-2.3.json"
named=$(python3 -c '
import json, sys
print("\n".join(file["fileName"] for file in json.load(open(sys.argv[1]))["files"]))
' "$a/dist/$bom")
for map in "$a"/build/release-linux/*.map "$a"/build/release-windows/*.map; do
  # Every archive that a member was taken from, wherever the map names it.
  libraries=$(grep -oE '(^|[[:space:]])/[^ ()]*\.a\(' "$map" | sed 's/^[[:space:]]*//; s/($//' |
    xargs -r realpath -s -m | sort -u)
  echo "$libraries" | grep -q '/libstdc++\.a$' || fail "$map: no libstdc++.a found in it"
  for library in $libraries; do
    case "$library" in "$a"/*) continue ;; esac
    echo "$named" | grep -qxF "$library" || fail "$bom lacks $library, which $map shows"
  done
done
grep -qx "Git-Commit: $commit" "$a/dist/$record" || fail "$record does not name the commit"

# Times and owners: the commit's, and no one's. A ZIP keeps even seconds, rounded up.
tar_time=$(TZ=UTC0 date -d "@$epoch" '+%Y-%m-%d %H:%M')
TZ=UTC0 tar --numeric-owner -tvzf "$a/dist/$tgz" >"$work/tar.txt"
! grep -v " 0/0 .* $tar_time " "$work/tar.txt" ||
  fail "$tgz: entries above are not owned by 0/0 or not dated $tar_time"
TZ=UTC0 tar --numeric-owner -tvzf "$a/dist/$collection" >"$work/collection.txt"
! grep -v " 0/0 .* $tar_time " "$work/collection.txt" ||
  fail "$collection: entries above are not owned by 0/0 or not dated $tar_time"
grep -q " playbooks/install.yml\$" "$work/collection.txt" || fail "$collection lacks its play"
grep -q " docs/results.schema.json\$" "$work/collection.txt" || fail "$collection lacks its schema"
zip_time=$(TZ=UTC0 date -d "@$((epoch + epoch % 2))" '+%Y%m%d.%H%M%S')
zipinfo -T "$a/dist/$zip" | grep -E '^[-d]r' >"$work/zip.txt"
! grep -v " $zip_time " "$work/zip.txt" || fail "$zip: entries above are not dated $zip_time"
! zipinfo -v "$a/dist/$zip" | grep "length of extra field: *[1-9]" ||
  fail "$zip: entries carry extra fields (owner ids, more times)"
for file in $commands README.md settings.example.ini installvorx-check.schema.json; do
  grep -q " tools/$file\$" "$work/tar.txt" || fail "$tgz lacks tools/$file"
done

# A release refuses a checkout with changes: it would not be the commit's.
touch "$a/stray"
! "$a/scripts/release" >"$work/out" 2>&1 || fail "a release was made from a changed checkout"
grep -q "stray" "$work/out" || fail "the refusal does not name the change"
rm "$a/stray"

# A throwaway code-signing certificate, and a signed release of the first clone.
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=installvorx release test" \
  -addext extendedKeyUsage=codeSigning -addext keyUsage=digitalSignature \
  -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
echo "throwaway password" >"$work/password"
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$work/signer.p12" \
  -passout "file:$work/password"
# As an administrator would name them: from the folder that holds them.
signed_release() {
  (cd "$work" && GNUPGHOME="$work/gnupg" "$a/scripts/release" --sign signer.p12 \
    --password-file password --openpgp-key "$key" --openpgp-passphrase-file passphrase "$@")
}
expect "the signed release failed" signed_release

# Only the signatures differ: the same files, the same Linux archive, and in the ZIP the same
# entries but the Windows executables, which give back the unsigned ones without their
# signature.
[ "$(cd "$a/dist" && ls)" = "$(cd "$b/dist" && ls)" ] || fail "the signed dist/ holds other files"
cmp "$a/dist/$tgz" "$work/unsigned/$tgz" || fail "signing changed $tgz"
expect "sha256sum -c SHA256SUMS fails in the signed dist/" sums_check "$a/dist"
expect "gpgv refuses SHA256SUMS.asc of the signed dist/" gpgv_check "$a/dist"
mkdir "$work/signed-kit" "$work/unsigned-kit"
unzip -q "$a/dist/$zip" -d "$work/signed-kit"
unzip -q "$work/unsigned/$zip" -d "$work/unsigned-kit"
files_in "$work/signed-kit" >"$work/entries"
[ "$(cat "$work/entries")" = "$(files_in "$work/unsigned-kit")" ] ||
  fail "the signed ZIP holds other entries"
changed=$(while read -r entry; do
  cmp -s "$work/signed-kit/$entry" "$work/unsigned-kit/$entry" || echo "$entry"
done <"$work/entries")
wanted=$(for command in $commands; do echo "tools/$command.exe"; done | sort)
[ "$changed" = "$wanted" ] ||
  fail "signing changed [$changed], not the Windows executables [$wanted]"
for command in $commands; do
  exe="$work/signed-kit/tools/$command.exe"
  expect "$command.exe: the signature does not verify" \
    osslsigncode verify -CAfile "$work/cert.pem" -in "$exe"
  grep -q "Message digest algorithm *: SHA256" "$work/out" || fail "$command.exe: not SHA-256"
  expect "$command.exe: the signature cannot be removed" \
    osslsigncode remove-signature -in "$exe" -out "$work/$command.exe"
  cmp "$work/$command.exe" "$work/unsigned-kit/tools/$command.exe" ||
    fail "$command.exe: signing changed more than the signature"
done

# The signed command still runs under Wine (a missing settings file: status 2 and its
# message) and its version information and manifest are intact.
exe="$work/signed-kit/tools/installvorx.exe"
status=0
(cd "$work" && wine "$exe" /s /f missing.ini) >"$work/out" 2>&1 || status=$?
if [ "$status" -ne 2 ] || ! grep -q "QEDN40121-W" "$work/out"; then
  cat "$work/out" >&2
  fail "the signed installvorx.exe ended with $status under Wine"
fi
expect "the signed installvorx.exe lost resources" wine "$resource_check" "Z:$exe" "$@"

# A signing that fails (no time-stamping server answers) fails the release, and dist/ keeps
# the last release.
cp "$a/dist/SHA256SUMS" "$work/signed-sums"
! signed_release --timestamp-url http://127.0.0.1:9/ >"$work/out" 2>&1 ||
  fail "a release whose signing failed succeeded"
cmp "$a/dist/SHA256SUMS" "$work/signed-sums" || fail "a failed release changed dist/"
echo "release: reproducible across clones, summed, signed; $(echo "$commands" | wc -w) command(s)"
