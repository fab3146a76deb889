// The iCalendar reader and writer, the time zones and the DAV XML reader.
#include <gtest/gtest.h>

#include "DavXml.h"
#include "ICalendar.h"
#include "TimeZones.h"

namespace pnsync {
namespace {

std::vector<std::string> PhysicalLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t end = text.find("\r\n", pos);
        EXPECT_NE(end, std::string::npos) << "every line ends in CRLF";
        if (end == std::string::npos) break;
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

TEST(ICalendar, FoldsAt75OctetsNeverInsideACharacterAndReadsBackTheSame) {
    // 70 ASCII bytes, then two-byte characters across the fold.
    const std::string text = std::string(70, 'a') + "\xC3\xA9\xC3\xA9\xC3\xA9 " + std::string(200, 'b') + "\xE2\x82\xAC";
    IcalComponent cal;
    cal.name = "VCALENDAR";
    IcalComponent todo;
    todo.name = "VTODO";
    todo.SetText("SUMMARY", text);
    cal.children.push_back(todo);
    const std::string written = WriteICalendar(cal);
    for (const std::string& line : PhysicalLines(written)) {
        EXPECT_LE(line.size(), 75u) << line;
        ASSERT_FALSE(line.empty());
        // A line never starts with a UTF-8 continuation byte after the fold's space.
        const size_t first = line[0] == ' ' ? 1 : 0;
        if (line.size() > first) {
            EXPECT_NE(static_cast<unsigned char>(line[first]) & 0xC0, 0x80) << line;
        }
    }
    IcalComponent back;
    std::string error;
    ASSERT_TRUE(ParseICalendar(written, &back, &error)) << error;
    EXPECT_EQ(back.children.at(0).Text("SUMMARY"), text);
}

TEST(ICalendar, EscapesBackslashSemicolonCommaAndLineBreaks) {
    const std::string text = "a,b;c\\d\r\ne\nf";
    EXPECT_EQ(EscapeText(text), "a\\,b\\;c\\\\d\\ne\\nf");
    EXPECT_EQ(UnescapeText(EscapeText(text)), "a,b;c\\d\ne\nf");
    EXPECT_EQ(UnescapeText("x\\Ny\\,"), "x\ny,");
}

TEST(ICalendar, KeepsUnknownPropertiesParametersAndComponents) {
    const std::string raw =
        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Phone//EN\r\nBEGIN:VTODO\r\nUID:x1\r\n"
        "X-APPLE-SORT-ORDER:5\r\nCATEGORIES:work,home\r\nATTENDEE;CN=\"Doe, J\";ROLE=REQ-PARTICIPANT:mailto:j@x\r\n"
        "SUMMARY:Hi\r\nBEGIN:X-CUSTOM\r\nFOO:bar\r\nEND:X-CUSTOM\r\nEND:VTODO\r\nEND:VCALENDAR\r\n";
    IcalComponent cal;
    std::string error;
    ASSERT_TRUE(ParseICalendar(raw, &cal, &error)) << error;
    const IcalComponent& todo = cal.children.at(0);
    EXPECT_EQ(todo.Find("ATTENDEE")->ParamValue("CN"), "Doe, J");
    const std::string again = WriteICalendar(cal);
    EXPECT_EQ(again, raw) << "an object read and written again is unchanged";
}

TEST(ICalendar, RejectsBrokenObjectsWithAReason) {
    struct Case {
        const char* text;
        const char* reason;
    } cases[] = {
        {"BEGIN:VCALENDAR\r\nBEGIN:VTODO\r\nEND:VCALENDAR\r\n", "END does not match"},
        {"BEGIN:VCALENDAR\r\nBEGIN:VTODO\r\nSUMMARY x\r\nEND:VTODO\r\nEND:VCALENDAR\r\n", "line 3"},
        {"BEGIN:VTODO\r\nEND:VTODO\r\n", "not a VCALENDAR"},
        {"BEGIN:VCALENDAR\r\nBEGIN:VTODO\r\n", "ends inside VTODO"},
        {"SUMMARY:x\r\n", "outside any component"},
        {"BEGIN:VCALENDAR\r\nX;P=\"open:1\r\nEND:VCALENDAR\r\n", "quoted parameter"},
        {"BEGIN:VCALENDAR\r\nSUMMARY:\xC3\x28\r\nEND:VCALENDAR\r\n", "UTF-8"},
        {"", "no VCALENDAR"},
    };
    for (const Case& c : cases) {
        IcalComponent cal;
        std::string error;
        EXPECT_FALSE(ParseICalendar(c.text, &cal, &error)) << c.text;
        EXPECT_NE(error.find(c.reason), std::string::npos) << "got: " << error;
    }
    std::string deep = "BEGIN:VCALENDAR\r\n";
    for (int i = 0; i < 10; ++i) deep += "BEGIN:X\r\n";
    IcalComponent cal;
    std::string error;
    EXPECT_FALSE(ParseICalendar(deep, &cal, &error));
    EXPECT_NE(error.find("nested"), std::string::npos);
}

TEST(TimeZones, TzidReadThroughTheObjectsVTimezoneInSummerAndWinter) {
    const std::string raw =
        "BEGIN:VCALENDAR\r\nBEGIN:VTIMEZONE\r\nTZID:Europe/Berlin\r\n"
        "BEGIN:DAYLIGHT\r\nTZOFFSETFROM:+0100\r\nTZOFFSETTO:+0200\r\nDTSTART:19700329T020000\r\n"
        "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU\r\nEND:DAYLIGHT\r\n"
        "BEGIN:STANDARD\r\nTZOFFSETFROM:+0200\r\nTZOFFSETTO:+0100\r\nDTSTART:19701025T030000\r\n"
        "RRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\nEND:VCALENDAR\r\n";
    IcalComponent cal;
    ASSERT_TRUE(ParseICalendar(raw, &cal, nullptr));
    const FixedZone utc(0);
    IcalProperty due;
    due.name = "DUE";
    due.SetParam("TZID", "Europe/Berlin");
    IcalTime t;
    due.value = "20240715T140500";  // summer: UTC+2
    ASSERT_TRUE(ParseIcalTime(due, &t));
    CivilTime local = ToLocal(t, cal, utc);
    EXPECT_EQ(local.hour, 12);
    EXPECT_EQ(local.minute, 5);
    due.value = "20240115T140500";  // winter: UTC+1
    ASSERT_TRUE(ParseIcalTime(due, &t));
    EXPECT_EQ(ToLocal(t, cal, utc).hour, 13);
    // The day of the change: 31 March 2024, 01:30 is still winter, 03:30 summer.
    due.value = "20240331T013000";
    ASSERT_TRUE(ParseIcalTime(due, &t));
    EXPECT_EQ(ToLocal(t, cal, utc).hour, 0);
    due.value = "20240331T033000";
    ASSERT_TRUE(ParseIcalTime(due, &t));
    EXPECT_EQ(ToLocal(t, cal, utc).hour, 1);
    // UTC read into a local zone of +2; floating as it stands; an unknown TZID floats.
    const FixedZone plusTwo(7200);
    ASSERT_TRUE(ParseIcalTimeValue("20240715T100000Z", &t));
    EXPECT_EQ(ToLocal(t, cal, plusTwo).hour, 12);
    ASSERT_TRUE(ParseIcalTimeValue("20240715T100000", &t));
    EXPECT_EQ(ToLocal(t, cal, plusTwo).hour, 10);
    due.SetParam("TZID", "Mars/Olympus");
    due.value = "20240715T100000";
    ASSERT_TRUE(ParseIcalTime(due, &t));
    EXPECT_EQ(ToLocal(t, cal, plusTwo).hour, 10);
    EXPECT_FALSE(ParseIcalTimeValue("20240230T100000", &t)) << "no such day";
    EXPECT_FALSE(ParseIcalTimeValue("2024071", &t));
}

TEST(DavXml, ReadsMultistatusWithAnyPrefixesEntitiesAndDeletions) {
    const std::string body =
        "<?xml version=\"1.0\"?>\n<D:multistatus xmlns:D=\"DAV:\" xmlns:cal=\"urn:ietf:params:xml:ns:caldav\">"
        "<D:response><D:href>/a/b/x%20y.ics</D:href><D:propstat><D:prop><D:getetag>\"1\"</D:getetag>"
        "<cal:calendar-data>BEGIN:VCALENDAR&#13;\nX:a&amp;b&lt;</cal:calendar-data></D:prop>"
        "<D:status>HTTP/1.1 200 OK</D:status></D:propstat></D:response>"
        "<D:response><D:href>http://h/a/b/gone.ics</D:href><D:status>HTTP/1.1 404 Not Found</D:status></D:response>"
        "<D:sync-token>tok-9</D:sync-token></D:multistatus>";
    Multistatus ms;
    std::string error;
    ASSERT_TRUE(ParseMultistatus(body, &ms, &error)) << error;
    ASSERT_EQ(ms.responses.size(), 2u);
    EXPECT_EQ(ms.responses[0].href, "/a/b/x y.ics");
    EXPECT_EQ(ms.responses[0].etag, "\"1\"");
    EXPECT_EQ(ms.responses[0].calendarData, "BEGIN:VCALENDAR\r\nX:a&b<");
    EXPECT_EQ(ms.responses[1].href, "/a/b/gone.ics");
    EXPECT_EQ(ms.responses[1].status, 404);
    EXPECT_EQ(ms.syncToken, "tok-9");
    for (const char* bad : {"<a><b></a>", "<a x=1/>", "<a>&bogus;</a>", "<a><![CDATA[x</a>", "<a>&#0;</a>"}) {
        XmlElement root;
        EXPECT_FALSE(ParseXml(bad, &root, &error)) << bad;
    }
    EXPECT_FALSE(ParseMultistatus("<other xmlns=\"DAV:\"/>", &ms, &error));
}

}  // namespace
}  // namespace pnsync
