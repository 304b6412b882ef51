#!/bin/sh
# cdtool image over a table of source trees: each image is read back by every
# peer (xorriso, isoinfo, 7-Zip, bsdtar, pycdlib, fuseiso), compared byte for
# byte with its source, with as many files and folders. Then the files that
# cannot reach a disc: cdtool names them and exits 1. The big trees (2 GiB + 1
# byte, 20,000 files) run in bench/cdtool_image_bench.sh. Argument: cdtool.
set -eu
tool=$1
work=$(mktemp -d)
trap 'fusermount -u "$work/mnt" 2>/dev/null || true; chmod -R u+w "$work"; rm -rf "$work"' EXIT
cd "$work"

fail() { echo "$*" >&2; exit 1; }
entries() { (cd "$1" && find . -mindepth 1 | sort); }

# Every entry of src is in out with the same bytes, and nothing else is.
same_tree() { # peer out
  diff -r src "$2" >/dev/null || { diff -r src "$2" | head -5 >&2; fail "$case: $1 differs"; }
  [ "$(entries src | wc -l)" -eq "$(entries "$2" | wc -l)" ] || fail "$case: $1 has another entry count"
}

# isoinfo speaks the 8-bit code pages only: each case names the one that
# holds its names (cs), or "none" when no code page does.
cs=cp1250
isoinfo_x() { isoinfo -J -j $cs -x "$(printf '%s' "$1" | iconv -f utf-8 -t $cs)" -i out.iso; }

# No code page holds the names: the Joliet tree has as many entries, and the
# ISO 9660 tree, whose names are made unique, holds the same files' bytes.
isoinfo_counts_and_bytes() {
  [ "$(isoinfo -J -f -i out.iso | wc -l)" -eq "$(entries src | wc -l)" ] || fail "$case: isoinfo -J count differs"
  [ "$(isoinfo -f -i out.iso | sort -u | wc -l)" -eq "$(entries src | wc -l)" ] || fail "$case: ISO 9660 names clash"
  (cd src && find . -type f -exec sha256sum {} + | cut -d' ' -f1 | sort) >sums.src
  isoinfo -f -i out.iso | grep -a ';1$' | while IFS= read -r path; do
    isoinfo -x "$path" -i out.iso | sha256sum | cut -d' ' -f1
  done | sort >sums.iso
  cmp -s sums.src sums.iso || fail "$case: isoinfo reads other bytes"
}

read_back() { # peers...
  for peer in "$@"; do
    out=$work/out.$peer
    rm -rf "$out" && mkdir "$out"
    case $peer in
      xorriso) xorriso -osirrox on -local_charset UTF-8 -return_with SORRY 32 -indev out.iso -extract / "$out" \
                 >/dev/null 2>&1 ;;
      7zz) 7zz x -y -o"$out" out.iso >/dev/null ;;
      bsdtar) bsdtar xf out.iso -C "$out" ;;
      isoinfo)
        if [ $cs = none ]; then isoinfo_counts_and_bytes; continue; fi
        isoinfo -J -j $cs -f -i out.iso | iconv -f $cs -t utf-8 | while IFS= read -r path; do
          local=${path%;1}
          if [ -d "src$local" ]; then mkdir -p "$out$local"; else isoinfo_x "$path" >"$out$local"; fi
        done ;;
      pycdlib) /usr/bin/python3 - "$out" <<'EOF'
import os, sys, pycdlib
out = sys.argv[1]
iso = pycdlib.PyCdlib()
iso.open("out.iso")
for folder, dirs, files in iso.walk(joliet_path="/"):
    base = os.path.join(out, folder.lstrip("/"))
    for d in dirs:
        os.makedirs(os.path.join(base, d), exist_ok=True)
    for f in files:
        iso.get_file_from_iso(os.path.join(base, f.split(";")[0]), joliet_path=folder.rstrip("/") + "/" + f)
iso.close()
EOF
        ;;
      fuseiso)
        mkdir -p mnt && fuseiso -p out.iso mnt
        cp -a mnt/. "$out"
        fusermount -u mnt ;;
    esac
    chmod -R u+w "$out"
    same_tree "$peer" "$out"
  done
}


