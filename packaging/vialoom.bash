# bash completion for vialoom: its commands, their options, and the files
# each place reads or writes, by their endings. Installed where
# bash-completion loads it on demand; it needs nothing of bash-completion.

# Puts in COMPREPLY the folders and the files matching the extended glob
# ending (e.g. "@(vmap|svg)") that start with $1.
_vialoom_files()
{
    local word=$1 ending=$2 extglob_was_on=0
    shopt -q extglob && extglob_was_on=1
    shopt -s extglob
    compopt -o filenames 2>/dev/null
    mapfile -t COMPREPLY < <(compgen -d -- "$word"; compgen -f -X "!*.$ending" -- "$word")
    ((extglob_was_on)) || shopt -u extglob
}

_vialoom()
{
    local word=${COMP_WORDS[COMP_CWORD]} previous=${COMP_WORDS[COMP_CWORD-1]}
    local maps='@(vmap|map|osm|osm.pbf|osm.bz2|gr)'
    COMPREPLY=()
    # --costs may stand anywhere after the command word; its value follows.
    if [[ $previous == --costs ]]; then
        mapfile -t COMPREPLY < <(compgen -W 'distance time' -- "$word")
        return
    fi
    if ((COMP_CWORD == 1)); then
        if [[ $word == -* ]]; then
            mapfile -t COMPREPLY < <(compgen -W '--costs --help -h --version' -- "$word")
        else
            _vialoom_files "$word" "$maps"
            mapfile -t -O ${#COMPREPLY[@]} COMPREPLY < <(compgen -W 'route check convert compare' -- "$word")
        fi
        return
    fi
    # The search options' values, wherever they stand.
    case $previous in
        --algorithm) mapfile -t COMPREPLY < <(compgen -W 'astar dijkstra greedy weighted bidijkstra biastar bfs jps alt ch' -- "$word"); return ;;
        --heuristic) mapfile -t COMPREPLY < <(compgen -W 'euclidean octile manhattan chebyshev zero' -- "$word"); return ;;
        --weight) mapfile -t COMPREPLY < <(compgen -W '1.5 2 3 5' -- "$word"); return ;;
        --pairs)
            # Any file: a list of pairs has no ending of its own.
            compopt -o filenames 2>/dev/null
            mapfile -t COMPREPLY < <(compgen -f -- "$word")
            return ;;
    esac
    local search=''
    case ${COMP_WORDS[1]} in
        route | check | convert) search='--algorithm --heuristic --weight' ;;
        compare) search='--heuristic --weight --csv' ;;
    esac
    # --costs once, by any command and by the window.
    [[ " ${COMP_WORDS[*]} " == *" --costs "* ]] || search="--costs $search"
    # route takes --pairs FILE in place of FROM TO.
    [[ ${COMP_WORDS[1]} == route && " ${COMP_WORDS[*]} " != *" --pairs "* && COMP_CWORD -le 3 ]] &&
        search+=' --pairs'
    if [[ $word == -* && ${COMP_WORDS[1]} != convert ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$search" -- "$word")
        return
    fi
    case ${COMP_WORDS[1]}:$COMP_CWORD in
        route:2 | check:3 | convert:2 | compare:2) _vialoom_files "$word" "$maps" ;;
        check:2) _vialoom_files "$word" scen ;;
        convert:3) _vialoom_files "$word" '@(vmap|svg)' ;;
        convert:*)
            [[ $previous != --from && $previous != --to ]] || return
            local option back unused=()
            for back in 1 2 3 4; do
                [[ ${COMP_WORDS[COMP_CWORD-back]} == --region ]] && return
            done
            # Only a picture takes the drawing options; a vertex index follows
            # --from and --to, four numbers follow --region.
            local options=''
            [[ $word == -* ]] && options='--costs'
            [[ ${COMP_WORDS[3]} == *.svg ]] && options="--from --to --view --region $search"
            for option in $options; do
                [[ " ${COMP_WORDS[*]:4:COMP_CWORD-4} " == *" $option "* ]] || unused+=("$option")
            done
            mapfile -t COMPREPLY < <(compgen -W "${unused[*]}" -- "$word")
            ;;
    esac
}
complete -F _vialoom vialoom
