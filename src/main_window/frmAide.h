#pragma once

#include <QTemporaryDir>
#include <QTextBrowser>
#include <QUrl>
#include <QWidget>
#include <memory>

class QHelpEngineCore;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace tavanote {

// A compiled help file ("aide.qch") opened for reading; its pages are found by the context number of each window.
class HelpFile {
public:
    // Null when the file is missing or cannot be read as a help file.
    static std::unique_ptr<HelpFile> open(const QString& path);
    ~HelpFile();
    HelpFile(const HelpFile&) = delete;
    HelpFile& operator=(const HelpFile&) = delete;

    QString path() const { return m_path; }
    // The page mapped to a context number, or an empty URL when the file maps none.
    QUrl pageOf(int context) const;
    QString titleOf(int context) const;
    QByteArray data(const QUrl& url) const;

private:
    explicit HelpFile(const QString& path);

    QString m_path;
    QTemporaryDir m_collectionDir;  // the help engine needs a collection of its own to register the file in
    std::unique_ptr<QHelpEngineCore> m_engine;
};

// The page view, reading its pages, style sheet and images from the help file.
class HelpBrowser : public QTextBrowser {
    Q_OBJECT
public:
    HelpBrowser(const HelpFile& file, QWidget* parent);
    QVariant loadResource(int type, const QUrl& name) override;

private:
    const HelpFile& m_file;
};

// "Aide de Tavanote": the one help viewer, a contents list beside the page, with back and forward buttons.
class frmAide : public QWidget {
    Q_OBJECT
public:
    explicit frmAide(std::unique_ptr<HelpFile> file, QWidget* parent = nullptr);
    ~frmAide() override;

    const HelpFile& helpFile() const { return *m_file; }
    void showPage(const QUrl& page);

    QListWidget* lstSommaire;
    HelpBrowser* txtPage;
    QPushButton* cmdPrecedent;
    QPushButton* cmdSuivant;

private slots:
    void lstSommaire_Click(QListWidgetItem* item);
    void txtPage_SourceChanged(const QUrl& page);

private:
    std::unique_ptr<HelpFile> m_file;
};

}  // namespace tavanote
