// Feeds the MusicXML reader scores built from the format's own elements,
// nested and filled as the data says, or the data's bytes as they are, and
// checks what every import must give.
#include "import_checks.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <initializer_list>
#include <string>
#include <string_view>

namespace {

// A score written straight into one text: under the sanitizers every
// allocation costs, and the pieces of a score are many.
class ScoreWriter {
public:
    explicit ScoreWriter(FuzzedDataProvider& in)
        : m_in(in)
    {
    }

    std::string score()
    {
        m_hostileLengths = m_in.ConsumeIntegralInRange(0, 7) == 0;
        const bool timewise = m_in.ConsumeBool();
        const int parts = m_in.ConsumeIntegralInRange(0, 3);
        const std::string_view root = timewise ? "score-timewise" : "score-partwise";
        m_out = "<?xml version=\"1.0\"?>";
        open(root);
        open("part-list");
        for (int p = 1; p <= parts; ++p) {
            (m_out += "<score-part id=\"P") += std::to_string(p);
            m_out += "\">";
            element("part-name", m_in.ConsumeRandomLengthString(12));
            m_out += "</score-part>";
        }
        close("part-list");
        const int measures = m_in.ConsumeIntegralInRange(1, 6);
        for (int m = 0; m < measures; ++m)
            for (int p = 1; p <= std::max(parts, 1); ++p) {
                const std::string part = "<part id=\"P" + std::to_string(p) + "\">";
                if (timewise) {
                    (m_out += "<measure>") += part;
                    measureContent();
                    m_out += "</part></measure>";
                } else {
                    (m_out += part) += "<measure>";
                    measureContent();
                    m_out += "</measure></part>";
                }
            }
        close(root);
        return std::move(m_out);
    }

private:
    void open(std::string_view name) { ((m_out += '<') += name) += '>'; }
    void close(std::string_view name) { ((m_out += "</") += name) += '>'; }
    void element(std::string_view name, std::string_view content)
    {
        open(name);
        m_out += content;
        close(name);
    }
    void number(std::string_view name, int low, int high)
    {
        element(name, std::to_string(m_in.ConsumeIntegralInRange(low, high)));
    }
    // A duration element, now and then words that count nothing. One score
    // in eight has hostile lengths, up to the longest a file may give, which
    // fill a part to the importers' cap; the others stay within two whole
    // notes of their divisions, so that most runs check a score rather than
    // that cap's twenty thousand notes.
    void length()
    {
        if (m_in.ConsumeIntegralInRange(0, 7) == 0) {
            element("duration", m_hostileLengths ? pick({ "1e30", "nan", "" }) : pick({ "0.5", "nan", "", "-0" }));
            return;
        }
        const int divisions = std::clamp(m_divisions, 1, 960);
        number("duration", -2, m_hostileLengths ? 1 << 20 : 8 * divisions);
    }
    const char* pick(std::initializer_list<const char*> words)
    {
        return *(words.begin() + m_in.ConsumeIntegralInRange<std::size_t>(0, words.size() - 1));
    }

    void attributes()
    {
        open("attributes");
        if (m_in.ConsumeBool()) {
            m_divisions = m_in.ConsumeIntegralInRange(-1, 960);
            element("divisions", std::to_string(m_divisions));
        }
        if (m_in.ConsumeBool()) {
            open("key");
            number("fifths", -9, 9);
            element("mode", pick({ "major", "minor", "dorian" }));
            close("key");
        }
        if (m_in.ConsumeBool()) {
            open("time");
            element("beats", pick({ "3", "4", "6", "3+2", "x", "0" }));
            number("beat-type", 0, 65);
            close("time");
        }
        if (m_in.ConsumeBool()) {
            (m_out += "<clef number=\"") += std::to_string(m_in.ConsumeIntegralInRange(0, 2));
            m_out += "\">";
            element("sign", pick({ "G", "F", "C", "TAB" }));
            number("line", 0, 6);
            m_out += "</clef>";
        }
        close("attributes");
    }

    void note()
    {
        open("note");
        if (m_in.ConsumeBool())
            m_out += "<chord/>";
        if (m_in.ConsumeIntegralInRange(0, 15) == 0)
            m_out += "<grace/>";
        if (m_in.ConsumeBool()) {
            open("pitch");
            element("step", pick({ "C", "D", "E", "F", "G", "A", "B", "H" }));
            number("alter", -3, 3);
            number("octave", -2, 11);
            close("pitch");
        } else {
            m_out += m_in.ConsumeBool() ? "<rest/>" : "<rest measure=\"yes\"/>";
        }
        length();
        if (m_in.ConsumeBool())
            ((m_out += "<tie type=\"") += pick({ "start", "stop" })) += "\"/>";
        number("voice", 1, 3);
        number("staff", 1, 2);
        if (m_in.ConsumeBool())
            element("type",
                pick({ "whole", "half", "quarter", "eighth", "16th", "32nd", "64th", "128th", "breve", "long", "?" }));
        for (int dots = m_in.ConsumeIntegralInRange(0, 3); dots > 0; --dots)
            m_out += "<dot/>";
        if (m_in.ConsumeBool()) {
            open("time-modification");
            number("actual-notes", 0, 9);
            number("normal-notes", 0, 9);
            close("time-modification");
        }
        if (m_in.ConsumeBool()) {
            open("notations");
            ((m_out += "<tuplet type=\"") += pick({ "start", "stop" })) += "\"/>";
            ((m_out += "<tied type=\"") += pick({ "start", "stop" })) += "\"/>";
            close("notations");
        }
        close("note");
    }

    void measureContent()
    {
        for (int i = m_in.ConsumeIntegralInRange(0, 24); i > 0 && m_in.remaining_bytes() > 0; --i) {
            switch (m_in.ConsumeIntegralInRange(0, 7)) {
            case 0:
                attributes();
                break;
            case 1: {
                const char* name = m_in.ConsumeBool() ? "backup" : "forward";
                open(name);
                length();
                close(name);
                break;
            }
            case 2:
                ((m_out += "<direction><sound tempo=\"") += std::to_string(m_in.ConsumeIntegralInRange(-10, 20000)))
                    += "\"/></direction>";
                break;
            default:
                note();
            }
        }
    }

    FuzzedDataProvider& m_in;
    std::string m_out;
    bool m_hostileLengths = false;
    int m_divisions = 1; // the last divisions written
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    const bool asBytes = in.ConsumeBool();
    const int part = in.ConsumeIntegralInRange(0, 2);
    const std::string xml = asBytes ? in.ConsumeRemainingBytesAsString() : ScoreWriter(in).score();
    zintaro::fuzz::checkImport(zintaro::storage::readMusicXml(xml, part));
    return 0;
}
