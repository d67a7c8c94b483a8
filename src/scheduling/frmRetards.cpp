#include "frmRetards.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "common/DateText.h"
#include "common/HandlerScope.h"
#include "common/WindowHelpers.h"
#include "common/WindowKeys.h"
#include "scheduling/NoteClose.h"
#include "scheduling/frmTavanote.h"
#include "store/MessageStore.h"

namespace tavanote {

frmRetards::frmRetards(Services& services, NoteHost& host, std::function<void(const LateDisplay&)> open,
                       QWidget* parent)
    : QWidget(parent, Qt::Window),
      lblNombre(named(new QLabel(this), QStringLiteral("lblNombre"))),
      MSFretards(named(new QTableWidget(0, 2, this), QStringLiteral("MSFretards"))),
      cmdAfficher(named(new QPushButton(QStringLiteral("Afficher"), this), QStringLiteral("cmdAfficher"),
                        QStringLiteral("Afficher les messages choisis en notes"))),
      cmdAcquitter(named(new QPushButton(QStringLiteral("Acquitter"), this), QStringLiteral("cmdAcquitter"),
                         QStringLiteral("Acquitter les messages choisis, comme en fermant leur note"))),
      cmdToutAcquitter(named(new QPushButton(QStringLiteral("Tout acquitter"), this),
                             QStringLiteral("cmdToutAcquitter"),
                             QStringLiteral("Acquitter tous les messages de la liste"))),
      m_services(services),
      m_host(host),
      m_open(std::move(open)) {
    setObjectName(QStringLiteral("frmRetards"));
    setWindowTitle(QStringLiteral("Messages en retard"));
    MSFretards->setHorizontalHeaderLabels({QStringLiteral("Titre"), QStringLiteral("Prévu le")});
    MSFretards->setSelectionBehavior(QAbstractItemView::SelectRows);
    MSFretards->setSelectionMode(QAbstractItemView::ExtendedSelection);
    MSFretards->setEditTriggers(QAbstractItemView::NoEditTriggers);
    MSFretards->verticalHeader()->hide();
    MSFretards->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    MSFretards->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    connect(MSFretards, &QTableWidget::cellDoubleClicked, this, &frmRetards::cmdAfficher_Click);
    connect(cmdAfficher, &QPushButton::clicked, this, &frmRetards::cmdAfficher_Click);
    connect(cmdAcquitter, &QPushButton::clicked, this, &frmRetards::cmdAcquitter_Click);
    connect(cmdToutAcquitter, &QPushButton::clicked, this, &frmRetards::cmdToutAcquitter_Click);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblNombre);
    layout->addWidget(MSFretards, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdAfficher);
    buttons->addWidget(cmdAcquitter);
    buttons->addStretch(1);
    buttons->addWidget(cmdToutAcquitter);
    layout->addLayout(buttons);
    resize(520, 420);
    installWindowKeys(this, {&m_services.help, HelpContext::Note, &m_host, {}});
}

void frmRetards::add(const std::vector<LateDisplay>& late) {
    m_late.insert(m_late.end(), late.begin(), late.end());
    std::stable_sort(m_late.begin(), m_late.end(),
                     [](const LateDisplay& a, const LateDisplay& b) { return a.at > b.at; });
    fill();
}

bool frmRetards::lists(qint64 id) const {
    return std::any_of(m_late.begin(), m_late.end(), [id](const LateDisplay& late) { return late.message.id == id; });
}

void frmRetards::fill() {
    MSFretards->setUpdatesEnabled(false);
    MSFretards->setRowCount(static_cast<int>(m_late.size()));
    for (size_t i = 0; i < m_late.size(); ++i) {
        const int row = static_cast<int>(i);
        MSFretards->setItem(row, 0, new QTableWidgetItem(m_late[i].message.titre));
        MSFretards->setItem(row, 1, new QTableWidgetItem(formatDateTime(m_late[i].at)));
    }
    MSFretards->setUpdatesEnabled(true);
    lblNombre->setText(QStringLiteral("Messages en retard non ouverts en notes: %1").arg(m_late.size()));
}

