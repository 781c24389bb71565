#pragma once

#include <QString>
#include <QWidget>
#include <filesystem>

class QLineEdit;
class QListWidget;
class QListWidgetItem;

namespace zintaro {
class Dialogs;
}

namespace zintaro::storage {

// The file panel Pcf: the name box Txf and the list File1 of the composition
// files in a folder. It only lists and names files; the window runs the
// loading and saving when the panel asks for them, then hides the panel.
class FilePanel : public QWidget {
    Q_OBJECT

public:
    FilePanel(Dialogs& dialogs, QWidget* parent = nullptr);

    // "Carica": shows the panel without the name box and lists the folder anew.
    void openForLoading(const QString& folder);
    // "Salva": shows the panel with the name box focused (its text kept) and
    // lists the folder anew. The exports list the files of their own kind
    // (".mid", ".musicxml", ".pdf") instead of the compositions.
    void openForSaving(const QString& folder, const QString& extension = CompositionExtension);

    static inline const QString CompositionExtension = QStringLiteral(".txt");

    // The folder listed last, and the full path of one of its listed names.
    // A name that is not valid UTF-8 is listed with replacement characters;
    // fileOf gives the file's real path, which loading needs.
    QString folder() const { return m_folder; }
    QString pathOf(const QString& listedName) const;
    std::filesystem::path fileOf(const QString& listedName) const;

    QLineEdit* Txf() const { return m_txf; }
    QListWidget* File1() const { return m_file1; }

    // A click on a listed name, or the selection moved onto it with the
    // keyboard: the name without its extension goes into Txf, shown or not.
    void File1_Click(const QString& listedName);

signals:
    // A double click on a listed name (extension included): load it.
    void File1_DblClick(const QString& listedName);
    // The same double click with the file's real path.
    void loadRequested(const std::filesystem::path& file);
    // Enter in Txf: save under Txf's text.
    void Txf_Enter(const QString& baseName);

private:
    void open(const QString& folder, const QString& extension);
    void list(const QString& folder);

    Dialogs& m_dialogs;
    QLineEdit* m_txf;
    QListWidget* m_file1;
    QString m_folder;
    QString m_extension = CompositionExtension; // of the files listed
    // A folder that cannot be created is told once, not at every opening.
    bool m_folderProblemTold = false;
};

} // namespace zintaro::storage
