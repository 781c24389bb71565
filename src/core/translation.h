#pragma once

#include <string>
#include <string_view>
#include <vector>

// Marks a text for the translation tools where it cannot be translated yet:
// tables of captions, texts translated later where they are shown. Qt's own
// definition is the same.
#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(context, text) text
#endif

namespace zintaro {

// A text in the language the user chose, from the program's own Italian
// words. The window installs the lookup; until then, as in the libraries'
// tests, the Italian words stand.
class Text {
public:
    Text(const char* context, const char* source);

    // The next value: the first call's fills %1, the second's %2, and so on
    // to %9, wherever the translation puts them; a sentence may leave one
    // out. Translators see whole sentences with their places.
    Text arg(std::string_view value) const;
    Text arg(long long number) const;
    Text arg(int number) const { return arg(static_cast<long long>(number)); }

    // The text in the chosen language, remembered so that it can follow a
    // later change of language.
    std::string str() const;
    // The same, not remembered: for words drawn again from their figures
    // when the language changes (a score, a summary), which would otherwise
    // push the notices that stand out of memory.
    std::string passing() const;
    // Texts go wherever the program's words went as strings.
    operator std::string() const { return str(); }

private:
    const char* m_context;
    const char* m_source;
    std::vector<std::string> m_args;
};

// Looks a marked text up: the lowest call is translate("Files", "…"), which
// the translation tools find by its name.
inline Text translate(const char* context, const char* source)
{
    return { context, source };
}

// The lookup of the chosen language: Italian words in, the user's words out.
using Translator = std::string (*)(const char* context, const char* source);
void setTranslator(Translator translator);

// A text that Text::str() gave earlier, in the language chosen now, its
// values kept (and translated too when they were texts): the notices that
// stand follow a change of language. Any other text comes back unchanged.
std::string retranslated(const std::string& shown);

} // namespace zintaro
