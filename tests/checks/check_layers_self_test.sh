#!/usr/bin/env bash
# The layer check on a small tree: clean, then with a store reaching a window, a feature
# folder reaching src/app and one feature's window reaching another's.
set -euo pipefail
check=$1
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree/src"/{app,citizens,permits,gui,storage}
touch "$tree/src/app/Forms.h" "$tree/src/gui/MessageBoxes.h" "$tree/src/permits/TPermitForm.h"
printf '#include "storage/Database.h"\n' >"$tree/src/citizens/Store.cpp"
printf '#include "gui/MessageBoxes.h"\n#include "citizens/Store.h"\n#include "permits/Store.h"\n' \
    >"$tree/src/citizens/TCitizenForm.cpp"
touch "$tree/src/storage/Database.h" "$tree/src/citizens/Store.h" "$tree/src/permits/Store.h"
printf '%s\n' "$tree/src/citizens/Store.cpp" "$tree/src/citizens/Store.h" \
    "$tree/src/permits/Store.h" >"$tree/core.txt"
bash "$check" "$tree/src" "$tree/core.txt" >/dev/null

expect_fault() {
    printf '%s\n' "$2" >>"$tree/src/$1"
    if bash "$check" "$tree/src" "$tree/core.txt" >/dev/null; then
        echo "not caught: $1 with $2"
        exit 1
    fi
    sed -i '$d' "$tree/src/$1"
}
expect_fault citizens/Store.cpp '#include "gui/MessageBoxes.h"'
expect_fault citizens/TCitizenForm.cpp '#include "app/Forms.h"'
expect_fault citizens/TCitizenForm.cpp '#include "permits/TPermitForm.h"'
expect_fault gui/MessageBoxes.h '#include "citizens/TCitizenForm.cpp"'
echo "the check catches every fault"
