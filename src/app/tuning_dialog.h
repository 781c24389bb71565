#pragma once

#include "core/pitch.h"

#include <QDialog>

class QSpinBox;

namespace zintaro::app {

// "Diapason…": the A4 the microphone tunes to, in hertz, 430 to 450. The
// arrows and the digits change it, Enter accepts, Escape cancels.
class TuningDialog : public QDialog {
    Q_OBJECT
public:
    TuningDialog(int tuningHz, NoteNaming naming, QWidget* parent = nullptr);

    int tuningHz() const;
    QSpinBox* hertzBox() const { return m_hertz; }

private:
    QSpinBox* m_hertz = nullptr;
};

} // namespace zintaro::app
