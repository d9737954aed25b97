#!/usr/bin/env bash
# Includes point down only: platform/ <- core/ <- browser/, files/, options/ <- app/.
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
forbid core '#include "(browser|files|options|app)/' "includes a folder above it"
for folder in browser files options; do
    forbid "$folder" '#include "app/' "includes app/"
done
for folder in core browser files options app; do
    forbid "$folder" '#include <(QWebEngine|QtWebEngine|sys/|unistd\.h|fcntl\.h|csignal|signal\.h)' \
        "includes the engine or system headers instead of platform/"
done
exit $status
