#include "storage/compositions_folder.h"

#include "storage/composition_file.h"
#include "storage/exercise_file.h"
#include "storage/write_steps.h"

#include <iterator>
#include <unistd.h>

namespace zintaro::storage {

namespace {

bool sharedByEveryUser(const std::filesystem::path& programFolder)
{
    std::filesystem::path folder = programFolder.lexically_normal();
    if (!folder.has_filename())
        folder = folder.parent_path();
    if (folder.filename() == "bin")
        return true;
    if (!folder.is_absolute())
        return false;
    const auto top = std::next(folder.begin());
    return top != folder.end() && (*top == "usr" || *top == "opt");
}

} // namespace

std::filesystem::path compositionsFolder(
    const std::filesystem::path& programFolder, bool programFolderWritable, const Environment& environment)
{
    std::filesystem::path beside = programFolder / "files";
    if (programFolderWritable && !sharedByEveryUser(programFolder))
        return beside;
    const FolderOutcome data = userFolder(UserFolder::Data, environment);
    return data.folder.empty() ? beside : data.folder / "files";
}

bool listedForLoading(std::string_view fileName)
{
    return fileName.find(FileExtension) != std::string_view::npos
        || (fileName.size() > ExerciseExtension.size() && fileName.ends_with(ExerciseExtension));
}

std::filesystem::path compositionsFolderFor(const std::filesystem::path& programFolder)
{
    const bool writable = ::access(programFolder.c_str(), W_OK) == 0;
    std::filesystem::path folder = compositionsFolder(programFolder, writable, processEnvironment());
    writeSteps().makeFolders(folder);
    return folder;
}

} // namespace zintaro::storage
