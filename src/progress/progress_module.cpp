#include "progress/progress_module.h"

#include "progress/progress_page.h"

extern "C" __attribute__((visibility("default"))) QWidget* zintaro_progress_create_page(
    const zintaro::progress::PageInput* input, QWidget* parent)
{
    auto* page = new zintaro::progress::ProgressPage(*input, parent);
    return page;
}
