#!/usr/bin/env bash
# tools/manifests.sh against a built release folder: the manifests carry
# the zip's URL on the tag's release, its SHA-256 (worked out here from the
# zip itself) and the version; a second run writes the same bytes; and
# each bad input is refused in one line with nothing written. Then Scoop's
# autoupdate finds the zip's hash in SHA256SUMS, the bucket is make
# manifests' manifest, and the zip's README names nothing the zip lacks.
#
#   tests/manifests_test.sh <release folder of a build, e.g. build/windows/dist>
set -euo pipefail
export LC_ALL=C
root=$(cd "$(dirname "$0")/.." && pwd)
script=$root/tools/manifests.sh
built=$(cd "${1:?usage: manifests_test.sh <release folder>}" && pwd)
zip=rotary-windows-x64.zip
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() {
  echo "FAIL: ${BASH_SOURCE[1]}:${BASH_LINENO[0]}: $*"
  failed=1
}

# A copy of the release folder, so that the build tree is left alone.
release() {  # $1: folder to make
  mkdir -p "$1"
  cp "$built/SHA256SUMS" "$built/$zip" "$1/"
}

release "$work/dist"
"$script" example/rotary v1.2.3 "$work/dist" >/dev/null || {
  echo "FAIL: example/rotary v1.2.3 refused with the files of $built"
  exit 1
}
out=$work/dist/manifests
hash=$(sha256sum <"$built/$zip")
hash=${hash%% *}
url=https://github.com/example/rotary/releases/download/v1.2.3/$zip
w=winget/manifests/e/example/rotary/1.2.3
expected_files="rotary.json
$w/example.rotary.installer.yaml
$w/example.rotary.locale.en-US.yaml
$w/example.rotary.yaml"
files=$(cd "$out" && find . -type f | sed 's|^\./||' | sort)
[[ $files == "$expected_files" ]] || fail "the files written are:"$'\n'"$files"

# has <file under the manifests folder> <text it must hold>
has() {
  grep -qF -- "$2" "$out/$1" 2>/dev/null || fail "$1 lacks: $2"
}
has rotary.json "\"version\": \"1.2.3\","
has rotary.json "\"url\": \"$url\","
has rotary.json "\"hash\": \"$hash\""
has rotary.json '"url": "https://github.com/example/rotary/releases/download/v$version/'"$zip\""
has rotary.json '"url": "$baseurl/SHA256SUMS"'
has "$w/example.rotary.installer.yaml" "InstallerUrl: $url"
has "$w/example.rotary.installer.yaml" "InstallerSha256: ${hash^^}"
for f in "$w"/example.rotary.{yaml,installer.yaml,locale.en-US.yaml}; do
  has "$f" "PackageIdentifier: example.rotary"
  has "$f" "PackageVersion: 1.2.3"
done

# The same bytes again, from a second run over the first one's output.
sums() { (cd "$out" && find . -type f -print0 | sort -z | xargs -0 sha256sum); }
first=$(sums)
"$script" example/rotary v1.2.3 "$work/dist" >/dev/null
[[ $(sums) == "$first" ]] || fail "a second run wrote other bytes"

# Bad input: <what the one line must name, _ for a space, @DIST@ for the
# folder> <REPO> <TAG> <release folder>,
# the folder one of: good, none (no folder), no-sums, no-zip-line,
# other-zip (a zip that is not the one SHA256SUMS names).
while read -r names repo tag kind; do
  [[ $repo == - ]] && repo=""
  [[ $tag == - ]] && tag=""
  dist=$work/bad/$kind
  names=${names//_/ } names=${names//@DIST@/$dist}
  rm -rf "$work/bad"
  case $kind in
    good) release "$dist" ;;
    none) ;;
    no-sums) release "$dist" && rm "$dist/SHA256SUMS" ;;
    no-zip-line) release "$dist" && sed -i "/ $zip\$/d" "$dist/SHA256SUMS" ;;
    other-zip) release "$dist" && echo x >>"$dist/$zip" ;;
  esac
  before=$(ls -A "$work/bad" "$dist" 2>/dev/null || true)
  status=0
  "$script" "$repo" "$tag" "$dist" >"$work/stdout" 2>"$work/stderr" || status=$?
  after=$(ls -A "$work/bad" "$dist" 2>/dev/null || true)
  case="REPO='$repo' TAG='$tag' ($kind)"
  ((status != 0)) || fail "$case: accepted"
  [[ $(wc -l <"$work/stderr") -eq 1 && ! -s $work/stdout ]] ||
    fail "$case: not one line: $(cat "$work/stdout" "$work/stderr")"
  grep -qF -- "$names" "$work/stderr" || fail "$case: the message does not name $names: $(cat "$work/stderr")"
  [[ $after == "$before" ]] || fail "$case: wrote $after"
