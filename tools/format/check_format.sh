#!/bin/bash
# Fails when a C++ source of the project differs from .clang-format; with --fix, formats them instead.
# The generated station table is left as its generator writes it.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
list_sources() {
    if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        git ls-files '*.cpp' '*.h'
    else
        find src tests bench tools -name '*.cpp' -o -name '*.h' | sort
    fi
}
mapfile -t files < <(list_sources | grep -v '^src/settings/StationDirectoryData.cpp$')
if [ "${1:-}" = "--fix" ]; then
    clang-format -i "${files[@]}"
    exit 0
fi
report=$(mktemp)
trap 'rm -f "$report"' EXIT
if ! clang-format --dry-run -Werror "${files[@]}" 2>"$report"; then
    grep -E '^[^ ].*(warning|error):' "$report" | cut -d: -f1 | sort -u | sed 's/^/not formatted: /'
    echo "format: run tools/format/check_format.sh --fix"
    exit 1
fi
echo "format: every source matches .clang-format"
