#!/usr/bin/env python3
"""Writes the compression corpora: a deterministic synthetic SQL dump (the kind of
file every backup compresses), concatenated system shared libraries, and random
bytes. The same seed and size always give the same bytes.

usage: make_corpus.py sql|libs|random SIZE_BYTES OUTPUT
"""
import glob
import os
import random
import sys

FIRST = ["Jan", "Petr", "Marie", "Eva", "Tomáš", "Lucie", "Karel", "Jana", "Pavel", "Hana"]
LAST = ["Novák", "Svoboda", "Dvořák", "Černý", "Procházka", "Kučera", "Veselý", "Horák"]
CITIES = ["Praha", "Brno", "Ostrava", "Plzeň", "Liberec", "Olomouc", "České Budějovice"]
WORDS = ("objednávka faktura dodávka sklad zboží platba převod zákazník adresa poznámka "
         "termín stav vyřízeno zrušeno expedice reklamace sleva cena množství").split()


def sql_rows(rng):
    table = 0
    while True:
        table += 1
        name = f"tab_{table:03d}"
        yield (f"--\n-- Table structure for table `{name}`\n--\n\n"
               f"DROP TABLE IF EXISTS `{name}`;\nCREATE TABLE `{name}` (\n"
               "  `id` int(11) NOT NULL AUTO_INCREMENT,\n  `jmeno` varchar(40) NOT NULL,\n"
               "  `prijmeni` varchar(60) NOT NULL,\n  `mesto` varchar(60) DEFAULT NULL,\n"
               "  `castka` decimal(12,2) NOT NULL DEFAULT '0.00',\n  `datum` datetime NOT NULL,\n"
               "  `poznamka` text,\n  PRIMARY KEY (`id`)\n) ENGINE=InnoDB DEFAULT CHARSET=cp1250;\n\n"
               f"LOCK TABLES `{name}` WRITE;\n")
        for _ in range(rng.randint(20, 200)):
            values = []
            for _ in range(rng.randint(50, 150)):
                note = " ".join(rng.choice(WORDS) for _ in range(rng.randint(0, 12)))
                values.append(
                    f"({rng.randint(1, 10_000_000)},'{rng.choice(FIRST)}','{rng.choice(LAST)}',"
                    f"'{rng.choice(CITIES)}',{rng.randint(0, 9_999_999) / 100:.2f},"
                    f"'20{rng.randint(10, 26):02d}-{rng.randint(1, 12):02d}-{rng.randint(1, 28):02d} "
                    f"{rng.randint(0, 23):02d}:{rng.randint(0, 59):02d}:{rng.randint(0, 59):02d}',"
                    + (f"'{note}')" if note else "NULL)"))
            yield f"INSERT INTO `{name}` VALUES " + ",".join(values) + ";\n"
        yield "UNLOCK TABLES;\n\n"


def write_sql(size, out):
    rng = random.Random(20260101)
    written = 0
    for chunk in sql_rows(rng):
        data = chunk.encode("cp1250")[: size - written]
        out.write(data)
        written += len(data)
        if written >= size:
            return


def write_libs(size, out):
    written = 0
    while written < size:
        for path in sorted(glob.glob("/usr/lib/x86_64-linux-gnu/*.so*")):
            if os.path.islink(path) or not os.path.isfile(path):
                continue
            with open(path, "rb") as f:
                data = f.read(size - written)
            out.write(data)
            written += len(data)
            if written >= size:
                return


def write_random(size, out):
    rng = random.Random(7)
    out.write(rng.randbytes(size))


def main():
    kind, size, path = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    with open(path, "wb") as out:
        {"sql": write_sql, "libs": write_libs, "random": write_random}[kind](size, out)


if __name__ == "__main__":
    main()
