#pragma once

namespace zintaro::app {

// The application's name and font. No display name is set: the toolkit
// would append it to the window's caption.
void setUpApplication();

// Sends the window system the requests still waiting in the connection (on
// X11, a window's map), so that a window just shown appears before the work
// of its first frame is done. Nothing on other window systems.
void sendWindowRequests();

} // namespace zintaro::app
