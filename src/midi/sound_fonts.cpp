#include "midi/sound_fonts.h"

#include "midi/midi_errors.h"
#include "midi/synth_diagnostics.h"

#include <algorithm>
#include <array>
#include <fluidsynth.h>
#include <string>
#include <string_view>
#include <system_error>

namespace zintaro::midi {

namespace fs = std::filesystem;

namespace {

// The files of one kind in a folder, in name order; none when the folder
// is missing or unreadable.
std::vector<fs::path> fontsIn(const fs::path& folder, const std::string& extension)
{
    std::vector<fs::path> found;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (it->path().extension() == extension)
            found.push_back(it->path());
    std::sort(found.begin(), found.end());
    return found;
}

// The font FluidSynth would load by itself, as its build or the system's
// configuration sets it; empty when it names none.
fs::path fluidSynthDefaultFont()
{
    collectSynthLog();
    fluid_settings_t* settings = new_fluid_settings();
    if (!settings)
        return {};
    std::array<char, 4096> text {};
    fs::path font;
    if (fluid_settings_copystr(settings, "synth.default-soundfont", text.data(), static_cast<int>(text.size()))
        == FLUID_OK)
        font = text.data();
    delete_fluid_settings(settings);
    return font;
}

void appendNew(std::vector<fs::path>& all, const std::vector<fs::path>& more)
{
    for (const fs::path& p : more)
        if (std::find(all.begin(), all.end(), p) == all.end())
            all.push_back(p);
}

} // namespace

std::vector<fs::path> defaultSoundFonts(const std::vector<fs::path>& dataFolders)
{
    // Debian's default fonts stand first even when missing, so that the
    // search names them.
    std::vector<fs::path> all { "/usr/share/sounds/sf2/default-GM.sf2" };
    appendNew(all, fontsIn("/usr/share/sounds/sf2", ".sf2"));
    appendNew(all, { "/usr/share/sounds/sf3/default-GM.sf3" });
    appendNew(all, fontsIn("/usr/share/sounds/sf3", ".sf3"));
    if (const fs::path font = fluidSynthDefaultFont(); !font.empty())
        appendNew(all, { font });
    for (const fs::path& folder : dataFolders)
        for (const char* sub : { "soundfonts", "sounds/sf2" })
            for (const char* extension : { ".sf2", ".sf3" })
                appendNew(all, fontsIn(folder / sub, extension));
    return all;
}

std::optional<fs::path> findSoundFont(const std::vector<fs::path>& candidates, MidiResult& error)
{
    bool anyExists = false;
    for (const fs::path& p : candidates) {
        std::error_code ec;
        if (!fs::is_regular_file(p, ec))
            continue;
        anyExists = true;
        if (fluid_is_soundfont(p.c_str()))
            return p;
    }
    error = anyExists ? errors::SoundFontUnreadable : errors::SoundFontMissing;
    return std::nullopt;
}

} // namespace zintaro::midi
