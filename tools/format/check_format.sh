#!/bin/bash
# Fails when a C++ source of the project differs from .clang-format; with --fix, formats them instead.
# The generated station table is left as its generator writes it.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
mapfile -t files < <(git ls-files '*.cpp' '*.h' | grep -v '^src/settings/StationDirectoryData.cpp$')
if [ "${1:-}" = "--fix" ]; then
    clang-format -i "${files[@]}"
    exit 0
fi
if ! clang-format --dry-run -Werror "${files[@]}" 2>/tmp/clang-format.$$; then
    grep -E '^[^ ].*(warning|error):' /tmp/clang-format.$$ | cut -d: -f1 | sort -u | sed 's/^/not formatted: /'
    rm -f /tmp/clang-format.$$
    echo "format: run tools/format/check_format.sh --fix"
    exit 1
fi
rm -f /tmp/clang-format.$$
echo "format: every source matches .clang-format"
