#include "core/translation.h"

#include <atomic>
#include <deque>
#include <mutex>
#include <unordered_map>

namespace zintaro {

namespace {

struct Recipe {
    const char* context;
    const char* source;
    std::vector<std::string> args;
};

std::atomic<Translator> currentTranslator { nullptr };

// The texts given lately, newest last: enough for every notice that can
// stand at once, and bounded, since a score is given at every answer.
constexpr std::size_t RememberedTexts = 256;

struct Remembered {
    std::mutex mutex;
    std::unordered_map<std::string, Recipe> recipes;
    std::deque<std::string> order;
};

Remembered& remembered()
{
    static Remembered r;
    return r;
}

std::string lookUp(const char* context, const char* source)
{
    const Translator translator = currentTranslator.load();
    std::string text = translator ? translator(context, source) : std::string {};
    return text.empty() ? std::string(source) : text;
}

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

void remember(const std::string& text, Recipe recipe)
{
    Remembered& r = remembered();
    std::lock_guard lock(r.mutex);
    const auto [it, added] = r.recipes.insert_or_assign(text, std::move(recipe));
    if (!added)
        return;
    r.order.push_back(text);
    if (r.order.size() > RememberedTexts) {
        r.recipes.erase(r.order.front());
        r.order.pop_front();
    }
}

} // namespace

Text::Text(const char* context, const char* source)
    : m_context(context)
    , m_source(source)
{
}

Text Text::arg(std::string_view value) const
{
    Text t = *this;
    t.m_args.emplace_back(value);
    return t;
}

Text Text::arg(long long number) const
{
    return arg(std::to_string(number));
}

std::string Text::str() const
{
    std::string text = fillPlaces(lookUp(m_context, m_source), m_args);
    remember(text, { m_context, m_source, m_args });
    return text;
}

std::string Text::passing() const
{
    return fillPlaces(lookUp(m_context, m_source), m_args);
}

void setTranslator(Translator translator)
{
    currentTranslator.store(translator);
}

std::string retranslated(const std::string& shown)
{
    Recipe recipe;
    {
        Remembered& r = remembered();
        std::lock_guard lock(r.mutex);
        const auto it = r.recipes.find(shown);
        if (it == r.recipes.end())
            return shown;
        recipe = it->second;
    }
    Text text(recipe.context, recipe.source);
    for (const std::string& value : recipe.args)
        text = text.arg(retranslated(value));
    return text.str();
}

} // namespace zintaro
