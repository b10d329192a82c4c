#!/usr/bin/env bash
# packaging/debian-changelog against hand-written Keep a Changelog files: the
# exact Debian text for a good one, and one line saying where for each fault.
#   tests/debian_changelog_test.sh SCRIPT
set -uo pipefail
script=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0 cases=0

# refuse 'FRAGMENT OF THE COMPLAINT' 'CHANGELOG TEXT'
refuse() {
  cases=$((cases + 1))
  printf '%s' "$2" >"$work/CHANGELOG.md"
  if "$script" "$work/CHANGELOG.md" p "A <a@b.c>" "$work/out.gz" 2>"$work/err"; then
    echo "FAIL: accepted: $2"; failed=$((failed + 1))
  elif ! grep -qF -- "$1" "$work/err"; then
    echo "FAIL: said '$(cat "$work/err")', not '$1'"; failed=$((failed + 1))
  fi
}
long=$(printf 'x%.0s' {1..77})
refuse 'no released version' $'# Changelog\n\n## [Unreleased]\n- soon\n'
refuse 'CHANGELOG.md:3: a release reads' $'# C\n\n## [1.0.0]\n- a\n'
refuse 'CHANGELOG.md:1: a release reads' $'## [1.0.0] - 7 Dec 2026\n- a\n'
refuse 'CHANGELOG.md:1: no such day' $'## [1.0.0] - 2026-13-45\n- a\n'
refuse 'release 1.0.0 says nothing' $'## [1.1.0] - 2026-12-08\n- a\n## [1.0.0] - 2026-12-07\n\n'
refuse 'CHANGELOG.md:2: longer than 76' "## [1.0.0] - 2026-12-07"$'\n'"- $long"$'\n'

cases=$((cases + 1))
# shellcheck disable=SC2016 # the backquotes are Markdown's, to be dropped
printf '%s' '# Changelog

Intro text, not part of any release.

## [Unreleased]

- not yet

## [1.1.0] - 2026-12-07

Plain words.

### Added

- One `thing`,
  on two lines.

### Fixed
- Another.

## [1.0.0] - 2026-12-07
- First.' >"$work/CHANGELOG.md"
expected='p (1.1.0) unstable; urgency=medium

  Plain words.

  Added:
  * One thing,
    on two lines.

  Fixed:
  * Another.

 -- A <a@b.c>  Mon, 07 Dec 2026 12:00:01 +0000

p (1.0.0) unstable; urgency=medium

  * First.

 -- A <a@b.c>  Mon, 07 Dec 2026 12:00:00 +0000'
if ! "$script" "$work/CHANGELOG.md" p "A <a@b.c>" "$work/out.gz"; then
  echo "FAIL: refused a good changelog"; failed=$((failed + 1))
elif [ "$(zcat "$work/out.gz")" != "$expected" ]; then
  echo "FAIL: wrote:"; zcat "$work/out.gz"; failed=$((failed + 1))
elif ! zcat "$work/out.gz" | dpkg-parsechangelog -l- --all -SVersion >/dev/null; then
  echo "FAIL: dpkg-parsechangelog refuses it"; failed=$((failed + 1))
fi
echo "$cases cases: $failed failed"
[ "$failed" -eq 0 ]
