#pragma once

#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>

#include "common/Services.h"
#include "common/WindowHost.h"
#include "editor/CalendarGrid.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tavanote {

// The calendar: one month as a grid of day cells, Monday first, with arrows through the months and years.
// A click selects a day; a double click or Insérer writes it, "dd/mm/yyyy", into one of the editor's date
// fields and closes the window.
class frmCalendrier : public QWidget {
    Q_OBJECT
public:
    // dateFields: the editor's start date (CalendarTarget 0) and end date (CalendarTarget 1).
    frmCalendrier(Services& services, WindowHost& host, std::array<QLineEdit*, 2> dateFields,
                  QWidget* parent = nullptr);

    // Opens on today: today's month, year and day selected, the window on top.
    void Form_Load();

    void cmdInserer_Click();
    void lblJourSemaine_Click(int index);
    void lblJourSemaine_DblClick(int index);
    void lblMoisPrecedent_Click();
    void lblMoisSuivant_Click();
    void lblAnneePrecedente_Click();
    void lblAnneeSuivante_Click();

    // Which date field Insérer fills: 0 the start date, 1 the end date.
    int CalendarTarget = 0;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildTopRow();
    void buildGrid();
    void ComputeDaysInMonth();
    void BuildMonthGrid();
    void HighlightSelectedDay();
    void cboMois_Click(int index);
    void cboAnnees_Click(int index);
    void paintCell(int index, bool selected);
    void hover(QObject* watched);
    void setArrowBorder(QLabel* arrow, bool shown);
    int cellOf(QObject* watched) const;

    QLabel* lblMoisPrecedent;
    QLabel* lblMois;
    QLabel* lblMoisSuivant;
    QLabel* lblAnneePrecedente;
    QLabel* lblAnnee;
    QLabel* lblAnneeSuivante;
    QLabel* Label2;
    std::array<QLabel*, 7> lblJour{};
    std::array<QLabel*, kGridCells> lblJourSemaine{};
    QPushButton* cmdInserer;
    // Hidden holders of the current choice; changing their selection rebuilds the window.
    QComboBox* cboJour;
    QComboBox* cboMois;
    QComboBox* cboAnnees;

    Services& m_services;
    std::array<QPointer<QLineEdit>, 2> m_dateFields;
    QString m_dayText;
    QString m_monthText;
    QString m_yearText;
    int m_daysInMonth = 31;
    int m_cellIndex = 0;
    QString m_selectedDate;  // the date Insérer writes
};

}  // namespace tavanote
