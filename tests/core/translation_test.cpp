#include "core/translation.h"

#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace zintaro {
namespace {

// An English translation of a few texts, as the window's lookup gives it:
// the Italian words come back for a text it does not know.
std::string english(const char* context, const char* source)
{
    static const std::map<std::pair<std::string, std::string>, std::string> words = {
        { { "Files", "%1 non è una composizione. %2" }, "%1 is not a composition. %2" },
        { { "Files", "Non è cambiato nulla." }, "Nothing was changed." },
        { { "Files", "%1 righe di %2" }, "of %2, %1 lines" },
        { { "Files", "oltre il %3° elemento, %1" }, "%1, past the %3th entry" },
        { { "Other", "Non è cambiato nulla." }, "Unchanged." },
    };
    const auto it = words.find({ context, source });
    return it == words.end() ? std::string(source) : it->second;
}

TEST(Translation, valuesFillTheirPlacesWhereverTheLanguagePutsThem)
{
    struct Case {
        const char* what;
        const char* context;
        const char* source;
        std::vector<std::string> values;
        std::string italian;
        std::string english;
    };
    const std::vector<Case> cases = {
        { "no places", "Files", "Non è cambiato nulla.", {}, "Non è cambiato nulla.", "Nothing was changed." },
        { "the context tells texts apart", "Other", "Non è cambiato nulla.", {}, "Non è cambiato nulla.",
            "Unchanged." },
        { "two places in order", "Files", "%1 non è una composizione. %2", { "\"a.txt\"", "Bene." },
            "\"a.txt\" non è una composizione. Bene.", "\"a.txt\" is not a composition. Bene." },
        { "the translation turns the places round", "Files", "%1 righe di %2", { "3", "a.txt" }, "3 righe di a.txt",
            "of a.txt, 3 lines" },
        { "a place left out takes no value of the next", "Files", "oltre il %3° elemento, %1", { "x", "2", "1000" },
            "oltre il 1000° elemento, x", "x, past the 1000th entry" },
        { "a value that looks like a place stays as it is", "Files", "%1 righe di %2", { "%2%1", "100%" },
            "%2%1 righe di 100%", "of 100%, %2%1 lines" },
        { "a place without a value stays", "Files", "%1 righe di %2", { "5" }, "5 righe di %2", "of %2, 5 lines" },
        { "an unknown text stays Italian", "Files", "Testo nuovo %1", { "9" }, "Testo nuovo 9", "Testo nuovo 9" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Text text = translate(c.context, c.source);
        for (const std::string& value : c.values)
            text = text.arg(value);
        EXPECT_EQ(text.render(), c.italian);
        EXPECT_EQ(text.render(&english), c.english);
    }
}

// A notice keeps its recipe, so it is said again in whichever language is
// chosen when it shows; a text among its values follows too, and words from
// outside stay as they came.
TEST(Translation, aTextAndTheTextsAmongItsValuesFollowTheLanguageOfTheirRendering)
{
    const Text reason = translate("Files", "Non è cambiato nulla.");
    const Text notice = translate("Files", "%1 non è una composizione. %2").arg("\"a.txt\"").arg(reason);
    EXPECT_EQ(notice.render(), "\"a.txt\" non è una composizione. Non è cambiato nulla.");
    EXPECT_EQ(notice.render(&english), "\"a.txt\" is not a composition. Nothing was changed.");
    EXPECT_EQ(Text::verbatim("Non è cambiato nulla.").render(&english), "Non è cambiato nulla.");
    EXPECT_EQ(translate("Sound", "Errore %1").arg(7).render(&english), "Errore 7");
    EXPECT_TRUE(Text().empty());
    EXPECT_FALSE(Text::verbatim("x").empty());
    EXPECT_EQ(notice, translate("Files", "%1 non è una composizione. %2").arg("\"a.txt\"").arg(reason));
    EXPECT_NE(notice, translate("Files", "%1 non è una composizione. %2").arg("\"b.txt\"").arg(reason));
}

} // namespace
} // namespace zintaro
