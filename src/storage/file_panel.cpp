#include "storage/file_panel.h"

#include "storage/composition_file.h"
#include "storage/compositions_folder.h"

#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <algorithm>
#include <utility>
#include <vector>

namespace zintaro::storage {

namespace {

// The item's data holds the name's bytes as the file system has them.
constexpr int FileNameBytes = Qt::UserRole;

std::filesystem::path pathFromQt(const QString& path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

} // namespace

FilePanel::FilePanel(QWidget* parent)
    : QWidget(parent)
    , m_action(new QLabel(this))
    , m_nameBox(new QLineEdit(this))
    , m_fileList(new QListWidget(this))
{
    setObjectName("Pcf");
    setGeometry(472, 16, 209, 233);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);

    // The action stands above the name box, in the margin the panel always had.
    m_action->setObjectName("FileAction");
    m_action->setGeometry(8, 0, 193, 18);
    m_nameBox->setObjectName("Txf");
    m_nameBox->setGeometry(8, 18, 193, 25);
    m_fileList->setObjectName("File1");
    m_fileList->setGeometry(8, 48, 193, 171);

    connect(m_fileList, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { pickName(item->text()); });
    connect(m_fileList, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (item)
            pickName(item->text());
    });
    // A double click or Enter on a name.
    connect(m_fileList, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        emit loadRequested(pathFromQt(m_folder) / item->data(FileNameBytes).toByteArray().toStdString());
    });
    connect(m_nameBox, &QLineEdit::returnPressed, this, [this] { emit saveRequested(m_nameBox->text()); });

    hide();
}

void FilePanel::openForLoading(const QString& folder, const QString& action)
{
    open(folder, action, CompositionExtension);
    m_nameBox->hide();
    list(folder);
    // The keyboard goes to the list: arrows choose, Enter loads, Escape leaves.
    m_fileList->setFocus();
}

void FilePanel::openForSaving(const QString& folder, const QString& action, const QString& extension)
{
    open(folder, action, extension);
    m_nameBox->show();
    m_nameBox->setFocus();
    // The last name stays as a suggestion, but the first key typed replaces it.
    m_nameBox->selectAll();
    list(folder);
}

void FilePanel::keyPressEvent(QKeyEvent* event)
{
    // Escape leaves the panel, doing nothing.
    if (event->key() == Qt::Key_Escape) {
        hide();
        event->accept();
        emit dismissed();
        return;
    }
    QWidget::keyPressEvent(event);
}

QString FilePanel::pathOf(const QString& listedName) const
{
    return QDir(m_folder).filePath(listedName);
}

std::filesystem::path FilePanel::fileOf(const QString& listedName) const
{
    const auto items = m_fileList->findItems(listedName, Qt::MatchExactly);
    const std::string name = items.isEmpty() ? QFile::encodeName(listedName).toStdString()
                                             : items.front()->data(FileNameBytes).toByteArray().toStdString();
    return pathFromQt(m_folder) / name;
}

void FilePanel::pickName(const QString& listedName)
{
    m_nameBox->setText(listedName.left(std::max<qsizetype>(0, listedName.size() - m_extension.size())));
}

void FilePanel::open(const QString& folder, const QString& action, const QString& extension)
{
    m_extension = extension;
    m_action->setText(action);
    show();
    // The panel lies over the staff; it is usable only in front of it.
    raise();
    m_folder = folder;
}

void FilePanel::list(const QString& folder)
{
    m_fileList->clear();
    const std::filesystem::path where = pathFromQt(folder);
    if (const auto problem = ensureFolder(where)) {
        emit folderProblem(*problem);
        return;
    }
    removeStaleTemporaries(where);

    // Every regular file whose name holds ".txt", hidden ones too (a
    // composition saved under a name that starts with a dot is listed), and
    // every exercise. An
    // export lists the names that end in its extension. The temporaries of
    // saving never match. Names are read as bytes, so that one that is not
    // valid UTF-8 is still listed and can be loaded.
    const std::string extension = m_extension.toStdString();
    const bool compositions = m_extension == CompositionExtension;
    std::vector<std::pair<QString, QByteArray>> names;
    std::error_code error;
    for (std::filesystem::directory_iterator it(where, error), end; !error && it != end; it.increment(error)) {
        const std::string bytes = it->path().filename().string();
        std::error_code ignored;
        const bool matches
            = compositions ? listedForLoading(bytes) : bytes.size() > extension.size() && bytes.ends_with(extension);
        if (!matches || savingTemporaryOwner(bytes) || !it->is_regular_file(ignored))
            continue;
        names.emplace_back(QString::fromUtf8(bytes), QByteArray::fromStdString(bytes));
    }
    std::sort(names.begin(), names.end());
    for (const auto& [shown, bytes] : names) {
        auto* item = new QListWidgetItem(shown, m_fileList);
        item->setData(FileNameBytes, bytes);
    }
}

} // namespace zintaro::storage
