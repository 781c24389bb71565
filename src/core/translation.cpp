#include "core/translation.h"

#include <cstring>

namespace zintaro {

namespace {

// Every place %1..%9 takes its value in one pass: a value that holds "%2"
// (a file's name may) stays as it is. A place without a value stays too.
std::string fillPlaces(const std::string& text, const std::vector<std::string>& args)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool isPlace = text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9';
        const auto arg = isPlace ? static_cast<std::size_t>(text[i + 1] - '1') : args.size();
        if (arg < args.size()) {
            out += args[arg];
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

bool sameWords(const char* a, const char* b)
{
    return a == b || (a != nullptr && b != nullptr && std::strcmp(a, b) == 0);
}

} // namespace

Text::Text(const char* context, const char* source)
    : m_context(context)
    , m_source(source)
{
}

Text Text::verbatim(std::string words)
{
    Text t;
    t.m_words = std::move(words);
    return t;
}

Text Text::arg(std::string_view value) const
{
    return arg(verbatim(std::string(value)));
}

Text Text::arg(const Text& value) const
{
    Text t = *this;
    t.m_args.push_back(value);
    return t;
}

Text Text::arg(long long number) const
{
    return arg(std::to_string(number));
}

std::string Text::render(Lookup lookup) const
{
    if (m_source == nullptr)
        return m_words;
    std::string words = lookup ? lookup(m_context, m_source) : std::string {};
    if (words.empty())
        words = m_source;
    std::vector<std::string> values;
    values.reserve(m_args.size());
    for (const Text& arg : m_args)
        values.push_back(arg.render(lookup));
    return fillPlaces(words, values);
}

bool operator==(const Text& a, const Text& b)
{
    return sameWords(a.m_context, b.m_context) && sameWords(a.m_source, b.m_source) && a.m_words == b.m_words
        && a.m_args == b.m_args;
}

} // namespace zintaro