std::vector<size_t> frmRetards::selectedRows() const {
    std::vector<size_t> rows;
    for (const QModelIndex& index : MSFretards->selectionModel()->selectedRows())
        rows.push_back(static_cast<size_t>(index.row()));
    if (rows.empty() && MSFretards->currentRow() >= 0)
        rows.push_back(static_cast<size_t>(MSFretards->currentRow()));
    std::sort(rows.begin(), rows.end());
    return rows;
}

void frmRetards::removeRows(const std::vector<size_t>& rows) {
    for (auto row = rows.rbegin(); row != rows.rend(); ++row)
        m_late.erase(m_late.begin() + static_cast<std::ptrdiff_t>(*row));
    fill();
    if (m_late.empty())
        close();
}

void frmRetards::cmdAfficher_Click() {
    const std::vector<size_t> rows = selectedRows();
    for (const size_t row : rows)
        m_open(m_late[row]);
    removeRows(rows);
}

void frmRetards::cmdAcquitter_Click() {
    HandlerScope handler;
    std::vector<size_t> done;
    for (const size_t row : selectedRows()) {
        if (!acknowledge(m_late[row], true))
            break;
        done.push_back(row);
    }
    m_host.RefreshMessageLists();
    removeRows(done);
}

void frmRetards::cmdToutAcquitter_Click() {
    HandlerScope handler;
    if (m_late.empty() ||
        m_services.dialogs.message(
            this, QStringLiteral("Acquitter les %1 messages en retard de la liste ?").arg(m_late.size()),
            Icon::Question, Buttons::YesNo) != Answer::Yes)
        return;
    // All of them in one transaction, or none: a failed write leaves the whole list as it was.
    std::vector<size_t> done;
    {
        MessageStore::Transaction transaction(m_services.store);
        for (size_t row = 0; transaction.isOpen() && row < m_late.size(); ++row) {
            if (!acknowledge(m_late[row], false))
                break;
            done.push_back(row);
        }
        if (done.size() < m_late.size() || !transaction.commit())
            done.clear();
    }
    m_host.RefreshMessageLists();
    const size_t failed = m_late.size() - done.size();
    removeRows(done);
    if (failed > 0)
        m_services.dialogs.message(
            this,
            storeFailureText(
                QStringLiteral("%1 messages n'ont pas pu être acquittés: ils restent dans la liste.").arg(failed),
                m_services.store.failure()),
            Icon::Exclamation, Buttons::Ok);
}

bool frmRetards::acknowledge(const LateDisplay& late, bool tell) {
    Dialogs& dialogs = m_services.dialogs;
    const Preferences& preferences = m_services.preferences;
    if (tell && preferences.askBeforeClosingNote() &&
        dialogs.message(this, QStringLiteral("%1\n\n").arg(late.message.titre) + noteCloseQuestion(), Icon::Question,
                        Buttons::YesNo) != Answer::Yes)
        return false;
    const Expiry expiry = preferences.expiry();
    const NoteCloseOutcome outcome =
        decideNoteClose(late.message, late.at, naiveNow(m_services.clock.now()), expiry, false);
    if (tell && outcome.tellBeforeWriting)
        dialogs.message(this, outcome.text, Icon::Information, Buttons::Ok);
    if (!writeNoteClose(m_services.store, expiry, late.message.id, outcome)) {
        if (tell)
            dialogs.message(this,
                            storeFailureText(QStringLiteral("Impossible d'enregistrer la fermeture du message \"%1\".\n"
                                                            "Le message reste affiché et n'a pas été modifié.")
                                                 .arg(late.message.titre),
                                             m_services.store.failure()),
                            Icon::Exclamation, Buttons::Ok);
        return false;
    }
    if (tell && !outcome.tellBeforeWriting)
        dialogs.message(this, outcome.text, Icon::Information, Buttons::Ok);
    return true;
}

}  // namespace tavanote
