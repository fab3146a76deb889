// Any bytes as an object from a CalDAV server or an .ics file: read, mapped to
// a stick or a diary day, written back over itself (what a push sends) and read
// again; and as a multistatus answer. Nothing may crash, and a written object
// must always read back.
#include <string>

#include "DavXml.h"
#include "ICalendar.h"
#include "Scratch.h"
#include "StickMapping.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    pnsync::Multistatus ms;
    pnsync::ParseMultistatus(text, &ms, nullptr);

    pnsync::IcalComponent cal;
    std::string error;
    if (!pnsync::ParseICalendar(text, &cal, &error)) {
        fuzz::Require(!error.empty());
        return 0;
    }
    const std::string written = pnsync::WriteICalendar(cal);
    pnsync::IcalComponent again;
    fuzz::Require(pnsync::ParseICalendar(written, &again, nullptr));
    fuzz::Require(pnsync::WriteICalendar(again) == written);

    const pnsync::FixedZone zone(3600);
    const pnsync::Latin1Codec codec;
    const pnsync::MapContext ctx{&zone, &codec, 1900000000LL};
    for (bool importing : {false, true}) {
        pnsync::RemoteItem item;
        if (!pnsync::ReadCalendar(cal, ctx, &item, nullptr, importing) || item.kind == pnsync::ItemKind::Other) continue;
        const std::string pushed = pnsync::WriteObject(item.fields, item.uid, written, item.fields, ctx);
        pnsync::RemoteItem back;
        fuzz::Require(pnsync::ReadObject(pushed, ctx, &back, nullptr, importing));
        const std::string fresh = pnsync::WriteObject(item.fields, item.uid, "", "", ctx);
        fuzz::Require(pnsync::ReadObject(fresh, ctx, &back, nullptr, importing));
    }
    return 0;
}
