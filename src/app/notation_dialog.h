#pragma once

#include "core/key_meter.h"

#include <QDialog>

class QComboBox;

namespace zintaro::app {

// "Armatura e metro…": the piece's key signature (the fifteen, each with its
// relative minor), whether it is read as major or minor, and its meter. Tab
// moves between the lists, Enter accepts, Escape cancels.
class NotationDialog : public QDialog {
    Q_OBJECT
public:
    NotationDialog(Key key, Meter meter, NoteNaming naming, QWidget* parent = nullptr);

    Key key() const;
    Meter meter() const;

    QComboBox* signatureList() const { return m_signature; }
    QComboBox* modeList() const { return m_mode; }
    QComboBox* meterList() const { return m_meter; }

private:
    QComboBox* m_signature = nullptr;
    QComboBox* m_mode = nullptr;
    QComboBox* m_meter = nullptr;
};

} // namespace zintaro::app
