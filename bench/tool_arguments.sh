#!/bin/sh
# The merge tool reads its arguments as given: every argument after the output is
# an input, byte for byte, even one that Qt would take for its own option or one
# whose bytes are not UTF-8; and the output gets exactly the name given.
# Usage: tool_arguments.sh TOOL
set -eu
tool=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"

gbk=$(printf 'g\272\317.txt')
# What a decoder that replaces bad bytes would turn that name into.
twin=$(printf 'g\357\277\275\357\277\275.txt')
output=$(printf 'o\272\317.txt')
printf 'A\r\n' >A.txt
printf 'gbk\r\n' >"$gbk"
printf 'twin\r\n' >"$twin"
printf 'option\r\n' >-qmljsdebugger

"$tool" "$output" A.txt "$gbk" -qmljsdebugger

expected=$(printf 'A\r\n\r\ngbk\r\n\r\noption\r\n' | od -An -c)
actual=$(od -An -c "$output")
if [ "$actual" != "$expected" ]; then
    echo "merged:$actual"
    echo "wanted:$expected"
    exit 1
fi
