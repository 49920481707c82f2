#!/bin/sh
# Fails when a C++ file of the project is not formatted as the root .clang-format says, and
# prints the places. Files are those git tracks or would track (or, without git, those found)
# under SOURCE, build/ and dist/ aside.
#   scripts/check-format.sh SOURCE [CLANG_FORMAT]
# Exits 77 (skipped) when clang-format is not installed.
set -eu
cd "$1"
clang_format=${2:-}
if [ -z "$clang_format" ]; then
    clang_format=$(command -v clang-format || command -v clang-format-14 || true)
fi
if [ -z "$clang_format" ]; then
    echo "SKIPPED: clang-format is not installed" >&2
    exit 77
fi

# The files, one a line (no C++ file of ours has a newline in its name).
files() {
    if git rev-parse --git-dir >/dev/null 2>&1; then
        git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h' '*.hpp' '*.cc' |
            while IFS= read -r f; do [ -f "$f" ] && echo "$f"; done
    else
        find . \( -path ./build -o -path ./dist \) -prune -o \
            \( -name '*.cpp' -o -name '*.h' -o -name '*.hpp' -o -name '*.cc' \) -print
    fi
}
count=$(files | wc -l)
echo "$("$clang_format" --version | head -1): checking $count files"
files | tr '\n' '\0' | xargs -0 "$clang_format" --dry-run --Werror
echo "all $count files formatted"
