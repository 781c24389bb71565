#include "app/language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

namespace zintaro::app {

InterfaceLanguage::InterfaceLanguage() = default;

InterfaceLanguage::~InterfaceLanguage()
{
    for (QTranslator* translator : { m_program.get(), m_qt.get() })
        if (translator)
            QCoreApplication::removeTranslator(translator);
}

void InterfaceLanguage::apply(Language language)
{
    m_current = language;
    // Dates (the progress page's) in the same language as the words.
    QLocale::setDefault(QLocale(language == Language::English ? QLocale::English : QLocale::Italian));
    // Each translator installed or removed tells every widget at once; the
    // last change leaves them all in the new language.
    auto program = std::make_unique<QTranslator>();
    auto qt = std::make_unique<QTranslator>();
    bool programLoaded = false;
    bool qtLoaded = false;
    if (language == Language::English)
        programLoaded = program->load(QStringLiteral(":/zintaro/i18n/zintaro_en.qm"));
    else
        qtLoaded = qt->load(QStringLiteral("qtbase_it.qm"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));

    const std::unique_ptr<QTranslator> oldProgram = std::move(m_program);
    const std::unique_ptr<QTranslator> oldQt = std::move(m_qt);
    if (programLoaded) {
        QCoreApplication::installTranslator(program.get());
        m_program = std::move(program);
    }
    if (qtLoaded) {
        QCoreApplication::installTranslator(qt.get());
        m_qt = std::move(qt);
    }
    if (oldProgram)
        QCoreApplication::removeTranslator(oldProgram.get());
    if (oldQt)
        QCoreApplication::removeTranslator(oldQt.get());
}

QString languageWord(Language language)
{
    return language == Language::English ? QStringLiteral("en") : QStringLiteral("it");
}

std::optional<Language> languageFromWord(const QString& word)
{
    if (word == QLatin1String("it"))
        return Language::Italian;
    if (word == QLatin1String("en"))
        return Language::English;
    return std::nullopt;
}

QString namingWord(NoteNaming naming)
{
    return naming == NoteNaming::Letters ? QStringLiteral("letters") : QStringLiteral("solfege");
}

std::optional<NoteNaming> namingFromWord(const QString& word)
{
    if (word == QLatin1String("solfege"))
        return NoteNaming::Solfege;
    if (word == QLatin1String("letters"))
        return NoteNaming::Letters;
    return std::nullopt;
}

} // namespace zintaro::app
