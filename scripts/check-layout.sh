#!/usr/bin/env bash
# Includes point down only: platform/ <- core/ <- browser/, files/, options/ <- app/.
# Inside platform/ each room includes only the rooms below it (see below); inside app/ a
# pane's room never includes another pane's room.
# Only platform/ includes the browser engine or the operating system's own headers.
# Prints every include that breaks this and exits non-zero when there is one.
set -u
cd "${1:-$(dirname "${BASH_SOURCE[0]}")/..}"

status=0
forbid() {
    local folder=$1 pattern=$2 rule=$3 hits
    [ -d "$folder" ] || return 0
    hits=$(grep -rnE --include='*.cpp' --include='*.h' "$pattern" "$folder")
    if [ -n "$hits" ]; then
        echo "$folder/ $rule:"
        echo "$hits"
        status=1
    fi
}

forbid platform '#include "(core|browser|files|options|app)/' "includes a folder above it"
# Rooms of platform/, lowest first: system <- store, controls <- files <- engine.
# A room includes only rooms below it; store and controls stand side by side.
forbid platform/system '#include "platform/(store|controls|files|engine)/' "includes a room above it"
forbid platform/store '#include "platform/(controls|files|engine)/' "includes a room above or beside it"
forbid platform/controls '#include "platform/(store|files|engine)/' "includes a room above or beside it"
forbid platform/files '#include "platform/(controls|engine)/' "includes a room above or beside it"
forbid platform/engine '#include "platform/files/' "includes a room beside it"
if [ -n "$(find platform -maxdepth 1 -type f \( -name '*.cpp' -o -name '*.h' \))" ]; then
    echo "platform/ holds sources outside its rooms:"
    find platform -maxdepth 1 -type f \( -name '*.cpp' -o -name '*.h' \)
    status=1
fi
forbid core '#include "(browser|files|options|app)/' "includes a folder above it"
for folder in browser files options; do
    forbid "$folder" '#include "app/' "includes app/"
done
# Rooms of app/: one per pane of the main panel, and panel/ (the panel and the pop-up host)
# that every room may use. A pane's room never includes another pane's; panel/ includes none.
panes=(favorites folders search links)
for room in "${panes[@]}"; do
    others=$(printf '%s\n' "${panes[@]}" | grep -vx "$room" | paste -sd'|')
    forbid "app/$room" "#include \"app/($others)/" "includes another pane's room"
done
forbid app/panel '#include "app/(favorites|folders|search|links)/' "includes a pane's room"
for folder in core browser files options app; do
    forbid "$folder" '#include <(QWebEngine|QtWebEngine|sys/|unistd\.h|fcntl\.h|csignal|signal\.h)' \
        "includes the engine or system headers instead of platform/"
done
exit $status
