#!/usr/bin/env bash
# Includes point down only: platform/ <- core/ <- browser/, files/, options/ <- app/.
# Inside platform/ each room includes only the rooms below it (see below); inside app/ a
# pane's room never includes another pane's room.
# Only platform/ includes the browser engine or the operating system's own headers.
# Prints every include that breaks this and exits non-zero when there is one.
# Includes are read as the compiler reads them: blanks or tabs may stand before the #,
# between it and "include", and before the name.
#   check-layout.sh [SOURCE_ROOT]   checks a source tree (by default this one)
#   check-layout.sh --self-test     shows that the check catches every such spelling
set -u

if [ "${1:-}" = --self-test ]; then
    script=$(realpath "${BASH_SOURCE[0]}")
    tree=$(mktemp -d)
    trap 'rm -rf "$tree"' EXIT
    failed=0
    # expect OUTCOME LINE: a tree whose one file in app/folders/ holds LINE.
    expect() {
        local outcome=$1 line=$2 got
        rm -rf "$tree/app"
        mkdir -p "$tree/app/folders"
        printf '%s\n' "$line" >"$tree/app/folders/frmMainX.cpp"
        if bash "$script" "$tree" >/dev/null; then got=passes; else got=caught; fi
        if [ "$got" != "$outcome" ]; then
            echo "self-test: expected the check to say $outcome, it $got: $line"
            failed=1
        fi
    }
    tab=$'\t'
    expect caught '#include "app/links/LinksPane.h"'
    expect caught '#include   "app/links/LinksPane.h"'
    expect caught '#include"app/links/LinksPane.h"'
    expect caught "#${tab}include${tab}\"app/links/LinksPane.h\""
    expect caught '  #  include "app/links/LinksPane.h"'
    expect caught "${tab}#include <QWebEngineView>"
    expect caught '#   include   <sys/stat.h>'
    expect passes '#include "app/folders/FileMenuRules.h"'
    expect passes '#include "app/panel/frmPM.h"'
    expect passes '// #include "app/links/LinksPane.h" (a comment, as the compiler reads it)'
    [ $failed = 0 ] && echo "self-test: every spelling of a forbidden include is caught"
    exit $failed
fi

cd "${1:-$(dirname "${BASH_SOURCE[0]}")/..}"

status=0
# forbid FOLDER NAME_PATTERN RULE: no include in FOLDER names what NAME_PATTERN (an
# extended regular expression for the quoted or bracketed name) matches.
forbid() {
    local folder=$1 pattern=$2 rule=$3 hits
    [ -d "$folder" ] || return 0
    hits=$(grep -rnE --include='*.cpp' --include='*.h' "^[[:space:]]*#[[:space:]]*include[[:space:]]*$pattern" "$folder")
    if [ -n "$hits" ]; then
        echo "$folder/ $rule:"
        echo "$hits"
        status=1
    fi
}

forbid platform '"(core|browser|files|options|app)/' "includes a folder above it"
# Rooms of platform/, lowest first: system <- store, controls <- files <- engine.
# A room includes only rooms below it; store and controls stand side by side.
forbid platform/system '"platform/(store|controls|files|engine)/' "includes a room above it"
forbid platform/store '"platform/(controls|files|engine)/' "includes a room above or beside it"
forbid platform/controls '"platform/(store|files|engine)/' "includes a room above or beside it"
forbid platform/files '"platform/(controls|engine)/' "includes a room above or beside it"
forbid platform/engine '"platform/files/' "includes a room beside it"
if [ -d platform ] && [ -n "$(find platform -maxdepth 1 -type f \( -name '*.cpp' -o -name '*.h' \))" ]; then
    echo "platform/ holds sources outside its rooms:"
    find platform -maxdepth 1 -type f \( -name '*.cpp' -o -name '*.h' \)
    status=1
fi
forbid core '"(browser|files|options|app)/' "includes a folder above it"
for folder in browser files options; do
    forbid "$folder" '"app/' "includes app/"
done
# Rooms of app/: one per pane of the main panel, panel/ (the panel and the pop-up host)
# that every room may use, and saving/ (downloads and page saves). A pane's room never
# includes another pane's; panel/ and saving/ include none.
panes=(favorites folders search links)
for room in "${panes[@]}"; do
    others=$(printf '%s\n' "${panes[@]}" | grep -vx "$room" | paste -sd'|')
    forbid "app/$room" "\"app/($others)/" "includes another pane's room"
done
forbid app/panel '"app/(favorites|folders|search|links)/' "includes a pane's room"
forbid app/saving '"app/(favorites|folders|search|links|panel)/' "includes a pane's room"
for folder in core browser files options app; do
    forbid "$folder" '<(QWebEngine|QtWebEngine|sys/|unistd\.h|fcntl\.h|csignal|signal\.h)' \
        "includes the engine or system headers instead of platform/"
done
exit $status
