#!/usr/bin/env python3
"""Writes three benchmark inputs that nobody on this project wrote, from what a
Debian machine has installed: an SQL dump (sqlite3's .dump of a database of the
installed files, package records and documentation texts), a text corpus (the
manual pages' sources, concatenated) and the largest shared library in /usr/lib/<arch>.
Each is cut to at most SIZE bytes (default 120 MB); the dump at a line end.

usage: machine_inputs.py OUTPUT_DIR [SIZE_BYTES]
"""
import glob
import gzip
import os
import sqlite3
import subprocess
import sys


def make_database(path):
    db = sqlite3.connect(path)
    db.execute("create table files(id integer primary key, package text, path text, md5 text,"
               " size integer, mode integer, mtime integer)")
    db.execute("create table docs(id integer primary key, package text, name text, body text)")
    db.execute("create table packages(name text primary key, record text)")
    for sums in sorted(glob.glob("/var/lib/dpkg/info/*.md5sums")):
        package = os.path.basename(sums)[:-len(".md5sums")]
        for line in open(sums, errors="replace"):
            md5, _, name = line.rstrip("\n").partition("  ")
            try:
                st = os.lstat("/" + name)
                stat = (st.st_size, st.st_mode, int(st.st_mtime))
            except OSError:
                stat = (None, None, None)
            db.execute("insert into files(package, path, md5, size, mode, mtime) values(?, ?, ?, ?, ?, ?)",
                       (package, "/" + name, md5) + stat)
    for record in open("/var/lib/dpkg/status", errors="replace").read().split("\n\n"):
        for line in record.splitlines():
            if line.startswith("Package: "):
                db.execute("insert or ignore into packages values(?, ?)", (line[9:], record))
                break
    for doc in sorted(glob.glob("/usr/share/doc/*/*")):
        if not os.path.isfile(doc):
            continue
        try:
            data = gzip.open(doc).read() if doc.endswith(".gz") else open(doc, "rb").read()
            text = data.decode("utf-8")
        except (OSError, UnicodeDecodeError, EOFError):
            continue
        db.execute("insert into docs(package, name, body) values(?, ?, ?)",
                   (doc.split("/")[4], os.path.basename(doc), text))
    db.commit()
    db.close()


def write_dump(out_dir, size):
    database = os.path.join(out_dir, "installed.db")
    if os.path.exists(database):
        os.remove(database)
    make_database(database)
    dump = subprocess.run(["sqlite3", database, ".dump"], check=True, capture_output=True).stdout
    os.remove(database)
    if len(dump) > size:
        dump = dump[:dump.rfind(b"\n", 0, size) + 1]
    open(os.path.join(out_dir, "sql_dump.sql"), "wb").write(dump)


def write_manuals(out_dir, size):
    with open(os.path.join(out_dir, "manuals.txt"), "wb") as out:
        left = size
        for page in sorted(glob.glob("/usr/share/man/**/*.gz", recursive=True)):
            try:
                data = gzip.open(page).read()[:left]
            except (OSError, EOFError):
                continue
            out.write(data)
            left -= len(data)
            if left == 0:
                break


def copy_largest_library(out_dir, size):
    libraries = [p for p in glob.glob("/usr/lib/*/*.so*") if os.path.isfile(p) and not os.path.islink(p)]
    largest = max(libraries, key=os.path.getsize)
    with open(largest, "rb") as src, open(os.path.join(out_dir, "shared_library.so"), "wb") as dst:
        dst.write(src.read(size))
    print("shared library:", largest)


def main():
    out_dir = sys.argv[1]
    size = int(sys.argv[2]) if len(sys.argv) > 2 else 120_000_000
    os.makedirs(out_dir, exist_ok=True)
    write_dump(out_dir, size)
    write_manuals(out_dir, size)
    copy_largest_library(out_dir, size)


if __name__ == "__main__":
    main()
