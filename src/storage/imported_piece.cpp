#include "storage/imported_piece.h"

#include <cmath>

namespace zintaro::storage {

WrittenValue nearestValue(double sixtyFourths)
{
    // Longest first, so the later of two equally near values is the shorter.
    WrittenValue best = WrittenValues.front();
    double bestDistance = std::abs(sixtyFourths - best.sixtyFourths());
    for (const WrittenValue& v : WrittenValues) {
        const double distance = std::abs(sixtyFourths - v.sixtyFourths());
        if (distance <= bestDistance) {
            best = v;
            bestDistance = distance;
        }
    }
    return best;
}

std::vector<WrittenValue> valuesFilling(long long sixtyFourths, std::size_t most)
{
    std::vector<WrittenValue> values;
    for (const WrittenValue& v : WrittenValues) {
        while (sixtyFourths >= v.sixtyFourths() && values.size() < most) {
            values.push_back(v);
            sixtyFourths -= v.sixtyFourths();
        }
    }
    return values;
}

namespace {

// One count of the sentence: its words for one and for more.
Text counted(int count, const char* one, const char* more)
{
    return count == 1 ? translate("Import", one) : translate("Import", more).arg(count);
}

} // namespace

Text lossesText(const ImportLosses& losses)
{
    std::vector<Text> parts;
    if (losses.chordsReduced > 0)
        parts.push_back(
            counted(losses.chordsReduced, QT_TRANSLATE_NOOP("Import", "1 accordo ridotto alla nota più alta"),
                QT_TRANSLATE_NOOP("Import", "%1 accordi ridotti alla nota più alta")));
    if (losses.tripletsApproximated > 0)
        parts.push_back(counted(losses.tripletsApproximated, QT_TRANSLATE_NOOP("Import", "1 terzina approssimata"),
            QT_TRANSLATE_NOOP("Import", "%1 terzine approssimate")));
    if (losses.otherTupletsApproximated > 0)
        parts.push_back(
            counted(losses.otherTupletsApproximated, QT_TRANSLATE_NOOP("Import", "1 gruppo irregolare approssimato"),
                QT_TRANSLATE_NOOP("Import", "%1 gruppi irregolari approssimati")));
    if (losses.valuesApproximated > 0)
        parts.push_back(counted(losses.valuesApproximated,
            QT_TRANSLATE_NOOP("Import", "1 valore che il pentagramma non scrive approssimato"),
            QT_TRANSLATE_NOOP("Import", "%1 valori che il pentagramma non scrive approssimati")));
    if (losses.overlapsDropped > 0)
        parts.push_back(counted(losses.overlapsDropped,
            QT_TRANSLATE_NOOP("Import", "1 nota sovrapposta a una più alta tralasciata"),
            QT_TRANSLATE_NOOP("Import", "%1 note sovrapposte a una più alta tralasciate")));
    if (losses.notesLeftOut)
        parts.push_back(translate("Import", "le note dopo le prime %1 lasciate fuori")
                            .arg(static_cast<long long>(MaxImportedNotes)));
    if (parts.empty())
        return {};
    Text sentence = parts.front();
    for (std::size_t i = 1; i < parts.size(); ++i)
        sentence = translate("Import", "%1; %2").arg(sentence).arg(parts[i]);
    return sentence;
}

} // namespace zintaro::storage
