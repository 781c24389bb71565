#include "storage/importers.h"
#include "storage/score_line.h"

#include <QByteArray>
#include <QXmlStreamReader>
#include <algorithm>
#include <array>
#include <cmath>
#include <string>

namespace zintaro::storage {

namespace {

// Semitones above C of the steps C D E F G A B.
constexpr std::array<int, 7> StepSemitones = { 0, 2, 4, 5, 7, 9, 11 };

// A note type's code, or 7 for the ones shorter than the staff writes; none
// for an unknown word.
std::optional<int> typeCode(QStringView word)
{
    static constexpr std::array<std::u16string_view, 7> Types
        = { u"whole", u"half", u"quarter", u"eighth", u"16th", u"32nd", u"64th" };
    for (std::size_t i = 0; i < Types.size(); ++i)
        if (word == QStringView(Types[i].data(), static_cast<qsizetype>(Types[i].size())))
            return static_cast<int>(i);
    if (word == u"128th" || word == u"256th" || word == u"512th" || word == u"1024th")
        return 7;
    // Breve and longer are written here as the longest value there is.
    if (word == u"breve" || word == u"long" || word == u"maxima")
        return 0;
    return std::nullopt;
}

class ScoreReader {
public:
    ScoreReader(std::string_view bytes, int part)
        : m_xml(QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size())))
        , m_wanted(part)
    {
    }

    ImportOutcome read()
    {
        if (!m_xml.readNextStartElement())
            return refused(translate("Import", "non è una partitura MusicXML"));
        const bool timewise = m_xml.name() == u"score-timewise";
        if (!timewise && m_xml.name() != u"score-partwise")
            return refused(translate("Import", "non è una partitura MusicXML"));
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() == u"part-list")
                readPartList();
            else if (!timewise && m_xml.name() == u"part")
                readPartwisePart();
            else if (timewise && m_xml.name() == u"measure")
                readTimewiseMeasure();
            else
                m_xml.skipCurrentElement();
        }
        if (m_xml.hasError())
            return refused(translate("Import", "il file MusicXML è danneggiato o incompleto (riga %1)")
                               .arg(static_cast<long long>(m_xml.lineNumber())));
        if (m_piece.parts.empty())
            return refused(translate("Import", "non contiene parti da importare"));
        if (m_wanted < 0 || m_wanted >= static_cast<int>(m_piece.parts.size()))
            return refused(translate("Import", "la parte %1 non c'è: il file ne ha %2")
                               .arg(m_wanted + 1)
                               .arg(static_cast<int>(m_piece.parts.size())));
        if (m_piece.notes.empty())
            return refused(translate("Import", "la parte scelta non contiene note"));
        m_piece.chosenPart = m_wanted;
        return { ImportResult::Imported, std::move(m_piece), {} };
    }

