#!/usr/bin/env python3
"""Whole-backup benchmark: vorbex05 backing up one generated table with Czech
text, against its peers on the same dump - mysqldump to a file then zip -6,
and mysqldump | zip -6. For each, the median of the runs of wall time, CPU
time (user + system of every process), the peak RSS of the largest single
process, and the bytes written (wchar: all write calls, pipes included;
write_bytes: what went to storage) from the io counters of the reaped
processes.

Usage: bench/backup_bench.py BUILD_DIR [ROWS] [RUNS]
The server is the test fixture's throwaway MariaDB, started on demand in
BUILD_DIR/bench/mariadb (stop it with tests/fixtures/mariadb/stop.sh
BUILD_DIR/bench/mariadb); the table is made once per row count.
"""
import os
import resource
import shutil
import statistics
import subprocess
import sys
import time

SOURCE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DATABASE = "vx_bench"


def server(build):
    state = os.path.join(build, "bench", "mariadb")
    subprocess.run([os.path.join(SOURCE, "tests/fixtures/mariadb/start.sh"), state], check=True,
                   stdout=subprocess.DEVNULL)
    with open(os.path.join(state, "server.env")) as f:
        return dict(line.strip().split("=", 1) for line in f if "=" in line)


def client(env, sql):
    subprocess.run(["mariadb", "--no-defaults", "-uroot", "--socket=" + env["VX_MARIADB_SOCKET"]],
                   input=sql.encode(), check=True)


def make_table(env, table, rows):
    found = subprocess.run(["mariadb", "--no-defaults", "-uroot", "--socket=" + env["VX_MARIADB_SOCKET"], "-N",
                            "-e", f"select count(*) from {DATABASE}.`{table}`"], capture_output=True, text=True)
    if found.returncode == 0 and found.stdout.strip() == str(rows):
        return
    client(env, f"""set names utf8mb4;
create database if not exists {DATABASE} character set utf8mb4;
use {DATABASE};
drop table if exists `{table}`;
create table `{table}` (id int primary key, jméno varchar(60), město varchar(40), poznámka varchar(120),
  částka decimal(12,2), datum datetime);
insert into `{table}` select seq, concat('Příliš žluťoučký kůň ', seq),
  elt(1 + seq % 6, 'Čáslav', 'Říčany', 'Ústí nad Labem', 'Žďár nad Sázavou', 'Třeboň', 'Plzeň'),
  concat('úpěl ďábelské ódy č. ', seq * 7919 % 100003, ' – šťovík, řeřicha'),
  (seq * 37 % 1000000) / 100, '2020-01-01' + interval seq minute
  from seq_1_to_{rows};""")


def measure(command, cwd, env=None):
    """Runs a shell command in a fresh measuring process, so that the peak RSS
    is of this command's processes alone; returns wall s, CPU s, peak RSS MB,
    wchar MB, write_bytes MB."""
    out = subprocess.run([sys.executable, __file__, "--measure", command], cwd=cwd, env=env, check=True,
                         capture_output=True, text=True).stdout
    return [float(v) for v in out.split()]


def measure_here(command):
    def io():
        with open("/proc/self/io") as f:
            return {k: int(v) for k, v in (line.split(": ") for line in f)}
    before_io = io()
    start = time.monotonic()
    subprocess.run(["bash", "-c", command], check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    wall = time.monotonic() - start
    after_io, usage = io(), resource.getrusage(resource.RUSAGE_CHILDREN)
    mb = 1024 * 1024
    print(wall, usage.ru_utime + usage.ru_stime, usage.ru_maxrss / 1024,
          (after_io["wchar"] - before_io["wchar"]) / mb, (after_io["write_bytes"] - before_io["write_bytes"]) / mb)


def main():
    build = os.path.abspath(sys.argv[1])
    rows = int(sys.argv[2]) if len(sys.argv) > 2 else 2000000
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 3
    env = server(build)
    table = "zákazníci"
    make_table(env, table, rows)

    root = os.path.join(build, "bench", "backup-run")
    shutil.rmtree(root, ignore_errors=True)
    work, zips, bindir, peer = (os.path.join(root, d) for d in ("work", "zip", "bin", "peer"))
    for d in (work, zips, bindir, peer):
        os.makedirs(d)
    shutil.copy(os.path.join(build, "app", "vorbex05"), bindir)
    os.symlink(shutil.which("mysqldump"), os.path.join(bindir, "mysqldump"))
    with open(os.path.join(bindir, "vorbex05.ini"), "w", newline="") as f:
        f.write(f"[LogOn]\r\nIP=127.0.0.1\r\nUser={env['VX_MARIADB_USER']}\r\n"
                f"Password={env['VX_MARIADB_PASSWORD']}\r\nSqlport={env['VX_MARIADB_PORT']}\r\n"
                f"Database={DATABASE}\r\n[TForm1]\r\nsuiedit2_Text={work}\r\nlabel3_Text={zips}\r\n")
    program_env = dict(os.environ, XDG_DATA_HOME=os.path.join(root, "data"))
    program_env.pop("DISPLAY", None)

    dump = (f"mysqldump --compress --host=127.0.0.1 --user={env['VX_MARIADB_USER']} "
            f"--password={env['VX_MARIADB_PASSWORD']} --port={env['VX_MARIADB_PORT']} {DATABASE} '{table}'")
    cases = {
        "vorbex05": (f"rm -rf '{zips}'/* && '{bindir}/vorbex05'", root, program_env),
        "dump to file, then zip -6": (f"rm -f d.sql d.zip && {dump} --result-file=d.sql && zip -6 -q d.zip d.sql",
                                      peer, None),
        "mysqldump | zip -6": (f"rm -f p.zip && {dump} | zip -6 -q p.zip -", peer, None),
    }
    print(f"{rows} rows, {runs} runs, load average {os.getloadavg()[0]:.1f} on {os.cpu_count()} cores")
    print(f"{'':28} {'wall s':>8} {'CPU s':>8} {'peak RSS MB':>12} {'wchar MB':>10} {'written MB':>11}")
    for name, (command, cwd, cmd_env) in cases.items():
        results = [measure(command, cwd, cmd_env) for _ in range(runs)]
        medians = [statistics.median(r[i] for r in results) for i in range(5)]
        print(f"{name:28} {medians[0]:8.2f} {medians[1]:8.2f} {medians[2]:12.1f} {medians[3]:10.1f} {medians[4]:11.1f}")
    sizes = {"dump": os.path.getsize(os.path.join(peer, "d.sql")),
             "zip -6": os.path.getsize(os.path.join(peer, "d.zip"))}
    for dirpath, _, files in os.walk(zips):
        for name in files:
            sizes["ours: " + name] = os.path.getsize(os.path.join(dirpath, name))
    print("sizes MB: " + ", ".join(f"{k} {v / 1024 / 1024:.1f}" for k, v in sizes.items()))
    print(f"load average after: {os.getloadavg()[0]:.1f}")


if __name__ == "__main__":
    if sys.argv[1] == "--measure":
        measure_here(sys.argv[2])
    else:
        main()
