#include "frmValeurCellule.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/WindowHelpers.h"
#include "common/WindowKeys.h"

namespace tavanote {

frmValeurCellule::frmValeurCellule(Services& services, WindowHost& host, std::function<QString()> currentText,
                                   std::function<void(const QString&)> write, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint),
      m_currentText(std::move(currentText)),
      m_write(std::move(write)) {
    setObjectName(QStringLiteral("frmValeurCellule"));
    setWindowTitle(kTitle);
    setAttribute(Qt::WA_DeleteOnClose);

    txtValeur = new QLineEdit(this);
    txtValeur->setObjectName(QStringLiteral("txtValeur"));
    txtValeur->setToolTip(QStringLiteral("Valeur de la cellule selectionnée"));
    const char* const captions[2] = {"&OK", "&Annuler"};
    const char* const tips[2] = {"Valider la donnée saisie", "Annuler l'opération"};
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (int i = 0; i < 2; ++i) {
        auto* button = new QPushButton(QString::fromUtf8(captions[i]), this);
        button->setObjectName(QStringLiteral("Boutons_%1").arg(i));
        button->setToolTip(QString::fromUtf8(tips[i]));
        connect(button, &QPushButton::clicked, this, [this, i] { Boutons_Click(i); });
        buttons->addWidget(button);
        Boutons[static_cast<size_t>(i)] = button;
    }
    Boutons[0]->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Entrez la nouvelle valeur de la cellule:"), this));
    layout->addWidget(txtValeur);
    layout->addLayout(buttons);
    setFixedSize(twips(4800), sizeHint().height());
    // Enter in the text is "OK", as the default button of the window.
    connect(txtValeur, &QLineEdit::returnPressed, this, [this] { Boutons_Click(0); });
    installWindowKeys(this, {&services.help, HelpContext::CellValue, &host, {}});
}

void frmValeurCellule::Form_Load() {
    m_loaded = true;
    setWindowTitle(kTitle);
    txtValeur->setText(m_currentText());
    txtValeur->selectAll();
    CentreWindow(this);
    SetTopMost(this, true);
}

void frmValeurCellule::Boutons_Click(int index) {
    if (index == 0)
        m_write(txtValeur->text());
    close();
}

void frmValeurCellule::closeEvent(QCloseEvent* event) {
    m_loaded = false;
    event->accept();
}

}  // namespace tavanote
