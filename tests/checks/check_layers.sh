#!/usr/bin/env bash
# Checks the layers of src/ by the includes of its files:
#   app -> feature folders (citizens, permits, settings, output) -> gui, controls -> core.
# A file of the core (compiled into the core or office library, whatever its folder) includes
# only core files; controls include controls and core; gui includes gui, controls and core; a
# feature folder's window includes its own folder, gui, controls and core, never src/app nor
# another feature folder's window.
#
#   check_layers.sh <src folder> <file listing the core library's sources, one per line>
set -uo pipefail
src=$(cd "$1" && pwd)
declare -A core=()
while IFS= read -r path; do
    [ -n "$path" ] && core["${path#"$src"/}"]=1
done <"$2"

layer_of() {
    local file=$1
    if [ -n "${core[$file]:-}" ]; then
        echo core
        return
    fi
    case ${file%%/*} in
        app | main.cpp) echo app ;;
        citizens | permits | settings | output) echo feature ;;
        gui) echo gui ;;
        controls) echo controls ;;
        *) echo core ;;
    esac
}

allowed() {
    local from=$1 to=$2 fromFolder=$3 toFolder=$4
    case $from in
        app) return 0 ;;
        feature) [[ $to == core || $to == gui || $to == controls ]] ||
            [[ $to == feature && $fromFolder == "$toFolder" ]] ;;
        gui) [[ $to == core || $to == gui || $to == controls ]] ;;
        controls) [[ $to == core || $to == controls ]] ;;
        core) [[ $to == core ]] ;;
    esac
}

faults=0
while IFS= read -r -d '' path; do
    file=${path#"$src"/}
    from=$(layer_of "$file")
    while IFS= read -r included; do
        [ -e "$src/$included" ] || continue
        to=$(layer_of "$included")
        if ! allowed "$from" "$to" "${file%%/*}" "${included%%/*}"; then
            echo "$file ($from) includes $included ($to)"
            faults=$((faults + 1))
        fi
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$path")
done < <(find "$src" -type f \( -name '*.cpp' -o -name '*.h' \) -print0)

if [ "$faults" -gt 0 ]; then
    echo "$faults include(s) run against the layers"
    exit 1
fi
echo "layers kept"
