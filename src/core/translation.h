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

// The lookup of a language: the program's own Italian words in, the user's
// words out (empty when it does not know them).
using Lookup = std::string (*)(const char* context, const char* source);

// A text of the program as a recipe: its Italian words, their context and
// the values of its places. The libraries hand texts on; the window renders
// them where they are shown, in the language chosen then, so a text that
// stands follows a later change of language.
class Text {
public:
    // No words: an outcome with nothing to tell.
    Text() = default;
    Text(const char* context, const char* source);

    // Words from outside the program (a device's own name, a library's own
    // message) that are shown as they come, in every language.
    static Text verbatim(std::string words);

    // The next value: the first call's fills %1, the second's %2, and so on
    // to %9, wherever the translation puts them; a sentence may leave one
    // out. Translators see whole sentences with their places. A text as a
    // value is rendered in the same language as the sentence.
    Text arg(std::string_view value) const;
    Text arg(const Text& value) const;
    Text arg(long long number) const;
    Text arg(int number) const { return arg(static_cast<long long>(number)); }

    bool empty() const { return m_source == nullptr && m_words.empty(); }

    // The words in the language of `lookup`; without one, the Italian words.
    std::string render(Lookup lookup = nullptr) const;

    friend bool operator==(const Text& a, const Text& b);

private:
    const char* m_context = nullptr;
    const char* m_source = nullptr; // none: m_words as they are
    std::string m_words;
    std::vector<Text> m_args;
};

// Marks a text for translation: the lowest call is translate("Files", "…"),
// which the translation tools find by its name.
inline Text translate(const char* context, const char* source)
{
    return { context, source };
}

} // namespace zintaro
