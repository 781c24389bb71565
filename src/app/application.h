#pragma once

namespace zintaro::app {

// The application's name and font. No display name is set: the toolkit
// would append it to the window's caption.
void setUpApplication();

} // namespace zintaro::app
