#pragma once

#include "core/pitch.h"

#include <QString>
#include <QTranslator>
#include <cstdint>
#include <memory>
#include <optional>

namespace zintaro::app {

// The languages of the interface. The program's own words are Italian; the
// English ones come from the program's translation.
enum class Language : uint8_t { Italian, English };

// The words of the interface in one language: the program's translation
// and Qt's own (its buttons and boxes), installed in the application.
// Changing it sends every widget a LanguageChange.
class InterfaceLanguage {
public:
    InterfaceLanguage();
    ~InterfaceLanguage();
    InterfaceLanguage(const InterfaceLanguage&) = delete;
    InterfaceLanguage& operator=(const InterfaceLanguage&) = delete;

    void apply(Language language);
    Language current() const { return m_current; }

private:
    Language m_current = Language::Italian;
    std::unique_ptr<QTranslator> m_program;
    std::unique_ptr<QTranslator> m_qt;
};

// The words settings and the menu keep for a language or a naming, and back;
// an unknown word gives nothing.
QString languageWord(Language language);
std::optional<Language> languageFromWord(const QString& word);
QString namingWord(NoteNaming naming);
std::optional<NoteNaming> namingFromWord(const QString& word);

} // namespace zintaro::app
