#!/bin/sh
# cdtool image as a user runs it: a file and a folder into out.iso, read back
# by 7-Zip and isoinfo; a disc that takes no data prints the writer's text and
# exits 1. Argument: the cdtool program.
set -eu
tool=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
mkdir -p photos/2024
echo "hello" > notes.txt
head -c 100000 /dev/urandom > photos/2024/p1.jpg
"$tool" image --disc dvd+r --volume BACKUP out.iso notes.txt photos
7zz l out.iso | grep -q 'photos/2024/p1.jpg'
7zz l out.iso | grep -q 'notes.txt'
isoinfo -l -i out.iso | grep -q 'NOTES.TXT;1'
isoinfo -d -i out.iso | grep -q 'Volume id: BACKUP'
7zz e -so out.iso photos/2024/p1.jpg | cmp - photos/2024/p1.jpg
out=$("$tool" image /dev/full notes.txt) && exit 1
[ "$out" = "WRITER ERROR [MEDIUM ERROR (WRITE ERROR)]" ]
if "$tool" image only.iso 2>/dev/null; then exit 1; else [ $? -eq 2 ]; fi
# A volume ID that the descriptors would cut is refused, naming the cut.
out=$("$tool" image --volume SEVENTEEN_LETTERS cut.iso notes.txt 2>&1) && exit 1
echo "$out" | grep -q 'CUT TO 16 CHARACTERS IN JOLIET'
