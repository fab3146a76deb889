#!/usr/bin/python3
"""The phone in the sync tests: a second CalDAV client (Debian's python3-caldav
and python3-icalendar) working on the same calendar as Pinora.

  phone.py add URL UID SUMMARY MINUTES   a task due MINUTES from now, with an alarm at that time
  phone.py edit URL OLD NEW              the task whose summary holds OLD gets the summary NEW
  phone.py list URL                      uid|summary|due|status, a task a line
  phone.py put URL COUNT                 COUNT tasks in a row (the benchmark), timed
User and password come from PHONE_USER and PHONE_PASSWORD (alice / secret).
"""
import datetime
import os
import sys
import time

import caldav
import icalendar


def calendar(url):
    client = caldav.DAVClient(url=url, username=os.environ.get("PHONE_USER", "alice"),
                              password=os.environ.get("PHONE_PASSWORD", "secret"))
    return caldav.Calendar(client=client, url=url)


def task(uid, summary, due):
    cal = icalendar.Calendar()
    cal.add("prodid", "-//Pinora tests//phone//EN")
    cal.add("version", "2.0")
    todo = icalendar.Todo()
    todo.add("uid", uid)
    todo.add("dtstamp", datetime.datetime.now(datetime.timezone.utc))
    todo.add("summary", summary)
    todo.add("due", due)
    alarm = icalendar.Alarm()
    alarm.add("action", "DISPLAY")
    alarm.add("description", summary)
    alarm.add("trigger", datetime.timedelta(0))
    todo.add_component(alarm)
    cal.add_component(todo)
    return cal.to_ical().decode()


def todos(cal):
    for t in cal.todos(include_completed=True):
        t.load()
        parsed = icalendar.Calendar.from_ical(t.data)
        for comp in parsed.walk("VTODO"):
            yield t, parsed, comp


def main(argv):
    verb, url = argv[1], argv[2]
    cal = calendar(url)
    if verb == "add":
        due = datetime.datetime.now(datetime.timezone.utc).replace(second=0, microsecond=0) + \
            datetime.timedelta(minutes=int(argv[5]))
        cal.save_todo(task(argv[3], argv[4], due))
    elif verb == "edit":
        for t, parsed, comp in todos(cal):
            if argv[3] in str(comp.get("summary", "")):
                comp["summary"] = argv[4]
                t.data = parsed.to_ical().decode()
                t.save()
                return 0
        print("phone: no task holds", argv[3], file=sys.stderr)
        return 1
    elif verb == "list":
        for _, _, comp in todos(cal):
            due = comp.get("due")
            print("%s|%s|%s|%s" % (comp.get("uid"), comp.get("summary"), due.dt.isoformat() if due else "",
                                   comp.get("status", "")))
    elif verb == "put":
        start = time.monotonic()
        due = datetime.datetime(2031, 1, 1, 9, 0, tzinfo=datetime.timezone.utc)
        for i in range(int(argv[3])):
            cal.save_todo(task("phone-bench-%d" % i, "phone stick %d" % i, due))
        print("%.3f" % (time.monotonic() - start))
    else:
        print(__doc__, file=sys.stderr)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
