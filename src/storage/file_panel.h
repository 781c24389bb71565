#pragma once

#include "core/translation.h"

#include <QString>
#include <QWidget>
#include <filesystem>

class QLabel;
class QLineEdit;
class QListWidget;

namespace zintaro::storage {

// The file panel: what it is about to do in words, the name box and the list
// of the files in a folder. It only lists and names files; the window runs
// the loading and saving when the panel asks for them, then hides the panel.
// It shows nothing of its own: a folder that cannot be made is reported.
class FilePanel : public QWidget {
    Q_OBJECT

public:
    explicit FilePanel(QWidget* parent = nullptr);

    // Shows the panel without the name box and lists the folder anew; the
    // action is shown in words ("Carica").
    void openForLoading(const QString& folder, const QString& action);
    // Shows the panel with the name box focused and its whole text selected,
    // so that typing replaces it, and lists the folder anew. The exports list
    // the files of their own kind (".mid", ".musicxml", ".pdf") instead of
    // the compositions.
    void openForSaving(const QString& folder, const QString& action, const QString& extension = CompositionExtension);

    static inline const QString CompositionExtension = QStringLiteral(".txt");

    // The folder listed last, and the full path of one of its listed names.
    // A name that is not valid UTF-8 is listed with replacement characters;
    // fileOf gives the file's real path, which loading needs.
    QString folder() const { return m_folder; }
    QString pathOf(const QString& listedName) const;
    std::filesystem::path fileOf(const QString& listedName) const;

    QLineEdit* nameBox() const { return m_nameBox; }
    QListWidget* fileList() const { return m_fileList; }
    QLabel* actionLabel() const { return m_action; }

    // A click on a listed name, or the selection moved onto it with the
    // keyboard: the name without its extension goes into the name box, shown or not.
    void pickName(const QString& listedName);

signals:
    // A double click on a listed name: load the file at its real path.
    void loadRequested(const std::filesystem::path& file);
    // Enter in the name box: save under its text.
    void saveRequested(const QString& baseName);
    // Escape closed the panel: nothing was asked for.
    void dismissed();
    // The folder cannot be listed, in plain words.
    void folderProblem(const zintaro::Text& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void open(const QString& folder, const QString& action, const QString& extension);
    void list(const QString& folder);

    QLabel* m_action;
    QLineEdit* m_nameBox;
    QListWidget* m_fileList;
    QString m_folder;
    QString m_extension = CompositionExtension; // of the files listed
};

} // namespace zintaro::storage
