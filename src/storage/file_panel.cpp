#include "storage/file_panel.h"

#include "core/dialogs.h"
#include "storage/composition_file.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>

namespace zintaro::storage {

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
    connect(m_file1, &QListWidget::itemDoubleClicked, this,
        [this](QListWidgetItem* item) { emit File1_DblClick(item->text()); });
    connect(m_txf, &QLineEdit::returnPressed, this, [this] { emit Txf_Enter(m_txf->text()); });

    hide();
}

void FilePanel::openForLoading(const QString& folder)
{
    open(folder);
    m_txf->hide();
    list(folder);
}

void FilePanel::openForSaving(const QString& folder)
{
    open(folder);
    m_txf->show();
    m_txf->setFocus();
    list(folder);
}

QString FilePanel::pathOf(const QString& listedName) const
{
    return QDir(m_folder).filePath(listedName);
}

void FilePanel::File1_Click(const QString& listedName)
{
    m_txf->setText(listedName.left(std::max<qsizetype>(0, listedName.size() - 4)));
}

void FilePanel::open(const QString& folder)
{
    show();
    // The panel lies over the staff; it is usable only in front of it.
    raise();
    m_folder = folder;
}

void FilePanel::list(const QString& folder)
{
    m_file1->clear();
    if (const auto problem = EnsureFolder(std::filesystem::path(QFile::encodeName(folder).toStdString()))) {
        if (!m_folderProblemTold)
            m_dialogs.message(*problem);
        m_folderProblemTold = true;
        return;
    }
    m_folderProblemTold = false;
    const QDir dir(folder);
    // A composition saved under a name that starts with a dot is listed too;
    // the temporary files of saving never match the pattern.
    m_file1->addItems(dir.entryList({ QStringLiteral("*.txt*") }, QDir::Files | QDir::Hidden, QDir::Name));
}

} // namespace zintaro::storage