all="xorriso isoinfo 7zz bsdtar pycdlib"
# fuseiso needs FUSE, which a container may not offer.
if [ -c /dev/fuse ] && [ -w /dev/fuse ] && command -v fusermount >/dev/null; then all="$all fuseiso"; else echo "no FUSE here: fuseiso left out" >&2; fi
fuse=$(echo "$all" | grep -o fuseiso || true)
# source-tree case | peers that read it back
for case in twins trailing_dot czech greek cyrillic cjk sizes deep; do
  rm -rf src && mkdir src
  peers=$all
  cs=cp1250
  case $case in
    twins)
      mkdir -p src/t/Data src/t/data src/t/empty
      echo 1 >src/t/Readme.txt; echo 2 >src/t/README.txt; echo 3 >src/t/readme.TXT
      echo 4 >src/t/Data/x; echo 5 >src/t/data/x ;;
    trailing_dot)
      # 7-Zip and xorriso drop a trailing dot as Windows does ("noext." reads
      # as "noext" or "noext__"); the Joliet records keep both apart.
      mkdir src/t; echo 1 >src/t/noext; echo 2 >src/t/noext.; peers="isoinfo bsdtar pycdlib $fuse" ;;
    czech)
      mkdir -p "src/Účetnictví/Žluťoučký kůň"
      echo "Příliš žluťoučký kůň úpěl ďábelské ódy." >"src/Účetnictví/Žluťoučký kůň/ódy.txt"
      echo x >"src/Účetnictví/ĎÁBEL.txt"; echo y >"src/Účetnictví/ďábel.txt" ;;
    # Names outside Windows-1250: Joliet keeps them as given, ISO 9660 gets
    # "_" for each such character and a number where that makes two alike.
    greek)
      cs=iso8859-7
      mkdir -p "src/Ελληνικά/Υποφάκελος" src/Ελληνικά/empty
      echo 1 >"src/Ελληνικά/αβγ.txt"; echo 2 >"src/Ελληνικά/ΑΒΓ.txt"; echo 3 >"src/Ελληνικά/δεζ.txt"
      echo 4 >"src/Ελληνικά/Υποφάκελος/$(printf 'λ%.0s' $(seq 1 97)).txt"  # 101 units: bsdtar's longest
      echo 5 >"src/Ελληνικά/Υποφάκελος/noext" ;;
    cyrillic)
      cs=cp1251
      mkdir -p "src/Кириллица/Папка" "src/Кириллица/папка"
      echo 1 >"src/Кириллица/файл.txt"; echo 2 >"src/Кириллица/фаил.txt"; echo 3 >"src/Кириллица/ФАЙЛ.txt"
      echo 4 >"src/Кириллица/Папка/x"; echo 5 >"src/Кириллица/папка/x" ;;
    cjk)
      cs=none
      mkdir -p "src/日本語/中文" "src/한국어"
      echo 1 >"src/日本語/中文.txt"; echo 2 >"src/日本語/日本.txt"; echo 3 >"src/日本語/中文/漢字かな.txt"
      echo 4 >"src/한국어/파일.txt"; echo 5 >"src/日本語/Příliš žluťoučký 中文.txt" ;;
    sizes)
      mkdir src/s
      for n in 0 1 2047 2048 2049 70000; do head -c $n /dev/urandom >src/s/f$n.bin; done ;;
    deep)
      d=src/l1; for i in 2 3 4 5 6 7 8 9 10 11 12 13 14 15; do d=$d/l$i; done
      mkdir -p "$d" && echo deep >"$d/bottom.txt" ;;
  esac
  "$tool" image --volume PEERS out.iso src/* || fail "$case: cdtool failed"
  read_back $peers
done

# Two files of one base name: the second is renamed, both are on the disc.
rm -rf src a b && mkdir -p a b && echo A >a/n.txt && echo B >b/n.txt
out=$("$tool" image out.iso a/n.txt b/n.txt 2>&1) || fail "same base name: $out"
[ "$(isoinfo_x '/n (2).txt;1')" = B ] || fail "same base name: second file missing"
[ "$(isoinfo_x '/n.txt;1')" = A ] || fail "same base name: first file missing"
rm -rf a b && mkdir -p a b && echo A >a/δ.txt && echo B >b/δ.txt
out=$("$tool" image out.iso a/δ.txt b/δ.txt 2>&1) || fail "same Greek base name: $out"
cs=iso8859-7
[ "$(isoinfo_x '/δ (2).txt;1')" = B ] || fail "same Greek base name: second file missing"
[ "$(isoinfo_x '/δ.txt;1')" = A ] || fail "same Greek base name: first file missing"

# A file that cannot reach the disc fails the burn by its name.
refused() { # what, file
  out=$("$tool" image out.iso "$2" 2>&1) && fail "$1: exit 0"
  echo "$out" | grep -qF "$(basename "$2")" || fail "$1: not named: $out"
}
# Joliet is UCS-2: fuseiso drops a character beyond it (a surrogate pair).
echo x >"smile😀.txt"
refused "name outside UCS-2" "smile😀.txt"
mkdir "folder😀" && echo x >"folder😀/a.txt"
refused "folder name outside UCS-2" "folder😀"
long=$(printf 'n%.0s' $(seq 1 120)).txt
echo x >"$long"
refused "name over 108 characters" "$long"
long=$(printf 'λ%.0s' $(seq 1 105)).txt
echo x >"$long"
refused "Greek name over 108 characters" "$long"
bad=$(printf 'bad\377.txt')
echo x >"$bad"
refused "name that is not UTF-8" "$bad"
truncate -s 4G big.bin
refused "file of 4 GiB" big.bin
mkdir withpipe && mkfifo withpipe/pipe
refused "not a regular file" withpipe