private:
    static ImportOutcome refused(const Text& why) { return { ImportResult::Refused, std::nullopt, why }; }

    void readPartList()
    {
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() != u"score-part") {
                m_xml.skipCurrentElement();
                continue;
            }
            const QString id = m_xml.attributes().value(QLatin1String("id")).toString();
            QString name;
            while (m_xml.readNextStartElement()) {
                if (m_xml.name() == u"part-name")
                    name = m_xml.readElementText(QXmlStreamReader::SkipChildElements).simplified();
                else
                    m_xml.skipCurrentElement();
            }
            if (static_cast<int>(m_piece.parts.size()) == m_wanted)
                m_wantedId = id;
            m_piece.parts.push_back(name.isEmpty()
                    ? translate("Import", "Parte %1").arg(static_cast<int>(m_piece.parts.size()) + 1)
                    : Text::verbatim(name.toStdString()));
        }
    }

    bool isWanted(QStringView id) const { return m_wantedId && id == *m_wantedId; }

    void readPartwisePart()
    {
        const bool wanted = isWanted(m_xml.attributes().value(QLatin1String("id")));
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() == u"measure")
                readMeasure(wanted);
            else
                m_xml.skipCurrentElement();
        }
    }

    void readTimewiseMeasure()
    {
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() == u"part")
                readMeasure(isWanted(m_xml.attributes().value(QLatin1String("id"))));
            else
                m_xml.skipCurrentElement();
        }
    }

    // One measure of one part: the other parts are read for a tempo only.
    void readMeasure(bool wanted)
    {
        if (wanted)
            m_line.startMeasure();
        while (m_xml.readNextStartElement()) {
            const QStringView name = m_xml.name();
            if (name == u"sound")
                readSound();
            else if (name == u"direction")
                readDirection();
            else if (wanted && name == u"attributes")
                readAttributes();
            else if (wanted && name == u"note")
                m_line.add(readNote());
            else if (wanted && (name == u"backup" || name == u"forward"))
                move(name == u"backup" ? -1 : 1);
            else
                m_xml.skipCurrentElement();
        }
        if (wanted)
            m_line.endMeasure();
    }

    void readSound()
    {
        const auto attributes = m_xml.attributes();
        if (!m_piece.tempo && attributes.hasAttribute(QLatin1String("tempo"))) {
            bool ok = false;
            const double tempo = attributes.value(QLatin1String("tempo")).toDouble(&ok);
            if (ok && tempo > 0 && tempo < 10000)
                m_piece.tempo = tempo;
        }
        m_xml.skipCurrentElement();
    }

    void readDirection()
    {
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() == u"sound")
                readSound();
            else
                m_xml.skipCurrentElement();
        }
    }

    // The element's text as a whole number, or nothing.
    std::optional<int> number()
    {
        bool ok = false;
        const int value = m_xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed().toInt(&ok);
        return ok ? std::optional<int>(value) : std::nullopt;
    }

    // A duration in divisions; an unreadable or negative one is none.
    double duration()
    {
        bool ok = false;
        const double value = m_xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed().toDouble(&ok);
        return ok && value > 0 && std::isfinite(value) ? std::min(value, 1e9) : 0.0;
    }

    // Divisions to sixty-fourths of a whole note: a quarter is 16.
    double sixtyFourths(double divisions) const { return divisions * 16.0 / m_divisions; }

    void move(int direction)
    {
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() == u"duration")
                m_line.move(direction * sixtyFourths(duration()));
            else
                m_xml.skipCurrentElement();
        }
    }

    void readAttributes()
    {
        while (m_xml.readNextStartElement()) {
            const QStringView name = m_xml.name();
            if (name == u"divisions") {
                if (const auto d = number(); d && *d > 0)
                    m_divisions = *d;
            } else if (name == u"key" && !m_keyRead) {
                m_keyRead = true;
                readKey();
            } else if (name == u"time" && !m_meterRead) {
                m_meterRead = true;
                readTime();
            } else if (name == u"clef" && !m_piece.clef
                && m_xml.attributes().value(QLatin1String("number")).toInt() <= 1) {
                readClef();
            } else {
                m_xml.skipCurrentElement();
            }
        }
    }

    void readKey()
    {
        Key key;
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() == u"fifths")
                key.fifths = number().value_or(MostAccidentals + 1);
            else if (m_xml.name() == u"mode")
                key.mode = m_xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed() == u"minor"
                    ? KeyMode::Minor
                    : KeyMode::Major;
            else
                m_xml.skipCurrentElement();
        }
        if (isValidKey(key))
            m_piece.key = key;
    }

    void readTime()
    {
        int beats = 0;
        int unit = 0;
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() == u"beats" && beats == 0) {
                // "3+2" beats are five.
                const QString text = m_xml.readElementText(QXmlStreamReader::SkipChildElements);
                for (const QString& part : text.split(u'+')) {
                    const int n = part.trimmed().toInt();
                    beats = n > 0 && n < 100 && beats < 100 ? beats + n : 0;
                }
            } else if (m_xml.name() == u"beat-type" && unit == 0) {
                unit = number().value_or(0);
            } else {
                m_xml.skipCurrentElement();
            }
        }
        if (beats > 0 && beats < 100 && unit > 0 && unit <= 64)
            m_piece.meter = { beats, unit };
    }

    void readClef()
    {
        ImportedClef clef;
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() == u"sign") {
                const QString sign = m_xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
                clef.sign = sign.size() == 1 ? static_cast<char>(sign.at(0).toLatin1()) : '?';
            } else if (m_xml.name() == u"line") {
                clef.line = std::clamp(number().value_or(0), 0, 5);
            } else if (m_xml.name() == u"clef-octave-change") {
                clef.octaveChange = std::clamp(number().value_or(0), -2, 2);
            } else {
                m_xml.skipCurrentElement();
            }
        }
        m_piece.clef = clef;
    }

    std::optional<int> readPitch()
    {
        int step = -1;
        double alter = 0;
        int octave = 4;
        while (m_xml.readNextStartElement()) {
            const QStringView name = m_xml.name();
            const QString text = m_xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
            if (name == u"step" && text.size() == 1)
                step = static_cast<int>(QStringView(u"CDEFGAB").indexOf(text.at(0)));
            else if (name == u"alter")
                alter = std::clamp(text.toDouble(), -3.0, 3.0);
            else if (name == u"octave")
                octave = std::clamp(text.toInt(), -1, 10);
        }
        if (step < 0)
            return std::nullopt;
        const int midi
            = (octave + 1) * 12 + StepSemitones[static_cast<std::size_t>(step)] + static_cast<int>(std::lround(alter));
        return midi >= 0 && midi <= 127 ? std::optional<int>(midi) : std::nullopt;
    }

    void readNotations(ScoreNote& note)
    {
        while (m_xml.readNextStartElement()) {
            const QStringView name = m_xml.name();
            if (name == u"tied" && m_xml.attributes().value(QLatin1String("type")) == u"start")
                note.tieStart = true;
            else if (name == u"tuplet" && m_xml.attributes().value(QLatin1String("type")) == u"start")
                note.tupletStart = true;
            m_xml.skipCurrentElement();
        }
    }

    void readTimeModification(ScoreNote& note)
    {
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() == u"actual-notes")
                note.actualNotes = std::max(0, number().value_or(0));
            else if (m_xml.name() == u"normal-notes")
                note.normalNotes = std::max(0, number().value_or(0));
            else
                m_xml.skipCurrentElement();
        }
    }

    ScoreNote readNote()
    {
        ScoreNote note;
        while (m_xml.readNextStartElement()) {
            const QStringView name = m_xml.name();
            if (name == u"chord" || name == u"grace" || name == u"cue") {
                (name == u"chord" ? note.chord : name == u"grace" ? note.grace : note.cue) = true;
                m_xml.skipCurrentElement();
            } else if (name == u"pitch") {
                note.pitch = readPitch();
            } else if (name == u"duration") {
                note.length = sixtyFourths(duration());
            } else if (name == u"voice") {
                note.voice = m_xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed().toStdString();
            } else if (name == u"staff") {
                note.staff = number().value_or(1);
            } else if (name == u"type") {
                note.type = typeCode(m_xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed());
            } else if (name == u"dot") {
                ++note.dots;
                m_xml.skipCurrentElement();
            } else if (name == u"tie") {
                note.tieStart = note.tieStart || m_xml.attributes().value(QLatin1String("type")) == u"start";
                m_xml.skipCurrentElement();
            } else if (name == u"time-modification") {
                readTimeModification(note);
            } else if (name == u"notations") {
                readNotations(note);
            } else {
                m_xml.skipCurrentElement();
            }
        }
        return note;
    }

    QXmlStreamReader m_xml;
    int m_wanted;
    std::optional<QString> m_wantedId;
    ImportedPiece m_piece;
    bool m_keyRead = false;
    bool m_meterRead = false;

    int m_divisions = 1;
    KeptLine m_line { m_piece };
};

} // namespace

ImportOutcome readMusicXml(std::string_view bytes, int part)
{
    return ScoreReader(bytes, part).read();
}

} // namespace zintaro::storage
