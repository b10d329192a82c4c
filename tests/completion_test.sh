#!/usr/bin/env bash
# The bash completion, called as bash calls it: each case sets COMP_WORDS and
# COMP_CWORD in a folder of sample files and compares COMPREPLY, sorted.
# Last, every option that --help's synopsis names must be offered somewhere.
#   tests/completion_test.sh COMPLETION_SCRIPT VIALOOM
set -uo pipefail
script=$(realpath "$1")
vialoom=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
touch a.vmap b.map c.osm d.osm.pbf e.osm.bz2 f.gr f.co g.scen h.svg notes.txt "my map.vmap" x.pbf
mkdir sub && touch sub/k.vmap sub/k.txt
# shellcheck source=/dev/null
source "$script"
failed=0
cases=0

# Completes the words given (the last is the one under the cursor).
complete_words() {
  COMP_WORDS=("$@")
  COMP_CWORD=$(($# - 1))
  COMPREPLY=()
  _vialoom
  printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd'|'
}

# expect 'SORTED|OFFERS' WORD...
expect() {
  local wanted=$1 got
  shift
  cases=$((cases + 1))
  got=$(complete_words "$@")
  if [ "$got" != "$wanted" ]; then
    echo "FAIL: '$*' offers '$got', not '$wanted'"
    failed=$((failed + 1))
  fi
}

maps=$(tr '|' '\n' <<<"a.vmap|b.map|c.osm|d.osm.pbf|e.osm.bz2|f.gr|my map.vmap|sub" | sort | paste -sd'|')
expect "$(tr '|' '\n' <<<"$maps|check|compare|convert|route" | sort | paste -sd'|')" vialoom ''
expect '--costs|--help|--version|-h' vialoom -
expect '--costs|--help|--version' vialoom --
expect 'route' vialoom r
expect 'c.osm|check|compare|convert' vialoom c
expect 'my map.vmap' vialoom my
expect 'sub/k.vmap' vialoom sub/
expect "$maps" vialoom route ''
expect '' vialoom route a.vmap ''
expect '' vialoom route a.vmap 0 ''
expect 'g.scen|sub' vialoom check ''
expect "$maps" vialoom check g.scen ''
expect '' vialoom check g.scen b.map ''
expect "$maps" vialoom convert ''
expect 'a.vmap|h.svg|my map.vmap|sub' vialoom convert b.map ''
expect '--algorithm|--costs|--from|--heuristic|--region|--to|--view|--weight' vialoom convert b.map out.svg ''
expect '' vialoom convert b.map out.svg --from ''
expect '--algorithm|--costs|--heuristic|--region|--to|--view|--weight' vialoom convert b.map out.svg --from 1 --
expect '--algorithm|--costs|--from|--heuristic|--region|--to|--weight' vialoom convert b.map out.svg --view -
expect '' vialoom convert b.map out.svg --region 0 0 ''
expect '--algorithm|--costs|--from|--heuristic|--to|--view|--weight' vialoom convert b.map out.svg --region 0 0 9 9 ''
expect '--costs' vialoom convert c.osm out.vmap -
expect "$maps" vialoom compare ''
expect '--costs|--csv|--heuristic|--weight' vialoom compare a.vmap 0 1 -
expect '--algorithm|--costs|--heuristic|--weight' vialoom route a.vmap -
expect 'bfs|biastar|bidijkstra' vialoom route a.vmap 0 1 --algorithm b
expect 'chebyshev' vialoom compare a.vmap --heuristic ch
expect '1.5|2|3|5' vialoom check g.scen --weight ''
expect 'distance|time' vialoom route c.osm 0 5 --costs ''
expect 'time' vialoom c.osm --costs t
expect '--algorithm|--costs|--heuristic|--weight' vialoom route c.osm 0 5 -
expect '--costs' vialoom c.osm -
expect '--algorithm|--heuristic|--weight' vialoom route c.osm --costs time 0 -
expect '' vialoom convert b.map out.vmap ''
expect '' vialoom a.vmap ''
expect '' vialoom --help ''

# The options --help shows in its synopsis, each offered where it belongs.
offered=" $(complete_words vialoom - | tr '|' ' ') $(complete_words vialoom convert b.map o.svg - | tr '|' ' ') "
offered+=" $(complete_words vialoom compare a.vmap 0 1 - | tr '|' ' ') "
options=$("$vialoom" --help | sed '/^$/q' | tr ' []|' '\n' | grep -- '^-' | sort -u)
[ -n "$options" ] || { echo "FAIL: no options in '$vialoom --help'"; failed=$((failed + 1)); }
for option in $options; do
  [[ $offered == *" $option "* ]] || { echo "FAIL: --help names $option, completion never offers it"; failed=$((failed + 1)); }
done

echo "$cases cases and the options of --help: $failed failed"
[ "$failed" -eq 0 ]
