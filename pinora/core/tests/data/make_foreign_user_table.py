#!/usr/bin/python3
# Writes foreign_user.dat: a users table as another dBase program writes it,
# with the general-purpose "dbf" module (Debian: python3-dbf), which pads
# character fields with blanks. The tests read it to show that such a table
# still logs its users in. Run once; the output is committed beside this script.
#   /usr/bin/python3 make_foreign_user_table.py
import os
import dbf

here = os.path.dirname(os.path.abspath(__file__))
target = os.path.join(here, 'foreign_user.dat')
work = os.path.join(here, 'foreign_user.dbf')  # the module insists on .dbf

table = dbf.Table(work, 'NUMBER C(12); USERNAME C(64); PWD C(128)', dbf_type='db3')
table.open(dbf.READ_WRITE)
# "secret" as the text cipher stores it; bob has no password.
table.append(('1', 'anna', '6F3EBFF0FB08845D658A29ED2A23F54B'))
table.append(('2', 'bob', ''))
table.close()
os.replace(work, target)
