#include "storage/settings_file.h"
#include "storage_test_support.h"

#include <QSettings>
#include <QStringList>
#include <gtest/gtest.h>

namespace zintaro::testing {
namespace {

namespace fs = std::filesystem;
using storage::SettingsValues;

QString qt(const std::string& text)
{
    return QString::fromStdString(text);
}

// Values that need every escape of the format: separators, quotes, a leading
// "@", spaces at the ends, control characters before a hex digit, words
// past ASCII, lists of none, one and several, keys outside a group.
SettingsValues awkwardValues()
{
    SettingsValues values;
    values.set("practice/review", "true");
    values.set("practice/lowest", "F#3");
    values.set("midi/keyboardsOff", std::vector<std::string> { "USB Keystation 61: port, 0", "Clavier à \"queue\"" });
    values.set("midi/single", std::vector<std::string> { "only one" });
    values.set("midi/none", std::vector<std::string> {});
    values.set("texts/at", "@ByteArray(x)");
    values.set("texts/spaces", " padded ");
    values.set("texts/controls",
        "tab\there\x01"
        "2\\end;x=y");
    values.set("texts/empty", "");
    values.set("General/inGroup", "g");
    values.set("noGroup", "plain");
    values.set("texts/odd key é", "v");
    return values;
}

// What the program writes is the file Qt's settings write for the same
// values, byte for byte, and reads back as it was; a file Qt wrote reads the
// same through the program.
TEST(SettingsFile, valuesWrittenAreTheFileQtWritesAndReadBackAsTheyWere)
{
    TemporaryFolder temp;
    const SettingsValues values = awkwardValues();
    const fs::path byQt = temp.path() / "qt.conf";
    {
        QSettings settings(qt(byQt.string()), QSettings::IniFormat);
        for (const auto& [key, value] : values.all()) {
            if (const auto* text = std::get_if<std::string>(&value)) {
                settings.setValue(qt(key), qt(*text));
                continue;
            }
            QStringList list;
            for (const std::string& item : std::get<std::vector<std::string>>(value))
                list << qt(item);
            settings.setValue(qt(key), list);
        }
    }
    EXPECT_EQ(storage::settingsText(values), readBytes(byQt));

    const fs::path ours = temp.path() / "folder" / "ours.conf";
    ASSERT_FALSE(storage::writeSettingsFile(ours, values));
    const storage::SettingsRead read = storage::readSettingsFile(ours);
    EXPECT_FALSE(read.damaged);
    EXPECT_EQ(read.values.list("midi/keyboardsOff"),
        std::get<std::vector<std::string>>(values.all().at("midi/keyboardsOff")));
    EXPECT_EQ(read.values.list("midi/single"), std::vector<std::string> { "only one" });
    EXPECT_EQ(read.values.list("midi/none"), std::vector<std::string> {});
    for (const char* key : { "texts/at", "texts/spaces", "texts/controls", "texts/empty", "General/inGroup", "noGroup",
             "texts/odd key é" })
        EXPECT_EQ(read.values.text(key), values.text(key)) << key;
    // Qt's settings may hand back a list of one as it was set, or as a text.
    const SettingsValues qtRead = storage::readSettingsFile(byQt).values;
    ASSERT_EQ(qtRead.all().size(), read.values.all().size());
    for (const auto& [key, value] : read.values.all())
        EXPECT_EQ(qtRead.list(key), read.values.list(key)) << key;

    // A key a hand-edited file began with a slash has no value to be had: left out.
    writeBytes(temp.path() / "slashed.conf", "[General]\n\\:%25=v\nkept=1\n");
    EXPECT_EQ(storage::readSettingsFile(temp.path() / "slashed.conf").values.all().size(), 1U);

    // A group named "general" in another case than Qt's own, which Qt would
    // read back as no group (found by the fuzzer), keeps its name.
    SettingsValues general;
    general.set("GeneRal/x", "1");
    general.set("general/y", "2");
    general.set("General/z", "3");
    ASSERT_FALSE(storage::writeSettingsFile(temp.path() / "general.conf", general));
    EXPECT_EQ(storage::readSettingsFile(temp.path() / "general.conf").values, general);
}

// A save writes its keys over the file's and keeps the others; a missing
// file is no damage, a file that is no settings is, and is set aside once.
TEST(SettingsFile, aSaveKeepsOtherKeysAndADamagedFileIsSetAsideOnce)
{
    TemporaryFolder temp;
    const fs::path file = temp.path() / "zintaro.conf";
    EXPECT_FALSE(storage::readSettingsFile(file).damaged);
    EXPECT_TRUE(storage::readSettingsFile(file).values.all().empty());

    writeBytes(file, "[other]\nkept=1\n\n[practice]\nreview=false\n");
    SettingsValues mine;
    mine.set("practice/review", "true");
    ASSERT_FALSE(storage::writeSettingsFile(file, mine));
    EXPECT_EQ(readBytes(file), "[other]\nkept=1\n\n[practice]\nreview=true\n");

    writeBytes(file, "[practice\nreview=\"true\n");
    ASSERT_TRUE(storage::readSettingsFile(file).damaged);
    const std::string notice = storage::setSettingsFileAside(file).render();
    EXPECT_NE(notice.find(".damaged-"), std::string::npos) << notice;
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(namesIn(temp.path()).size(), 1U);
    EXPECT_FALSE(storage::readSettingsFile(file).damaged);
}

} // namespace
} // namespace zintaro::testing
