#pragma once

#include <QWidget>
#include <functional>
#include <vector>

#include "common/Services.h"
#include "scheduling/Schedule.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace tavanote {

class NoteHost;

// The late reminders that did not open as notes when too many fell due at once: their titles and when they were
// due. Each stays displayed until it is opened as a note or acknowledged here, one by one or all at once.
class frmRetards : public QWidget {
    Q_OBJECT
public:
    // open: opens the note of one of them.
    frmRetards(Services& services, NoteHost& host, std::function<void(const LateDisplay&)> open,
               QWidget* parent = nullptr);

    // Adds reminders to the list, kept most recent first.
    void add(const std::vector<LateDisplay>& late);
    const std::vector<LateDisplay>& listed() const { return m_late; }
    bool lists(qint64 id) const;

    void cmdAfficher_Click();
    void cmdAcquitter_Click();
    void cmdToutAcquitter_Click();

private:
    void fill();
    std::vector<size_t> selectedRows() const;
    // Runs the close handling of a note on a listed reminder; tell: with the note's boxes. False when a write
    // failed (the reminder stays).
    bool acknowledge(const LateDisplay& late, bool tell);
    void removeRows(const std::vector<size_t>& rows);

    QLabel* lblNombre;
    QTableWidget* MSFretards;
    QPushButton* cmdAfficher;
    QPushButton* cmdAcquitter;
    QPushButton* cmdToutAcquitter;
    Services& m_services;
    NoteHost& m_host;
    std::function<void(const LateDisplay&)> m_open;
    std::vector<LateDisplay> m_late;
};

}  // namespace tavanote
