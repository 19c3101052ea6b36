#!/usr/bin/env bash
# `make manifests`: the install manifests of one release, made from the
# release files `make dist` wrote: a Scoop manifest (rotary.json) and
# winget's three, in the folders winget-pkgs keeps them in. The URLs are
# those of the release's files on GitHub; the hash is the zip's line in
# SHA256SUMS, after checking that the zip beside it is that file.
#
#   tools/manifests.sh OWNER/NAME vX.Y.Z [DIST]    (DIST: build/dist)
#
# Writes DIST/manifests/rotary.json and
# DIST/manifests/winget/manifests/<o>/<OWNER>/rotary/<X.Y.Z>/*.yaml, the
# same bytes on every run from the same files. On bad input it says what
# is wrong in one line and writes nothing.
set -euo pipefail
export LC_ALL=C

repo=${1-} tag=${2-} dist=${3:-build/dist}
zip=rotary-windows-x64.zip

refuse() {
  echo "manifests: $*" >&2
  exit 1
}

# Three or four numbers: Scoop's checkver reads a release's version as the
# digits and dots after the tag's v (anything after them would not be the
# version it compares), and YAML would read a bare 1 or 1.2 as a number.
[[ $tag =~ ^v([0-9]+\.[0-9]+\.[0-9]+(\.[0-9]+)?)$ ]] ||
  refuse "TAG='$tag' is not v and a version of three or four numbers, such as v1.2.3"
version=${BASH_REMATCH[1]}

# A GitHub account (letters, digits, inner hyphens) and a repository name.
if ! [[ $repo =~ ^([A-Za-z0-9]([A-Za-z0-9-]*[A-Za-z0-9])?)/([A-Za-z0-9._-]+)$ ]] ||
  [[ ${BASH_REMATCH[3]} == . || ${BASH_REMATCH[3]} == .. ]]; then
  refuse "REPO='$repo' is not OWNER/NAME as in the repository's GitHub address"
fi
owner=${BASH_REMATCH[1]} name=${BASH_REMATCH[3]}
# The owner is winget's publisher: a part of a package identifier is at
# most 32 characters, a publisher's name at least 2.
((${#owner} >= 2 && ${#owner} <= 32)) ||
  refuse "OWNER '$owner' cannot be a winget publisher: it needs 2 to 32 characters"

[[ -d $dist ]] || refuse "no $dist: run make dist first"
[[ -f $dist/SHA256SUMS ]] || refuse "no $dist/SHA256SUMS: run make dist first"
hash=
while read -r sum file; do
  [[ $file == "$zip" ]] && hash=$sum
done <"$dist/SHA256SUMS"
[[ -n $hash ]] || refuse "$dist/SHA256SUMS names no $zip"
[[ $hash =~ ^[0-9a-f]{64}$ ]] || refuse "$dist/SHA256SUMS gives $zip no SHA-256 ('$hash')"
[[ -f $dist/$zip ]] || refuse "no $dist/$zip, the file SHA256SUMS names"
actual=$(sha256sum <"$dist/$zip")
actual=${actual%% *}
[[ $actual == "$hash" ]] ||
  refuse "$dist/$zip is not the file SHA256SUMS names (its SHA-256 is $actual)"

home=https://github.com/$owner/$name
download=$home/releases/download
id=$owner.rotary
first=${owner:0:1}
folder=winget/manifests/${first,,}/$owner/rotary/$version

# Everything is written beside the old manifests and put in their place
# only when complete, so that a failure leaves the old ones or none.
work=$(mktemp -d "$dist/.manifests.XXXXXX")
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
mkdir -p "$work/$folder"

# The templates' $ names are Scoop's own placeholders and winget's schema
# comments; @NAME@ are this release's values.
fill() {
  sed -e "s|@VERSION@|$version|g" -e "s|@TAG@|$tag|g" -e "s|@HOME@|$home|g" \
      -e "s|@DOWNLOAD@|$download|g" -e "s|@ZIP@|$zip|g" -e "s|@HASH@|$hash|g" \
      -e "s|@HASH_UPPER@|${hash^^}|g" -e "s|@ID@|$id|g" -e "s|@OWNER@|$owner|g" >"$work/$1"
}

# Scoop: x64 only (Scoop gives Windows 11 on Arm the 64bit one). checkver
# follows the repository's latest release; autoupdate finds the new zip's
# hash in that release's own SHA256SUMS.
fill rotary.json <<'EOF'
{
    "version": "@VERSION@",
    "description": "An animated line drawing of a rotary (Wankel) engine, in one resizable window",
    "homepage": "@HOME@",
    "license": "MIT",
    "architecture": {
        "64bit": {
            "url": "@DOWNLOAD@/@TAG@/@ZIP@",
            "hash": "@HASH@"
        }
    },
    "bin": "rotary.exe",
    "shortcuts": [
        [
            "rotary.exe",
            "Rotary engine"
        ]
    ],
    "checkver": "github",
    "autoupdate": {
        "architecture": {
            "64bit": {
                "url": "@DOWNLOAD@/v$version/@ZIP@"
            }
        },
        "hash": {
            "url": "$baseurl/SHA256SUMS",
            "regex": "$sha256\\s+$basename"
        }
    }
}
EOF

# winget: the zip, holding the portable rotary.exe.
fill "$folder/$id.yaml" <<'EOF'
# yaml-language-server: $schema=https://aka.ms/winget-manifest.version.1.12.0.schema.json
PackageIdentifier: @ID@
PackageVersion: @VERSION@
DefaultLocale: en-US
ManifestType: version
ManifestVersion: 1.12.0
EOF

fill "$folder/$id.installer.yaml" <<'EOF'
# yaml-language-server: $schema=https://aka.ms/winget-manifest.installer.1.12.0.schema.json
PackageIdentifier: @ID@
PackageVersion: @VERSION@
InstallerType: zip
NestedInstallerType: portable
NestedInstallerFiles:
- RelativeFilePath: rotary.exe
  PortableCommandAlias: rotary
Installers:
- Architecture: x64
  InstallerUrl: @DOWNLOAD@/@TAG@/@ZIP@
  InstallerSha256: @HASH_UPPER@
ManifestType: installer
ManifestVersion: 1.12.0
EOF

# (The publisher quoted: an account named like a YAML number or boolean,
# 1234 or yes, must still read as a name.)
fill "$folder/$id.locale.en-US.yaml" <<'EOF'
# yaml-language-server: $schema=https://aka.ms/winget-manifest.defaultLocale.1.12.0.schema.json
PackageIdentifier: @ID@
PackageVersion: @VERSION@
PackageLocale: en-US
Publisher: '@OWNER@'
PublisherUrl: https://github.com/@OWNER@
PackageName: rotary
PackageUrl: @HOME@
License: MIT
LicenseUrl: @HOME@/blob/@TAG@/LICENSE
ShortDescription: An animated line drawing of a rotary (Wankel) engine, in one resizable window
Description: >-
  A three-flanked rotor turns inside a two-lobed housing, drawn in green and red on white
  and scaled with the window. Plain Win32 in a single rotary.exe that takes no arguments,
  reads and writes no files and keeps no settings.
Tags:
- animation
- rotary-engine
- wankel
ReleaseNotesUrl: @HOME@/releases/tag/@TAG@
ManifestType: defaultLocale
ManifestVersion: 1.12.0
EOF

rm -rf "$dist/manifests"
mv "$work" "$dist/manifests"
trap - EXIT
echo "manifests: $dist/manifests/rotary.json and $dist/manifests/$folder/ for $repo $tag"
