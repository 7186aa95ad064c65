#!/usr/bin/env python3
"""Writes the small Anki packages under real/ and hostile/ as Anki lays them out: the
collection a SQLite database (schema 11 with the note types as JSON in col.models, or 18 with
the notetypes and fields tables), zstd-compressed as collection.anki21b beside a placeholder
collection.anki2. Needs python3 and the zstd command. Run from anywhere; the files are checked
in, so the tests do not need this script."""

import json
import os
import sqlite3
import subprocess
import tempfile
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
SCHEMA11 = """
CREATE TABLE col (id integer PRIMARY KEY, crt integer NOT NULL, mod integer NOT NULL,
  scm integer NOT NULL, ver integer NOT NULL, dty integer NOT NULL, usn integer NOT NULL,
  ls integer NOT NULL, conf text NOT NULL, models text NOT NULL, decks text NOT NULL,
  dconf text NOT NULL, tags text NOT NULL);
CREATE TABLE notes (id integer PRIMARY KEY, guid text NOT NULL, mid integer NOT NULL,
  mod integer NOT NULL, usn integer NOT NULL, tags text NOT NULL, flds text NOT NULL,
  sfld integer NOT NULL, csum integer NOT NULL, flags integer NOT NULL, data text NOT NULL);
CREATE TABLE cards (id integer PRIMARY KEY, nid integer NOT NULL, did integer NOT NULL,
  ord integer NOT NULL, mod integer NOT NULL, usn integer NOT NULL, type integer NOT NULL,
  queue integer NOT NULL, due integer NOT NULL, ivl integer NOT NULL, factor integer NOT NULL,
  reps integer NOT NULL, lapses integer NOT NULL, left integer NOT NULL, odue integer NOT NULL,
  odid integer NOT NULL, flags integer NOT NULL, data text NOT NULL);
CREATE TABLE graves (usn integer NOT NULL, oid integer NOT NULL, type integer NOT NULL);
"""
SCHEMA18 = """
CREATE TABLE fields (ntid integer NOT NULL, ord integer NOT NULL,
  name text NOT NULL COLLATE unicase, config blob NOT NULL, PRIMARY KEY (ntid, ord)) without rowid;
CREATE UNIQUE INDEX idx_fields_name_ntid ON fields (name, ntid);
CREATE TABLE notetypes (id integer NOT NULL PRIMARY KEY, name text NOT NULL COLLATE unicase,
  mtime_secs integer NOT NULL, usn integer NOT NULL, config blob NOT NULL);
CREATE UNIQUE INDEX idx_notetypes_name ON notetypes (name);
"""
PLACEHOLDER = [(1, "Please update to the latest Anki version, then import the .colpkg/.apkg "
                   "file again.", "")]


def collection(notes, note_types, new_schema, flds_nullable=False, wal=False):
    """The database's bytes: notes (id, type id, fields joined by U+001F or None); note types
    {id: (name, [field names])}. wal: marked as in write-ahead-log mode, as a collection Anki
    has open is."""
    with tempfile.TemporaryDirectory() as tmp:
        path = os.path.join(tmp, "c.db")
        db = sqlite3.connect(path)
        db.create_collation("unicase", lambda a, b: (a.lower() > b.lower()) - (a.lower() < b.lower()))
        db.execute("PRAGMA page_size = 1024")
        schema = SCHEMA11 + (SCHEMA18 if new_schema else "")
        if flds_nullable:
            schema = schema.replace("flds text NOT NULL", "flds text")
        db.executescript(schema)
        models = {} if new_schema else {
            str(mid): {"id": mid, "name": name, "type": 0,
                       "flds": [{"name": f, "ord": i} for i, f in reversed(list(enumerate(fields)))]}
            for mid, (name, fields) in note_types.items()}
        db.execute("INSERT INTO col VALUES (1, 0, 0, 0, ?, 0, 0, 0, '{}', ?, '{}', '{}', '{}')",
                   (18 if new_schema else 11, "" if new_schema else json.dumps(models)))
        if new_schema:
            for mid, (name, fields) in note_types.items():
                db.execute("INSERT INTO notetypes VALUES (?, ?, 0, 0, x'')", (mid, name))
                for i, f in enumerate(fields):
                    db.execute("INSERT INTO fields VALUES (?, ?, ?, x'')", (mid, i, f))
        for i, (mid, flds) in enumerate(notes):
            nid = 1700000000000 + i
            # bytes go in as they are, valid UTF-8 or not
            db.execute("INSERT INTO notes VALUES (?, ?, ?, 0, 0, '', CAST(? AS TEXT), '', 0, 0, '')",
                       (nid, "g%d" % i, mid, flds))
            db.execute("INSERT INTO cards VALUES (?, ?, 1, 0, 0, 0, 0, 0, ?, 0, 0, 0, 0, 0, 0, 0, 0,"
                       " '')", (nid, nid, i))
        db.commit()
        db.execute("VACUUM")
        db.close()
        with open(path, "rb") as f:
            data = bytearray(f.read())
        if wal:
            data[18] = data[19] = 2
        return bytes(data)


