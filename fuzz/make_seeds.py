#!/usr/bin/python3
# Writes the seed corpora of the table targets (corpus/table, corpus/users,
# corpus/catalogue): tables of the program's own layouts, as it writes them,
# with a few records, and a few damaged ones, so the fuzzer starts from files
# that open. Python's standard library only. Run once; the output is committed.
#   fuzz/make_seeds.py
import base64
import os
import shutil
import struct

here = os.path.dirname(os.path.abspath(__file__))


def table(fields, records, pad=b'\0', count=None, record_length=None):
    """A dBase III table of character fields [(name, length)] and records [[values]]."""
    size = 1 + sum(length for _, length in fields)
    header_length = 32 + 32 * len(fields) + 1
    out = bytearray(struct.pack('<BBBBIHH20x', 3, 109, 3, 5,
                                len(records) if count is None else count, header_length,
                                size if record_length is None else record_length))
    for name, length in fields:
        out += struct.pack('<11sc4xBB14x', name.encode(), b'C', length, 0)
    out += b'\r'
    for values in records:
        out += b' '
        for (_, length), value in zip(fields, values):
            out += value.encode('latin-1')[:length].ljust(length, pad)
    out += b'\x1a'
    return bytes(out)


def write(folder, name, data):
    os.makedirs(os.path.join(here, 'corpus', folder), exist_ok=True)
    with open(os.path.join(here, 'corpus', folder, name), 'wb') as f:
        f.write(data)


alarm = [('CODE', 56), ('ALARM5', 2), ('ALARM30', 2), ('STICK', 255), ('WEEKLY', 8), ('DATE', 13), ('STATE', 4)]
alarms = [['20090305|2009|03|05|14|5|4|1|20090305', '0', '0', 'one-time at 14:05', '0000000', '20090305', '1'],
          ['20090301|2009|03|01|9|0|0|2|29991230', '0', '0', 'mondays', '0100000', '20090301', '1'],
          ['20090305|2009|03|05|13|55|4|1|20090305', '0', '1', 'quick', '0000000', '20090305', '1'],
          ['20090305|2009|03|05|0|0|4|0|20090305', '1', '1', 'a plain note', '0000000', '20090305', '3']]
write('table', 'alarm.ser', table(alarm, alarms))
write('table', 'alarm_blanks.ser', table(alarm, alarms, pad=b' '))
write('table', 'alarm_short.ser', table(alarm, alarms, count=0x7FFFFFFF))
write('table', 'alarm_empty.ser', table(alarm, []))
sticks = [('NUMBER', 12), ('DATE', 9), ('STICK', 255)]
write('table', 'sticks.esf', table(sticks, [['1', '20090305', 'one'], ['2', '20090305', 'two'], ['3', '20090306', 'three']]))
write('table', 'mixed_types.dbf', table([('NAME', 10), ('VALUE', 6)], [['a', '12.5']]).replace(b'VALUE\0\0\0\0\0\0C', b'VALUE\0\0\0\0\0\0N'))

users = [('NUMBER', 12), ('USERNAME', 64), ('PWD', 128)]
user_rows = [['1', 'anna', '6F3EBFF0FB08845D658A29ED2A23F54B'], ['2', 'bob', ''], ['3', '..', '']]
write('users', 'user.dat', table(users, user_rows))
write('users', 'user_empty.dat', table(users, []))
# Login hashes as the program writes them, with the small costs the fuzz target
# allows (any hash value: the parameters and the text are what gets exercised).
b64 = lambda raw: base64.b64encode(raw).decode().rstrip('=')
hashed = '$argon2id$v=19$m=8,t=1,p=1$' + b64(bytes(range(16))) + '$' + b64(bytes(range(32, 64)))
write('users', 'user_hash.dat', table(users, [['1', 'anna', hashed], ['2', 'bob', hashed.replace('m=8', 'm=64')]]))
write('users', 'user_wide.dat', table([('NUMBER', 12), ('USERNAME', 255), ('PWD', 128)], [['1', 'n' * 200, '']]))
shutil.copy(os.path.join(here, '..', 'pinora', 'core', 'tests', 'data', 'foreign_user.dat'),
            os.path.join(here, 'corpus', 'users', 'foreign_user.dat'))

catalogue = [('NUMBER', 12), ('SKINNAME', 64), ('RESFILE', 255)]
write('catalogue', 'skincfg.dat', table(catalogue, [['1', 'Blue', 'C:\\P\\skins\\blue.dll'],
                                                   ['2', 'Green', 'C:\\P\\skins\\green.dll']]))
write('catalogue', 'winkcfg.dat', table([('NUMBER', 12), ('WINKNAME', 64), ('RESFILE', 255)],
                                        [['1', 'Bell', 'C:\\P\\winks\\bell.ewf']]))
write('catalogue', 'skincfg_short.dat', table(catalogue, [['1', 'Blue', 'C:\\b.dll']], count=4000000))
