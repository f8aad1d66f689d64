#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Nivra developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the seed corpora of the fuzz targets into fuzz/corpus/: pieces of the sample folder's
ephemeris files and hand-made damaged ones (for the chart target with a block of choices in front,
for the loading target without), pieces of the SBDB exports in resources/data, browser commands,
command lines. Run once by hand when the seeds change (the corpora are kept in the repository):

    build/nivra-data sample /tmp/sample
    fuzz/make-seeds.py /tmp/sample
"""

import hashlib
import json
import math
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
CORPUS = os.path.join(HERE, "corpus")

HEADER = 176
RECORD = 88

# --------------------------------------------------------------------------------------------
# .Nvr files

# The choices block in front of every chart input (see fuzz/StarChartsFuzzer.cpp).
CHOICES = 128
ROW = 1
VALUES_FROM_INPUT = 2
EXPORT_COLOURS = 4
# The frame group whose charts are drawn (the lowest bit set; 0: all four).
ASTROMETRIC, EARTH, GALACTIC, GEOMETRIC, ALL_FRAMES = 1, 2, 4, 8, 0

CERES = dict(e=0.0786357569187553, a=2.76661904465501, q=2.549063861972717, i=10.58679512153367,
             node=80.2664361119415, peri=73.53162522557164, M=334.3271698971151,
             T=1680.82488833838, n=0.0, Q=2.984, moid=1.58611, H=3.33, D=939.4, rot=9.07417,
             tp=2459920.36536609)


def choices(flags=ROW, frames=ASTROMETRIC, year=0, client=(0, 0), **values):
    v = dict(CERES)
    v.update(values)
    block = struct.pack("<BBHHH", flags, frames, year, client[0], client[1])
    block += struct.pack("<d", v["tp"])
    block += struct.pack("<14d", v["e"], v["a"], v["q"], v["i"], v["node"], v["peri"], v["M"],
                         v["T"], v["n"], v["Q"], v["moid"], v["H"], v["D"], v["rot"])
    assert len(block) == CHOICES
    return block


class Nvr:
    """A .Nvr file read into its parts, to be cut, changed and written again."""

    def __init__(self, data):
        first = struct.unpack_from("<i", data, 0)[0]
        self.header = bytearray(data[:HEADER])
        self.links = bytes(data[HEADER:first])
        self.records = []
        at = first
        while at + RECORD <= len(data) and struct.unpack_from("<I", data, at)[0] != 0:
            self.records.append(bytearray(data[at:at + RECORD]))
            at += RECORD

    def date(self, index):
        return struct.unpack_from("<HHxxH", self.records[index], 4)

    def find(self, year, month, day):
        for index in range(len(self.records)):
            if self.date(index) == (year, month, day):
                return index
        raise KeyError((year, month, day))

    def piece(self, start, count, terminator=True):
        """The header and links with `count` records from `start` (and the terminating one)."""
        out = bytearray(self.header) + self.links
        for record in self.records[start:start + count]:
            out += record
        if terminator:
            out += bytes(RECORD)
        return out


def angle_wrap(nvr):
    """The first record after which an angle of some frame jumps across 0/360 degrees."""
    for index in range(1, len(nvr.records)):
        for offset in (24, 40, 56, 72):
            before = struct.unpack_from("<d", nvr.records[index - 1], offset)[0]
            after = struct.unpack_from("<d", nvr.records[index], offset)[0]
            if abs(after - before) > 300:
                return index
    return None


def put_double(buffer, offset, value):
    struct.pack_into("<d", buffer, offset, value)


def star_chart_seeds(sample):
    datas = os.path.join(sample, "Datas")
    ceres = Nvr(open(os.path.join(datas, "2000001.Nvr"), "rb").read())
    eros = Nvr(open(os.path.join(datas, "2000433.Nvr"), "rb").read())
    sedna = Nvr(open(os.path.join(datas, "2090377.Nvr"), "rb").read())
    seeds = {}

    seeds["ceres-january-2000"] = choices(frames=ALL_FRAMES) + ceres.piece(0, 40)
    new_year = ceres.find(2000, 12, 20)
    seeds["ceres-new-year-2001"] = choices(year=2001, frames=EARTH) + ceres.piece(new_year, 30)
    seeds["ceres-all-years-export"] = choices(flags=ROW | EXPORT_COLOURS,
                                              frames=GALACTIC) + ceres.piece(new_year, 30)
    passage = ceres.find(2018, 4, 20)
    seeds["ceres-perihelion-2018"] = choices(flags=ROW | VALUES_FROM_INPUT) + ceres.piece(
        passage, 25)
    seeds["ceres-no-catalogue-row"] = choices(flags=0, frames=GEOMETRIC) + ceres.piece(0, 20)
    seeds["ceres-small-window"] = choices(client=(800, 600)) + ceres.piece(0, 20)
    seeds["ceres-zero-height-window"] = choices(client=(1920, 0)) + ceres.piece(0, 20)
    wrap = angle_wrap(eros)
    if wrap is not None:
        seeds["eros-across-360"] = choices(flags=ROW | VALUES_FROM_INPUT, frames=ALL_FRAMES, e=0.2227, a=1.458,
                                           q=1.133, T=643.13) + eros.piece(max(0, wrap - 10), 20)
    seeds["sedna-wide-orbit"] = choices(flags=ROW | VALUES_FROM_INPUT, e=0.8534, a=521.23, q=76.2,
                                        Q=966.3, T=4346550.98) + sedna.piece(0, 10)

    # Hand-made damage, on a short piece of Ceres's file.
    base = ceres.piece(0, 6)
    first = HEADER + len(ceres.links)

    seeds["damaged-header-cut-short"] = choices() + base[:100]
    seeds["damaged-header-only"] = choices() + base[:HEADER]
    seeds["damaged-no-terminator"] = choices() + ceres.piece(0, 6, terminator=False)
    seeds["damaged-record-cut-short"] = choices() + ceres.piece(0, 6, terminator=False)[:-50]
    seeds["damaged-terminator-tag-only"] = choices() + ceres.piece(0, 6, terminator=False) + bytes(
        4)
    for name, offset in (("huge", 0x7FFFFFFF), ("negative", -1), ("at-end", len(base)),
                         ("inside-header", 8), ("unaligned", first + 3)):
        data = bytearray(base)
        struct.pack_into("<i", data, 0, offset)
        seeds["damaged-first-record-" + name] = choices() + data
    for name, offset in (("huge", 1 << 63), ("all-ones", (1 << 64) - 1), ("at-end", len(base)),
                         ("last-byte", len(base) - 1), ("inside-header", 100)):
        data = bytearray(base)
        for field in (152, 160, 168):
            struct.pack_into("<Q", data, field, offset)
        seeds["damaged-links-" + name] = choices() + data
    unterminated = bytearray(base[:first])
    unterminated[-1] = ord("X")  # the last link runs into the end of the file
    seeds["damaged-link-without-zero"] = choices() + unterminated

    def with_records(change, name, **extra):
        data = bytearray(base)
        for index in range(6):
            change(data, first + index * RECORD, index)
        seeds[name] = choices(**extra) + data

    specials = [math.nan, math.inf, -math.inf, 1e300, -1e300, 359.9999999, 360.0, -0.0, 5e-324,
                2147483647.5, -2147483648.5]

    def odd_angles(data, at, index):
        for field in range(24, 88, 8):
            put_double(data, at + field, specials[(index * 8 + field // 8) % len(specials)])

    with_records(odd_angles, "damaged-odd-angles")
    with_records(odd_angles, "damaged-odd-angles-all-frames", frames=ALL_FRAMES)

    def nan_angles(data, at, index):
        for field in range(24, 88, 8):
            put_double(data, at + field, math.nan)

    with_records(nan_angles, "damaged-nan-angles")

    def constellations(data, at, index):
        struct.pack_into("<i", data, at + 20, [0, 89, -1, -2147483648, 2147483647, 88][index])

    with_records(constellations, "damaged-constellations")

    def dates(data, at, index):
        year, month, day, hour = [(0, 1, 1, 0), (65535, 12, 31, 23), (2000, 0, 0, 0),
                                  (2000, 13, 32, 24), (65535, 65535, 65535, 65535),
                                  (1582, 10, 10, 0)][index]
        struct.pack_into("<HHHHHHH", data, at + 4, year, month, 0, day, hour, 65535, 65535)

    with_records(dates, "damaged-dates")
    with_records(dates, "damaged-dates-seek-65535", year=65535)
    with_records(dates, "damaged-dates-perihelion", flags=ROW | VALUES_FROM_INPUT, tp=0.0, T=0.0)

    data = bytearray(base)
    struct.pack_into("<Iii", data, 108, 0xFFFFFFFF, 0, 0)
    struct.pack_into("<i", data, 116, -2147483648)
    struct.pack_into("<i", data, 120, 2147483647)
    seeds["damaged-header-years-and-id"] = choices(year=1) + data
    data = bytearray(base)
    struct.pack_into("<I", data, 108, 0)
    seeds["damaged-spkid-zero"] = choices() + data

    for name, values in (
            ("almost-parabolic", dict(e=0.9999999999, a=1e7, q=1e-3, Q=2e7)),
            ("hyperbolic", dict(e=1.5, a=-2.0, q=1.0, Q=-5.0)),
            ("negative-eccentricity", dict(e=-0.5)),
            ("negative-axis", dict(a=-3.0, q=-3.0, Q=-3.0)),
            ("huge-axis", dict(a=1e300, q=1e300, Q=1e300, T=1e300)),
            ("infinite-values", dict(e=math.inf, a=math.inf, q=-math.inf, T=math.inf,
                                     tp=math.inf)),
            ("zero-period", dict(T=0.0, tp=2451545.0)),
            ("negative-period", dict(T=-1680.5)),
            ("passage-far-future", dict(tp=1e308, T=1e308)),
            ("orbit-at-the-limit", dict(a=40.0, e=0.1, q=36.0, Q=44.0)),
            ("orbit-past-the-limit", dict(a=40.001, e=0.1, q=36.0, Q=44.0)),
    ):
        seeds["catalogue-" + name] = choices(flags=ROW | VALUES_FROM_INPUT, **values) + base

    seeds["seek-missing-year"] = choices(year=1999) + base
    return seeds


def star_file_seeds(sample):
    """The loading target's seeds: the file of every chart input (named seeds by their name, the
    others by the SHA-1 of the file), and files of many years for the year seek."""
    seeds = {}
    charts = os.path.join(CORPUS, "star_charts")
    seen = set()
    for name in sorted(os.listdir(charts)):
        data = open(os.path.join(charts, name), "rb").read()[CHOICES:]
        if data in seen:
            continue
        seen.add(data)
        named = not all(c in "0123456789abcdef" for c in name) or len(name) != 40
        seeds[name if named else hashlib.sha1(data).hexdigest()] = data

    datas = os.path.join(sample, "Datas")
    ceres = Nvr(open(os.path.join(datas, "2000001.Nvr"), "rb").read())
    # Every 60th day of the twenty years: 122 records, each year in turn.
    every = bytearray(ceres.header) + ceres.links
    for record in ceres.records[::60]:
        every += record
    seeds["ceres-twenty-years"] = bytes(every + bytes(RECORD))
    # The same records with some years out of order, repeated, before the first one, 0 and 65534.
    shuffled = bytearray(every)
    first = HEADER + len(ceres.links)
    for index, year in enumerate([2005, 2001, 2001, 1899, 65534, 0, 2019, 2005]):
        struct.pack_into("<H", shuffled, first + index * 15 * RECORD + 4, year)
    seeds["ceres-years-out-of-order"] = bytes(shuffled + bytes(RECORD))
    return seeds


# --------------------------------------------------------------------------------------------
# SBDB exports

def sbdb_seeds():
    seeds = {}
    for name in ("asteroids", "comets"):
        export = json.load(open(os.path.join(ROOT, "resources", "data", name + ".json")))
        piece = dict(export)
        piece["data"] = export["data"][:4]
        seeds[name + "-first-rows"] = json.dumps(piece, separators=(",", ":")).encode()

    fields = ["spkid", "full_name", "neo", "pha", "class", "e", "a", "q", "ad", "i", "om", "w",
              "ma", "n", "tp", "epoch", "per", "moid", "H", "diameter", "rot_per", "albedo"]
    ceres = ["2000001", "1 Ceres (A801 AA)", "N", "N", "MBA", 0.0786, 2.7666, 2.549, 2.98,
             10.587, 80.266, 73.53, 334.33, 0.2142, 2459920.365, 2459800.5, 1680.8, 1.586,
             3.33, 939.4, 9.074, 0.09]

    def export(rows, field_names=fields):
        return json.dumps({"fields": field_names, "data": rows}).encode()

    def changed(**values):
        row = list(ceres)
        for key, value in values.items():
            row[fields.index(key)] = value
        return row

    seeds["spkid-export"] = export([ceres])
    seeds["odd-spkids"] = export([changed(spkid=s, full_name="x%d" % k)
                                  for k, s in enumerate([0, "4294967296", 1.5, "abc", -1,
                                                         4294967295, None, "  7  ", 1e300])])
    seeds["odd-elements"] = export([
        changed(e=1.0), changed(e=-0.1), changed(e="nan"), changed(a=-2.0), changed(a=1e8),
        changed(q=0.0), changed(a=None, q=None), changed(i=181), changed(om=1e300),
        changed(epoch=-1), changed(tp=None, ma=None), changed(ma=None), changed(per=None),
        changed(per="inf"), changed(ad="x"), changed(a=0.1, q=None, e=0.999999)])
    seeds["odd-names"] = export([changed(full_name=n, spkid=None) for n in
                                 ["", "   ", "1 ", "1  (x)", "4294967295 Big", "12345678901 X",
                                  "1\u0001Ceres", "99 Name (2000 AB)", "1P/Halley", "\u00e9\u00e8"]])
    seeds["unknown-class-and-flags"] = export([changed(**{"class": "XYZ", "neo": "Y", "pha": None,
                                                          "moid": 0.01, "H": 21.0}),
                                               changed(**{"class": "", "neo": True, "pha": 1})])
    seeds["duplicate-spkid"] = export([ceres, ceres])
    seeds["dotted-fields"] = export([ceres], [f.replace("_", ".") if f != "full_name" else f
                                             for f in fields])
    seeds["short-row"] = export([ceres[:5], ceres + ["extra"]])
    seeds["no-full-name"] = export([ceres], ["spkid"] + fields[2:] + ["x"])
    seeds["row-not-an-array"] = json.dumps({"fields": fields, "data": [ceres, {"a": 1}]}).encode()
    seeds["not-an-export"] = b'{"fields": 1, "data": []}'
    seeds["not-json"] = b'{"fields": ["full_name"], "data": [["1 Ceres"]'
    seeds["array-root"] = b'[["full_name"], [["1 Ceres"]]]'
    return seeds


# --------------------------------------------------------------------------------------------
# Browser commands

def browser_command_seeds():
    commands = [
        "firefox-esr %u", "firefox %U", "chromium %U", "/usr/bin/google-chrome-stable %U",
        "\"/opt/my browser/browser\" --new-window %u", "sh -c \"firefox %u\"",
        "env MOZ_ENABLE_WAYLAND=1 firefox %u", "%u", "firefox", "epiphany %U %%",
        "firefox \"%u\"", "browser --name=\"a \\\"b\\\" \\$c \\`d\\` \\\\e\" %u",
        "browser \"unbalanced %u", "browser\t--tab\n%u", "browser %f %F %i %c %k %u %%u",
        "browser %", "browser %%", "browser \"\" %u", "browser %u%u", "b" + "x" * 300 + " %u",
        "\"%u\" browser", "browser --url=%u --end",
    ]
    seeds = {}
    for index, command in enumerate(commands):
        seeds["command-%02d" % index] = command.encode()
    seeds["address-with-blanks"] = b"firefox %u\0https://x.example/a b \"c\" $(id) %s"
    seeds["address-long"] = b"firefox %u\0https://x.example/" + b"a" * 1200
    seeds["address-utf8"] = b"firefox %u\0https://x.example/\xc3\xa9\xff\xfe"
    return seeds


# --------------------------------------------------------------------------------------------
# Command lines

NIVRA, NIVRA_DATA, LAUNCHER, ALL_PROGRAMS = 0, 1, 2, 3


def command_line(program, arguments, slurm=0):
    """The program (and the Slurm task of --shard slurm), then every argument ended by a zero."""
    line = bytes([program | slurm << 2])
    for argument in arguments:
        line += (argument.encode() if isinstance(argument, str) else argument) + b"\0"
    return line


def command_line_seeds():
    nivra = {
        "none": [],
        "help": ["--help"],
        "version": ["--version"],
        "everything": ["--folder", "/tmp/sky", "--star", "2000001", "--verbose"],
        "joined": ["--folder=/tmp/sky", "--star=4294967295"],
        "folder-missing": ["--folder"],
        "folder-empty": ["--folder", ""],
        "folder-takes-option": ["--folder", "--star", "1"],
        "star-zero": ["--star", "0"],
        "star-too-large": ["--star", "4294967296"],
        "star-signed": ["--star", "+1"],
        "star-other-digits": ["--star", "\u0663"],
        "twice": ["--verbose", "--verbose"],
        "folder-twice": ["--folder=a", "--folder=b"],
        "not-utf8": [b"\xff\xfe--folder"],
        "qt-option": ["-platform", "offscreen"],
        "info": ["info", "--folder", "/tmp/sky", "--star", "2000001"],
        "info-joined-bad-star": ["info", "--folder=/tmp/sky", "--star=abc"],
        "info-help": ["info", "--help"],
        "info-value-missing": ["info", "--star"],
        "info-twice": ["info", "--folder", "/a", "--folder", "/b"],
        "info-stray": ["info", "stray"],
        "info-no-folder": ["info", "--star", "1"],
        "stars": ["stars", "--folder", "/tmp/sky", "--sort", "4,4"],
        "stars-joined": ["stars", "--folder=/tmp/sky", "--sort=38,0,-1"],
        "stars-no-folder": ["stars"],
        "export-everything": ["export", "--folder", "/tmp/sky", "--star", "2000001", "--year",
                              "1900", "--look", "both", "--kind", "all", "--frame", "all",
                              "--format", "png"],
        "export-joined-cases": ["export", "--folder=/tmp/sky", "--star=1", "--year=2019",
                                "--look=SAVE", "--kind=View", "--frame=Earth", "--format=JPEG"],
        "export-year-too-early": ["export", "--folder", "/x", "--star", "1", "--year", "1899"],
        "export-kind-unknown": ["export", "--folder", "/x", "--star", "1", "--kind", "views"],
        "export-year-blanks": ["export", "--folder", "/x", "--star", "1", "--year", " 2000 "],
    }
    data = {
        "catalogue": ["catalogue", "--out", "/tmp/sky/Nivra.db", "a.json", "b.json"],
        "ephemeris": ["ephemeris", "--catalogue", "c.db", "--out", "Datas", "--from", "1900",
                      "--to", "2100", "--spk", "2000001", "2000002", "--threads", "4",
                      "--two-body"],
        "class-and-shard": ["ephemeris", "--class", "-2147483648", "--shard", "3/8"],
        "shard-last": ["ephemeris", "--shard", "8/8"],
        "shard-too-many": ["ephemeris", "--shard", "0/1000001"],
        "mark": ["mark", "--catalogue", "c.db", "--datas", "Datas"],
        "years-backwards": ["ephemeris", "--from", "2020", "--to", "2019"],
        "spk-missing": ["ephemeris", "--spk"],
        "spk-zero": ["ephemeris", "--spk", "0"],
        "spk-too-large": ["ephemeris", "--spk", "4294967296", "--out", "x"],
        "help-after-command": ["sample", "/tmp/sky", "--help"],
        "option-first": ["--out"],
        "threads-too-many": ["drift", "--threads", "1025"],
        "class-blank-before": ["ephemeris", "--class", " 1"],
        "class-blank-after": ["ephemeris", "--class", "1 "],
        "year-exponent": ["ephemeris", "--from", "1e3"],
        "joined": ["ephemeris", "--catalogue=c.db", "--out=Datas", "--spk=2000001", "2000002",
                   "--no-wait", "--verbose"],
        "sample-force": ["sample", "/tmp/sky", "--force"],
        "flag-with-value": ["sample", "--force=yes"],
        "dash-file": ["catalogue", "--out", "x.db", "-"],
    }
    launcher = {
        "none": [],
        "everything": ["--folder", "/tmp/sky", "--prepare-only"],
        "folder-missing": ["--folder"],
        "folder-empty": ["--folder", ""],
        "folder-takes-option": ["--folder", "--prepare-only"],
        "twice": ["--prepare-only", "--prepare-only"],
        "folder-joined": ["--folder=/tmp/sky"],
        "help": ["-h"],
        "version": ["--version"],
        "folder-twice": ["--folder", "a", "--folder", "b"],
        "folder-joined-dash": ["--folder=-x"],
    }
    seeds = {}
    for program, name, lines in ((NIVRA, "nivra", nivra), (NIVRA_DATA, "data", data),
                                 (LAUNCHER, "launcher", launcher)):
        for key, arguments in lines.items():
            seeds[name + "-" + key] = command_line(program, arguments)
    for slurm in range(8):
        seeds["data-shard-slurm-%d" % slurm] = command_line(NIVRA_DATA, ["ephemeris", "--shard",
                                                                         "slurm"], slurm)
    seeds["all-folder"] = command_line(ALL_PROGRAMS, ["--folder", "/tmp/sky"])
    seeds["all-help"] = command_line(ALL_PROGRAMS, ["export", "-h"])
    return seeds


def write(folder, seeds):
    """Writes the seeds over their namesakes; the other inputs of the corpus stay."""
    path = os.path.join(CORPUS, folder)
    os.makedirs(path, exist_ok=True)
    for name, data in seeds.items():
        with open(os.path.join(path, name), "wb") as out:
            out.write(data)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    write("star_charts", star_chart_seeds(sys.argv[1]))
    write("star_file", star_file_seeds(sys.argv[1]))
    write("sbdb", sbdb_seeds())
    write("browser_command", browser_command_seeds())
    write("command_line", command_line_seeds())


if __name__ == "__main__":
    main()
