#include "frmAide.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHelpEngineCore>
#include <QHelpLink>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

#include "common/WindowKeys.h"

namespace tavanote {

namespace {

// The windows' context numbers, in the order of the contents list.
constexpr int kContents[] = {10001, 10006, 10007, 10008, 10009, 10011, 10005, 10010, 10012, 10013, 10002};

}  // namespace

HelpFile::HelpFile(const QString& path) : m_path(path) {}

HelpFile::~HelpFile() = default;

std::unique_ptr<HelpFile> HelpFile::open(const QString& path) {
    if (!QFileInfo(path).isFile())
        return nullptr;
    std::unique_ptr<HelpFile> file(new HelpFile(QFileInfo(path).absoluteFilePath()));
    if (!file->m_collectionDir.isValid())
        return nullptr;
    file->m_engine = std::make_unique<QHelpEngineCore>(file->m_collectionDir.filePath(QStringLiteral("aide.qhc")));
    file->m_engine->setReadOnly(false);
    if (!file->m_engine->setupData() || !file->m_engine->registerDocumentation(file->m_path))
        return nullptr;
    return file;
}

QUrl HelpFile::pageOf(int context) const {
    const QList<QHelpLink> links = m_engine->documentsForIdentifier(QString::number(context));
    return links.isEmpty() ? QUrl() : links.first().url;
}

QString HelpFile::titleOf(int context) const {
    const QList<QHelpLink> links = m_engine->documentsForIdentifier(QString::number(context));
    return links.isEmpty() ? QString() : links.first().title;
}

QByteArray HelpFile::data(const QUrl& url) const {
    return m_engine->fileData(url);
}

HelpBrowser::HelpBrowser(const HelpFile& file, QWidget* parent) : QTextBrowser(parent), m_file(file) {}

QVariant HelpBrowser::loadResource(int type, const QUrl& name) {
    if (name.scheme() == QLatin1String("qthelp"))
        return m_file.data(name);
    return QTextBrowser::loadResource(type, name);
}

frmAide::frmAide(std::unique_ptr<HelpFile> file, QWidget* parent) : QWidget(parent), m_file(std::move(file)) {
    setObjectName(QStringLiteral("frmAide"));
    setWindowTitle(QStringLiteral("Aide de Tavanote"));
    setWindowFlag(Qt::Window);

    cmdPrecedent = new QPushButton(QStringLiteral("< &Précédent"), this);
    cmdPrecedent->setObjectName(QStringLiteral("cmdPrecedent"));
    cmdPrecedent->setToolTip(QStringLiteral("Page précédente"));
    cmdPrecedent->setEnabled(false);
    cmdSuivant = new QPushButton(QStringLiteral("&Suivant >"), this);
    cmdSuivant->setObjectName(QStringLiteral("cmdSuivant"));
    cmdSuivant->setToolTip(QStringLiteral("Page suivante"));
    cmdSuivant->setEnabled(false);

    auto* splitter = new QSplitter(this);
    lstSommaire = new QListWidget(splitter);
    lstSommaire->setObjectName(QStringLiteral("lstSommaire"));
    lstSommaire->setToolTip(QStringLiteral("Sommaire de l'aide"));
    txtPage = new HelpBrowser(*m_file, splitter);
    txtPage->setObjectName(QStringLiteral("txtPage"));
    splitter->addWidget(lstSommaire);
    splitter->addWidget(txtPage);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({250, 530});

    for (const int context : kContents) {
        const QUrl page = m_file->pageOf(context);
        if (page.isEmpty())
            continue;
        auto* item = new QListWidgetItem(m_file->titleOf(context), lstSommaire);
        item->setData(Qt::UserRole, page);
    }

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdPrecedent);
    buttons->addWidget(cmdSuivant);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(splitter, 1);
    resize(780, 560);

    connect(cmdPrecedent, &QPushButton::clicked, txtPage, &QTextBrowser::backward);
    connect(cmdSuivant, &QPushButton::clicked, txtPage, &QTextBrowser::forward);
    connect(txtPage, &QTextBrowser::backwardAvailable, cmdPrecedent, &QPushButton::setEnabled);
    connect(txtPage, &QTextBrowser::forwardAvailable, cmdSuivant, &QPushButton::setEnabled);
    connect(txtPage, &QTextBrowser::sourceChanged, this, &frmAide::txtPage_SourceChanged);
    connect(lstSommaire, &QListWidget::itemClicked, this, &frmAide::lstSommaire_Click);
    connect(lstSommaire, &QListWidget::itemActivated, this, &frmAide::lstSommaire_Click);
    // Esc closes the viewer; it has no page of its own and no about window.
    installWindowKeys(this, {});
}

frmAide::~frmAide() = default;

void frmAide::showPage(const QUrl& page) {
    if (txtPage->source() == page)
        txtPage->reload();
    else
        txtPage->setSource(page, QTextDocument::HtmlResource);
}

void frmAide::lstSommaire_Click(QListWidgetItem* item) {
    if (item)
        showPage(item->data(Qt::UserRole).toUrl());
}

void frmAide::txtPage_SourceChanged(const QUrl& page) {
    // The contents list follows the page shown, whichever way it was reached.
    const QUrl shown = page.adjusted(QUrl::RemoveFragment);
    const QSignalBlocker blocker(lstSommaire);
    lstSommaire->clearSelection();
    for (int row = 0; row < lstSommaire->count(); ++row) {
        if (lstSommaire->item(row)->data(Qt::UserRole).toUrl() == shown) {
            lstSommaire->setCurrentRow(row);
            break;
        }
    }
}

}  // namespace tavanote
