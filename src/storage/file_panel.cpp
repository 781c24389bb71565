#include "storage/file_panel.h"

#include "core/dialogs.h"
#include "storage/composition_file.h"

#include <QDir>
#include <QFile>
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

FilePanel::FilePanel(Dialogs& dialogs, QWidget* parent)
    : QWidget(parent)
    , m_dialogs(dialogs)
    , m_txf(new QLineEdit(this))
    , m_file1(new QListWidget(this))
{
    setObjectName("Pcf");
    setGeometry(472, 16, 209, 233);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);

    m_txf->setObjectName("Txf");
    m_txf->setGeometry(8, 8, 193, 25);
    m_file1->setObjectName("File1");
    m_file1->setGeometry(8, 48, 193, 171);

    connect(m_file1, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { File1_Click(item->text()); });
    connect(m_file1, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (item)
            File1_Click(item->text());
    });
    connect(m_file1, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        emit File1_DblClick(item->text());
        emit loadRequested(pathFromQt(m_folder) / item->data(FileNameBytes).toByteArray().toStdString());
    });
    connect(m_txf, &QLineEdit::returnPressed, this, [this] { emit Txf_Enter(m_txf->text()); });

    hide();
}

void FilePanel::openForLoading(const QString& folder)
{
    open(folder, CompositionExtension);
    m_txf->hide();
    list(folder);
}

void FilePanel::openForSaving(const QString& folder, const QString& extension)
{
    open(folder, extension);
    m_txf->show();
    m_txf->setFocus();
    list(folder);
}

QString FilePanel::pathOf(const QString& listedName) const
{
    return QDir(m_folder).filePath(listedName);
}

std::filesystem::path FilePanel::fileOf(const QString& listedName) const
{
    const auto items = m_file1->findItems(listedName, Qt::MatchExactly);
    const std::string name = items.isEmpty() ? QFile::encodeName(listedName).toStdString()
                                             : items.front()->data(FileNameBytes).toByteArray().toStdString();
    return pathFromQt(m_folder) / name;
}

void FilePanel::File1_Click(const QString& listedName)
{
    m_txf->setText(listedName.left(std::max<qsizetype>(0, listedName.size() - m_extension.size())));
}

void FilePanel::open(const QString& folder, const QString& extension)
{
    m_extension = extension;
    show();
    // The panel lies over the staff; it is usable only in front of it.
    raise();
    m_folder = folder;
}

void FilePanel::list(const QString& folder)
{
    m_file1->clear();
    const std::filesystem::path where = pathFromQt(folder);
    if (const auto problem = EnsureFolder(where)) {
        if (!m_folderProblemTold)
            m_dialogs.message(*problem);
        m_folderProblemTold = true;
        return;
    }
    m_folderProblemTold = false;
    RemoveStaleTemporaries(where);

    // Every regular file whose name holds ".txt", hidden ones too: a
    // composition saved under a name that starts with a dot is listed. An
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
        const bool matches = compositions ? bytes.find(extension) != std::string::npos
                                          : bytes.size() > extension.size() && bytes.ends_with(extension);
        if (!matches || SavingTemporaryOwner(bytes) || !it->is_regular_file(ignored))
            continue;
        names.emplace_back(QString::fromUtf8(bytes), QByteArray::fromStdString(bytes));
    }
    std::sort(names.begin(), names.end());
    for (const auto& [shown, bytes] : names) {
        auto* item = new QListWidgetItem(shown, m_file1);
        item->setData(FileNameBytes, bytes);
    }
}

} // namespace zintaro::storage
