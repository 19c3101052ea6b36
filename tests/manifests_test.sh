#!/usr/bin/env bash
# tools/manifests.sh against a built release folder: the manifests carry
# the zip's URL on the tag's release, its SHA-256 (worked out here from the
# zip itself) and the version; a second run writes the same bytes; and
# each bad input is refused in one line with nothing written.
#
#   tests/manifests_test.sh <release folder of a build, e.g. build/windows/dist>
set -euo pipefail
export LC_ALL=C
script=$(cd "$(dirname "$0")/.." && pwd)/tools/manifests.sh
built=${1:?usage: manifests_test.sh <release folder>}
zip=rotary-windows-x64.zip
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() {
  echo "FAIL: $*"
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

if ((failed)); then
  exit 1
fi
echo "manifests: URL, SHA-256 and version of $built/$zip in all four files, the same bytes twice, 13 bad inputs refused"
