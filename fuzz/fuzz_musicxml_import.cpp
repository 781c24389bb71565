// Feeds the MusicXML reader scores built from the format's own elements,
// nested and filled as the data says, or the data's bytes as they are, and
// checks what every import must give.
#include "import_checks.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>

namespace {

std::string element(const std::string& name, const std::string& content)
{
    return "<" + name + ">" + content + "</" + name + ">";
}

std::string number(FuzzedDataProvider& in, int low, int high)
{
    return std::to_string(in.ConsumeIntegralInRange(low, high));
}

std::string pick(FuzzedDataProvider& in, std::initializer_list<const char*> words)
{
    return *(words.begin() + in.ConsumeIntegralInRange<std::size_t>(0, words.size() - 1));
}

std::string attributes(FuzzedDataProvider& in)
{
    std::string out;
    if (in.ConsumeBool())
        out += element("divisions", number(in, -1, 960));
    if (in.ConsumeBool())
        out += element(
            "key", element("fifths", number(in, -9, 9)) + element("mode", pick(in, { "major", "minor", "dorian" })));
    if (in.ConsumeBool())
        out += element("time",
            element("beats", pick(in, { "3", "4", "6", "3+2", "x", "0" })) + element("beat-type", number(in, 0, 65)));
    if (in.ConsumeBool())
        out += "<clef number=\"" + number(in, 0, 2) + "\">" + element("sign", pick(in, { "G", "F", "C", "TAB" }))
            + element("line", number(in, 0, 6)) + "</clef>";
    return element("attributes", out);
}

std::string note(FuzzedDataProvider& in)
{
    std::string out;
    if (in.ConsumeBool())
        out += "<chord/>";
    if (in.ConsumeIntegralInRange(0, 15) == 0)
        out += "<grace/>";
    if (in.ConsumeBool())
        out += element("pitch",
            element("step", pick(in, { "C", "D", "E", "F", "G", "A", "B", "H" })) + element("alter", number(in, -3, 3))
                + element("octave", number(in, -2, 11)));
    else
        out += in.ConsumeBool() ? "<rest/>" : "<rest measure=\"yes\"/>";
    out += element("duration", in.ConsumeBool() ? number(in, -2, 1 << 20) : pick(in, { "0.5", "1e30", "nan", "" }));
    if (in.ConsumeBool())
        out += "<tie type=\"" + pick(in, { "start", "stop" }) + "\"/>";
    out += element("voice", number(in, 1, 3)) + element("staff", number(in, 1, 2));
    if (in.ConsumeBool())
        out += element("type",
            pick(in, { "whole", "half", "quarter", "eighth", "16th", "32nd", "64th", "128th", "breve", "long", "?" }));
    for (int dots = in.ConsumeIntegralInRange(0, 3); dots > 0; --dots)
        out += "<dot/>";
    if (in.ConsumeBool())
        out += element(
            "time-modification", element("actual-notes", number(in, 0, 9)) + element("normal-notes", number(in, 0, 9)));
    if (in.ConsumeBool())
        out += element("notations",
            "<tuplet type=\"" + pick(in, { "start", "stop" }) + "\"/><tied type=\"" + pick(in, { "start", "stop" })
                + "\"/>");
    return element("note", out);
}

std::string measureContent(FuzzedDataProvider& in)
{
    std::string out;
    for (int i = in.ConsumeIntegralInRange(0, 24); i > 0 && in.remaining_bytes() > 0; --i) {
        switch (in.ConsumeIntegralInRange(0, 7)) {
        case 0:
            out += attributes(in);
            break;
        case 1:
            out += element(in.ConsumeBool() ? "backup" : "forward", element("duration", number(in, -1, 1 << 16)));
            break;
        case 2:
            out += element("direction", "<sound tempo=\"" + number(in, -10, 20000) + "\"/>");
            break;
        default:
            out += note(in);
        }
    }
    return out;
}

std::string score(FuzzedDataProvider& in)
{
    const bool timewise = in.ConsumeBool();
    const int parts = in.ConsumeIntegralInRange(0, 3);
    std::string list;
    for (int p = 1; p <= parts; ++p)
        list += "<score-part id=\"P" + std::to_string(p) + "\">"
            + element("part-name", in.ConsumeRandomLengthString(12)) + "</score-part>";
    std::string body;
    const int measures = in.ConsumeIntegralInRange(1, 6);
    for (int m = 0; m < measures; ++m)
        for (int p = 1; p <= std::max(parts, 1); ++p) {
            const std::string id = "\"P" + std::to_string(p) + "\"";
            body += timewise ? "<measure><part id=" + id + ">" + measureContent(in) + "</part></measure>"
                             : "<part id=" + id + "><measure>" + measureContent(in) + "</measure></part>";
        }
    const std::string root = timewise ? "score-timewise" : "score-partwise";
    return "<?xml version=\"1.0\"?><" + root + ">" + element("part-list", list) + body + "</" + root + ">";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    const bool asBytes = in.ConsumeBool();
    const int part = in.ConsumeIntegralInRange(0, 2);
    const std::string xml = asBytes ? in.ConsumeRemainingBytesAsString() : score(in);
    zintaro::fuzz::checkImport(zintaro::storage::readMusicXml(xml, part));
    return 0;
}