done <<'EOF'
TAG example/rotary 1.2.3 good
TAG example/rotary vfoo good
TAG example/rotary - good
TAG example/rotary v1.2 good
REPO - v1.2.3 good
REPO a/b/c v1.2.3 good
REPO ../x v1.2.3 good
REPO example/.. v1.2.3 good
no_@DIST@:_run_make_dist example/rotary v1.2.3 none
no_@DIST@/SHA256SUMS example/rotary v1.2.3 no-sums
SHA256SUMS_names_no_rotary-windows-x64.zip example/rotary v1.2.3 no-zip-line
is_not_the_file_SHA256SUMS_names example/rotary v1.2.3 other-zip
EOF
# (A name with a space cannot be one word of the table.)
status=0
"$script" "exa mple/rotary" v1.2.3 "$work/dist" 2>"$work/stderr" >/dev/null || status=$?
if ((status == 0)) || ! grep -qF REPO "$work/stderr"; then
  fail "REPO='exa mple/rotary': not refused as a bad REPO"
fi
[[ $(sums) == "$first" ]] || fail "REPO='exa mple/rotary': changed the manifests already there"

# Scoop's autoupdate (lib/autoupdate.ps1, find_hash_in_textfile) reads the
# hash from the file at hash.url, $baseurl being the new zip's URL less its
# name, with hash.regex: $sha256 made ([a-fA-F0-9]{64}), $basename the zip's
# name regex-escaped, matched case-blind against the whole file. So in Perl:
m=$work/dist/manifests/rotary.json
new=$(sed -n 's|^ *"url": "\(.*/v\$version/.*\)"$|\1|p' "$m") new=${new//\$version/1.2.3}
sums=$(sed -n 's|^ *"url": "\(.*/SHA256SUMS\)",$|\1|p' "$m") sums=${sums//\$baseurl/${new%/*}}
[[ $sums == "${url%/*}/SHA256SUMS" ]] || fail "autoupdate reads '$sums', not ${url%/*}/SHA256SUMS"
regex=$(sed -n 's|^ *"regex": "\(.*\)"$|\1|p' "$m")
found=$(REGEX=${regex//\\\\/\\} NAME=${new##*/} perl -0777 -ne '$r = $ENV{REGEX};
  $r =~ s/\$sha256/([a-fA-F0-9]{64})/g; $n = quotemeta $ENV{NAME}; $r =~ s/\$basename/$n/g;
  print $1 if /$r/i' "$built/SHA256SUMS")
[[ $found == "$hash" ]] || fail "autoupdate takes '$found' from SHA256SUMS, not the zip's $hash"

# The bucket, bucket/rotary.json, is what make manifests writes for the
# release it names, all but the hash: that is of the release's own zip.
bucket=$root/bucket/rotary.json
b_repo=$(sed -n 's|^    "homepage": "https://github.com/\(.*\)",$|\1|p' "$bucket")
b_tag=v$(sed -n 's|^    "version": "\(.*\)",$|\1|p' "$bucket")
b_hash=$(sed -n 's|^ *"hash": "\([0-9a-f]\{64\}\)"$|\1|p' "$bucket")
release "$work/bucket"
if [[ -n $b_hash ]] && "$script" "$b_repo" "$b_tag" "$work/bucket" >/dev/null; then
  sed "s|$hash|$b_hash|" "$work/bucket/manifests/rotary.json" | diff -u - "$bucket" >"$work/diff" ||
    fail "bucket/rotary.json is not make manifests' for $b_repo $b_tag:"$'\n'"$(cat "$work/diff")"
else
  fail "bucket/rotary.json names no release make manifests takes: '$b_repo' '$b_tag' '$b_hash'"
fi

# The zip: the program, its licence and its own README, which names no file
# the zip lacks (a page of the repository, a picture) and has no link.
members=$(cmake -E tar tf "$built/$zip" | sort | tr '\n' ' ')
[[ $members == "LICENSE README.txt rotary.exe " ]] ||
  fail "the zip holds $members, not LICENSE README.txt rotary.exe"
(cd "$work" && cmake -E tar xf "$built/$zip" README.txt) 2>/dev/null || fail "the zip has no README.txt"
ext='md|txt|exe|gif|png|jpg|svg|html|json|zip|yaml|ps1|sh'
dead=$(grep -noE "\]\(|<img|[[:alnum:]_.-]+(/[[:alnum:]_.-]+)+|[[:alnum:]_-]+\.($ext)\b" \
  "$work/README.txt" 2>/dev/null | grep -vE ':(rotary\.exe|README\.txt)$' || true)
[[ -z $dead ]] || fail "the zip's README.txt points past the zip (line:text): $dead"

if ((failed)); then
  exit 1
fi
echo "manifests: URL, SHA-256 and version of $built/$zip in all four files, the same bytes twice," \
  "13 bad inputs refused, autoupdate's hash found, the bucket's for $b_tag, the zip's README whole"