def zstd(data):
    return subprocess.run(["zstd", "-q", "-19", "-c"], input=data, check=True,
                          capture_output=True).stdout


def package(name, parts):
    with zipfile.ZipFile(os.path.join(HERE, name), "w", zipfile.ZIP_DEFLATED) as z:
        for part, data in parts:
            info = zipfile.ZipInfo(part, date_time=(2026, 1, 1, 0, 0, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            z.writestr(info, data)


def old_style(name, notes, types):
    package(name, [("collection.anki2", collection(notes, types, False)), ("media", b"{}")])


def new_style(name, database):
    placeholder = collection([(1, PLACEHOLDER[0][1] + "\x1f")], {1: ("Basic", ["Front", "Back"])},
                             False)
    # meta: PackageMetadata { version: LATEST }; media: an empty MediaEntries, compressed.
    package(name, [("collection.anki2", placeholder), ("collection.anki21b", database),
                   ("meta", b"\x08\x03"), ("media", zstd(b""))])


def main():
    vocab = {1600000000001: ("Vocabulary", ["Word", "Meaning", "Example"])}
    old_style("real/anki_2.1_schema11.apkg", [
        (1600000000001, "cat\x1fкошка\x1fThe cat sleeps."),
        (1600000000001, "dog\x1fсобака\x1f"),
        (1600000000001, "bird\x1fптица\x1fA bird, two birds"),
    ], vocab)

    basic = {1: ("Basic", ["Front", "Back"]),
             2: ("Basic (optional reversed card)", ["Front", "Back", "Add Reverse"])}
    new_style("real/anki_2.1.50.apkg", zstd(collection([
        (1, "Haus\x1fhouse"),
        (2, "Baum\x1ftree\x1fy"),
        (1, "Straße\x1fstreet"),
    ], basic, True, wal=True)))

    old_style("real/anki_html.apkg", [
        (1, "<b>der</b>&nbsp;Hund [sound:hund.mp3]\x1fdog<br>hound\x1f<img src=\"hund.jpg\">"),
        (1, "<div>Apfel</div><div>Äpfel</div>\x1f&lt;apple&gt; &amp; pear\x1f&quot;fruit&quot;"),
        (1, "Katze\x1f  cat\n \tfeline  \x1f"),
    ], {1: ("Basic (and reversed card)", ["Front", "Back", "Notes"])})

    package("real/anki_collection.colpkg", [("collection.anki21", collection([
        (7, "rouge\x1fred"), (7, "vert\x1fgreen")], {7: ("Basic", ["Front", "Back"])}, False)),
        ("media", b"{}")])

    # Refused: no collection, damaged SQLite, damaged zstd, a note without fields, bad UTF-8.
    package("hostile/anki_no_collection.apkg", [("media", b"{}")])
    good = collection([(1, "a\x1fb")], basic, False)
    package("hostile/anki_corrupt_database.apkg",
            [("collection.anki2", good[:100] + b"\xa5" * (len(good) - 100))])
    package("hostile/anki_corrupt_zstd.apkg",
            [("collection.anki21b", zstd(good)[:-40] + b"\0" * 40)])
    package("hostile/anki_note_without_fields.apkg", [("collection.anki2", collection(
        [(1, "a\x1fb"), (1, None)], basic, False, flds_nullable=True))])
    package("hostile/anki_invalid_utf8.apkg", [("collection.anki2", collection(
        [(1, "a\x1fb"), (1, "c\x1fd"), (1, b"x\x1fbad \xff")], basic, False))])


if __name__ == "__main__":
    main()
