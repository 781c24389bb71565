// A program that edits a piece for ever, keeping it in a recovery file, so
// that a test can kill it at any moment. It starts from what the file holds
// and says, on standard output, line by line:
//   start HASH    the piece it recovered (the empty piece when none)
//   damaged       the file was not a whole piece
//   next HASH     the piece the change under way will give
//   done HASH     that change is written to the file
// HASH is the hash of the piece's file text.
#include "compose/workspace.h"
#include "compose_rig.h"
#include "storage/composition_format.h"

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>

using namespace zintaro;

namespace {

std::size_t hashOf(const compose::Workspace& w)
{
    return std::hash<std::string> {}(storage::writeCompositionText(w.state().Composition, w.state().NoteCount));
}

// One edit, the same on both workspaces.
compose::PieceOutcome edit(compose::Workspace& w, int action, int16_t value)
{
    if (action < 50)
        return w.apply(compose::WriteNote { value }).piece;
    if (action < 62)
        return w.apply(compose::InsertRest {}).piece;
    if (action < 72)
        return w.apply(compose::DeleteAtCursor {}).piece;
    if (action < 97) {
        w.moveCursor(value % 3 == 0 ? compose::CursorMove::Right : compose::CursorMove::Left);
        return compose::PieceOutcome::Unchanged;
    }
    return w.apply(compose::NewPiece {}).piece;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    const std::filesystem::path file = argv[1];
    testing::ComposeRig rig;
    testing::ComposeRig shadowRig;
    compose::Workspace w { rig.ports, {}, {}, file };
    // The shadow keeps no file: it tells the piece a change will give before
    // the change begins.
    compose::Workspace shadow { shadowRig.ports, {}, {} };
    const compose::Recovered found = compose::recoverPiece(file);
    if (found.notice) {
        std::printf("damaged\n");
        return 1;
    }
    if (found.piece) {
        w.restoreRecovered(*found.piece);
        shadow.restoreRecovered(*found.piece);
    }
    std::printf("start %zu\n", hashOf(w));
    std::fflush(stdout);
    std::mt19937 random(static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 10)));
    for (;;) {
        const int action = static_cast<int>(random() % 100);
        const auto value = static_cast<int16_t>(random() % 36);
        w.setDuration(static_cast<int16_t>(value % 7));
        shadow.setDuration(static_cast<int16_t>(value % 7));
        edit(shadow, action, value);
        std::printf("next %zu\n", hashOf(shadow));
        std::fflush(stdout);
        edit(w, action, value);
        w.waitForSafeCopy();
        std::printf("done %zu\n", hashOf(w));
        std::fflush(stdout);
    }
}
