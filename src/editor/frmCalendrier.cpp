#include "frmCalendrier.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <algorithm>

#include "common/WindowHelpers.h"
#include "common/WindowKeys.h"

namespace tavanote {

namespace {

// Pixels: the day cells are 405 x 285 twips, 390 twips apart across and 270 down, so neighbours share a line.
constexpr int kCellWidth = twips(405);
constexpr int kCellHeight = twips(285);
constexpr int kColumnStep = twips(390);
constexpr int kRowStep = twips(270);
constexpr int kGridLeft = -1;  // six steps and a cell are a little wider than the window: hide the outer lines
constexpr int kHeaderTop = 22;
constexpr int kGridTop = kHeaderTop + 18;

const QColor kWhite(255, 255, 255);
const QColor kWeekday(0, 0, 0);
const QColor kWeekend(0, 0, 255);
const QColor kSelected(192, 0, 0);
const QColor kBand(64, 64, 64);

const char* const kDayCaptions[7] = {"Lun", "Mar", "Mer", "Jeu", "Ven", "Sam", "Dim"};
const char* const kDayNames[7] = {"Lundi", "Mardi", "Mercredi", "Jeudi", "Vendredi", "Samedi", "Dimanche"};

// A day cell: a label with the thin grey outline that draws the grid.
class DayCell : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* event) override {
        QLabel::paintEvent(event);
        QPainter painter(this);
        painter.setPen(QColor(128, 128, 128));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
};

// Fills a list without running its reaction, and leaves nothing selected, so that the next selection made
// always counts as a change.
void refill(QComboBox* list, const QStringList& items) {
    const QSignalBlocker blocker(list);
    list->clear();
    list->addItems(items);
    list->setCurrentIndex(-1);
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& caption, const QString& toolTip) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setToolTip(toolTip);
    label->setAlignment(Qt::AlignCenter);
    label->setMouseTracking(true);
    return label;
}

}  // namespace

frmCalendrier::frmCalendrier(Services& services, WindowHost& host, std::array<QLineEdit*, 2> dateFields,
                             QWidget* parent)
    : QWidget(parent, Qt::Window), m_services(services), m_dateFields{dateFields[0], dateFields[1]} {
    setObjectName(QStringLiteral("frmCalendrier"));
    setWindowTitle(QStringLiteral("Calendrier"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(twips(2700), twips(2565));
    QPalette background = palette();
    background.setColor(QPalette::Window, kWhite);
    setPalette(background);
    setAutoFillBackground(true);
    setMouseTracking(true);
    installEventFilter(this);
    // Two-digit days and the day names must fit cells of 27 x 19 pixels.
    QFont small = font();
    small.setPixelSize(11);
    setFont(small);

    buildTopRow();
    buildGrid();

    cmdInserer = new QPushButton(QStringLiteral("&Insérer"), this);
    cmdInserer->setObjectName(QStringLiteral("cmdInserer"));
    cmdInserer->setToolTip(QStringLiteral("Insérer la date selectionnée"));
    cmdInserer->setCursor(Qt::PointingHandCursor);
    cmdInserer->setDefault(true);
    cmdInserer->setGeometry(50, kGridTop + 5 * kRowStep + kCellHeight + 1, 80, 20);
    connect(cmdInserer, &QPushButton::clicked, this, &frmCalendrier::cmdInserer_Click);

    auto hiddenList = [this](const char* name, const QString& toolTip) {
        auto* list = new QComboBox(this);
        list->setObjectName(QString::fromLatin1(name));
        list->setToolTip(toolTip);
        list->hide();
        return list;
    };
    cboJour = hiddenList("cboJour", QStringLiteral("Liste des jours"));
    cboMois = hiddenList("cboMois", QStringLiteral("Liste des mois"));
    cboAnnees = hiddenList("cboAnnees", QStringLiteral("Liste des années"));
    connect(cboJour, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] { HighlightSelectedDay(); });
    connect(cboMois, qOverload<int>(&QComboBox::currentIndexChanged), this, &frmCalendrier::cboMois_Click);
    connect(cboAnnees, qOverload<int>(&QComboBox::currentIndexChanged), this, &frmCalendrier::cboAnnees_Click);

    // Enter inserts; Esc leaves without writing (the close box does the same, and Insérer is one key away).
    installWindowKeys(this, {&m_services.help, HelpContext::Calendar, &host, [this](QKeyEvent* key) {
                                 if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
                                     return false;
                                 cmdInserer_Click();
                                 return true;
                             }});
}

void frmCalendrier::buildTopRow() {
    lblMoisPrecedent = makeLabel(this, "lblMoisPrecedent", QStringLiteral("<<"), QStringLiteral("Mois précédent"));
    lblMois = makeLabel(this, "lblMois", QString(), QStringLiteral("Mois sélectionné"));
    lblMoisSuivant = makeLabel(this, "lblMoisSuivant", QStringLiteral(">>"), QStringLiteral("Mois suivant"));
    lblAnneePrecedente =
        makeLabel(this, "lblAnneePrecedente", QStringLiteral("<<"), QStringLiteral("Année précédente"));
    lblAnnee = makeLabel(this, "lblAnnee", QString(), QStringLiteral("Année sélectionnée"));
    lblAnneeSuivante = makeLabel(this, "lblAnneeSuivante", QStringLiteral(">>"), QStringLiteral("Année suivante"));
    const struct {
        QLabel* label;
        int left;
        int width;
    } row[] = {{lblMoisPrecedent, 1, 16},     {lblMois, 17, 72},   {lblMoisSuivant, 89, 16},
               {lblAnneePrecedente, 109, 16}, {lblAnnee, 125, 38}, {lblAnneeSuivante, 163, 16}};
    QFont bold = font();
    bold.setBold(true);
    for (const auto& place : row) {
        place.label->setGeometry(place.left, 2, place.width, 18);
        place.label->setFont(bold);
        place.label->installEventFilter(this);
    }
    for (QLabel* arrow : {lblMoisPrecedent, lblMoisSuivant, lblAnneePrecedente, lblAnneeSuivante}) {
        arrow->setCursor(Qt::PointingHandCursor);
        arrow->setLineWidth(1);
    }
}

void frmCalendrier::buildGrid() {
    Label2 = makeLabel(this, "Label2", QString(), QString());
    Label2->setGeometry(0, kHeaderTop, width(), kGridTop - kHeaderTop);
    QPalette band = Label2->palette();
    band.setColor(QPalette::Window, kBand);
    Label2->setPalette(band);
    Label2->setAutoFillBackground(true);
    Label2->installEventFilter(this);
    for (int column = 0; column < 7; ++column) {
        QLabel* header =
            makeLabel(this, "", QString::fromLatin1(kDayCaptions[column]), QString::fromLatin1(kDayNames[column]));
        header->setObjectName(QStringLiteral("lblJour_%1").arg(column));
        header->setGeometry(kGridLeft + column * kColumnStep, kHeaderTop, kCellWidth, kGridTop - kHeaderTop);
        QPalette text = header->palette();
        text.setColor(QPalette::WindowText, kWhite);
        header->setPalette(text);
        header->installEventFilter(this);
        lblJour[static_cast<size_t>(column)] = header;
    }
    for (int i = 0; i < kGridCells; ++i) {
        auto* cell = new DayCell(this);
        cell->setObjectName(QStringLiteral("lblJourSemaine_%1").arg(i));
        cell->setAlignment(Qt::AlignCenter);
        cell->setAutoFillBackground(true);
        cell->setMouseTracking(true);
        cell->setGeometry(kGridLeft + (i % kGridColumns) * kColumnStep, kGridTop + (i / kGridColumns) * kRowStep,
                          kCellWidth, kCellHeight);
        cell->installEventFilter(this);
        lblJourSemaine[static_cast<size_t>(i)] = cell;
        paintCell(i, false);
    }
}

void frmCalendrier::Form_Load() {
    const QDate today = m_services.clock.now().date();
    m_yearText = QStringLiteral("%1").arg(today.year(), 4, 10, QLatin1Char('0'));
    m_monthText = twoDigits(today.month());
    m_dayText = twoDigits(today.day());
    ComputeDaysInMonth();
    BuildMonthGrid();

    QStringList months;
    for (int i = 0; i < 12; ++i)
        months << monthName(i);
    refill(cboMois, months);
    cboMois->setCurrentIndex(today.month() - 1);
    QStringList years;
    for (int year = kFirstYear; year <= kLastYear; ++year)
        years << QString::number(year);
    refill(cboAnnees, years);
    cboAnnees->setCurrentIndex(today.year() - kFirstYear);

    m_selectedDate = m_dayText + QLatin1Char('/') + m_monthText + QLatin1Char('/') + m_yearText;
    SetTopMost(this, true);
}

void frmCalendrier::ComputeDaysInMonth() {
    m_daysInMonth = daysInMonth(m_monthText.toInt(), m_yearText.toInt());
    if (m_dayText.toInt() > m_daysInMonth)
        m_dayText = twoDigits(m_daysInMonth);
}

void frmCalendrier::BuildMonthGrid() {
    QStringList days;
    for (int day = 1; day <= m_daysInMonth; ++day)
        days << twoDigits(day);
    refill(cboJour, days);

    const int month = m_monthText.toInt();
    const MonthGrid grid = monthGrid(month, m_yearText.toInt());
    const QString monthYear = QLatin1Char(' ') + monthName(month - 1) + QLatin1Char(' ') + m_yearText;
    for (int i = 0; i < kGridCells; ++i) {
        QLabel* cell = lblJourSemaine[static_cast<size_t>(i)];
        const QString& caption = grid.captions[static_cast<size_t>(i)];
        cell->setText(caption);
        paintCell(i, false);
        if (caption.isEmpty()) {
            cell->setToolTip(QString());
            cell->unsetCursor();
        } else {
            cell->setToolTip(QStringLiteral("Jour: ") + caption + monthYear);
            cell->setCursor(Qt::PointingHandCursor);
        }
    }
    m_cellIndex = grid.firstCell + grid.days;

    const int day = m_dayText.toInt();
    for (int i = 0; i < kGridCells; ++i) {
        const QString caption = lblJourSemaine[static_cast<size_t>(i)]->text();
        if (!caption.isEmpty() && caption.toInt() == day) {
            lblJourSemaine_Click(i);
            break;
        }
    }
}

void frmCalendrier::HighlightSelectedDay() {
    const int index = cboJour->currentIndex();
    if (index < 0)
        return;
    m_dayText = twoDigits(index + 1);
    for (int i = 0; i < kGridCells; ++i) {
        paintCell(i, false);
        if (lblJourSemaine[static_cast<size_t>(i)]->text() == m_dayText)
            m_cellIndex = i;
    }
    paintCell(m_cellIndex, true);
}

void frmCalendrier::paintCell(int index, bool selected) {
    QLabel* cell = lblJourSemaine[static_cast<size_t>(index)];
    QPalette colours = cell->palette();
    colours.setColor(QPalette::Window, selected ? kSelected : kWhite);
    colours.setColor(QPalette::WindowText, selected ? kWhite : isWeekendCell(index) ? kWeekend : kWeekday);
    cell->setPalette(colours);
    QFont weight = cell->font();
    weight.setBold(selected);
    cell->setFont(weight);
}

void frmCalendrier::cboMois_Click(int index) {
    if (index < 0)
        return;
    m_monthText = twoDigits(index + 1);
    ComputeDaysInMonth();
    BuildMonthGrid();
    lblMois->setText(cboMois->itemText(index));
}

void frmCalendrier::cboAnnees_Click(int index) {
    if (index < 0)
        return;
    m_yearText = cboAnnees->itemText(index);
    ComputeDaysInMonth();
    BuildMonthGrid();
    lblAnnee->setText(m_yearText);
}

void frmCalendrier::lblJourSemaine_Click(int index) {
    const QString caption = lblJourSemaine[static_cast<size_t>(index)]->text();
    if (caption.isEmpty())
        return;
    const int day = caption.toInt() - 1;
    if (cboJour->currentIndex() == day)
        HighlightSelectedDay();
    else
        cboJour->setCurrentIndex(day);
    m_selectedDate = m_dayText + QLatin1Char('/') + m_monthText + QLatin1Char('/') + m_yearText;
}

void frmCalendrier::lblJourSemaine_DblClick(int index) {
    if (lblJourSemaine[static_cast<size_t>(index)]->text().isEmpty())
        return;
    lblJourSemaine_Click(index);
    cmdInserer_Click();
}

void frmCalendrier::cmdInserer_Click() {
    if (CalendarTarget == 0 || CalendarTarget == 1) {
        if (QLineEdit* field = m_dateFields[static_cast<size_t>(CalendarTarget)])
            field->setText(m_selectedDate);
    }
    close();
}

void frmCalendrier::lblMoisPrecedent_Click() {
    const int index = cboMois->currentIndex();
    cboMois->setCurrentIndex(index <= 0 ? 11 : index - 1);
}

void frmCalendrier::lblMoisSuivant_Click() {
    const int index = cboMois->currentIndex();
    cboMois->setCurrentIndex(index >= 11 ? 0 : index + 1);
}

void frmCalendrier::lblAnneePrecedente_Click() {
    const int index = cboAnnees->currentIndex();
    if (index > 0)
        cboAnnees->setCurrentIndex(index - 1);
}

void frmCalendrier::lblAnneeSuivante_Click() {
    const int index = cboAnnees->currentIndex();
    if (index >= 0 && index < cboAnnees->count() - 1)
        cboAnnees->setCurrentIndex(index + 1);
}

int frmCalendrier::cellOf(QObject* watched) const {
    for (int i = 0; i < kGridCells; ++i) {
        if (lblJourSemaine[static_cast<size_t>(i)] == watched)
            return i;
    }
    return -1;
}

void frmCalendrier::setArrowBorder(QLabel* arrow, bool shown) {
    arrow->setFrameStyle(shown ? QFrame::Box | QFrame::Plain : QFrame::NoFrame);
}

void frmCalendrier::hover(QObject* watched) {
    const std::array<QLabel*, 4> arrows = {lblMoisPrecedent, lblMoisSuivant, lblAnneePrecedente, lblAnneeSuivante};
    for (QLabel* arrow : arrows) {
        if (arrow == watched) {
            setArrowBorder(arrow, true);
            return;
        }
    }
    if (watched != this && watched != Label2 && watched != lblMois && watched != lblAnnee &&
        std::find(lblJour.begin(), lblJour.end(), watched) == lblJour.end() && cellOf(watched) < 0)
        return;
    for (QLabel* arrow : arrows)
        setArrowBorder(arrow, false);
    const QString month = monthName(m_monthText.toInt() - 1);
    if (watched == lblMois) {
        lblMois->setToolTip(QStringLiteral("Mois: ") + month);
    } else if (watched == lblAnnee) {
        lblAnnee->setToolTip(QStringLiteral("Année: ") + m_yearText);
    } else if (const int i = cellOf(watched); i >= 0) {
        QLabel* cell = lblJourSemaine[static_cast<size_t>(i)];
        if (cell->text().isEmpty()) {
            cell->unsetCursor();
            cell->setToolTip(QString());
        } else {
            cell->setCursor(Qt::PointingHandCursor);
            cell->setToolTip(cell->text() + QLatin1Char(' ') + month + QLatin1Char(' ') + m_yearText);
        }
    }
}

bool frmCalendrier::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::Enter:
            hover(watched);
            break;
        case QEvent::MouseMove:
            // A label passes the moves it ignores on to the window: only the bare background counts there.
            if (watched != this || !childAt(static_cast<QMouseEvent*>(event)->position().toPoint()))
                hover(watched);
            break;
        case QEvent::MouseButtonPress:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                if (watched == lblMoisPrecedent)
                    lblMoisPrecedent_Click();
                else if (watched == lblMoisSuivant)
                    lblMoisSuivant_Click();
                else if (watched == lblAnneePrecedente)
                    lblAnneePrecedente_Click();
                else if (watched == lblAnneeSuivante)
                    lblAnneeSuivante_Click();
                else if (const int i = cellOf(watched); i >= 0)
                    lblJourSemaine_Click(i);
            }
            break;
        case QEvent::MouseButtonDblClick:
            if (const int i = cellOf(watched); i >= 0 && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
                lblJourSemaine_DblClick(i);
            break;
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

void frmCalendrier::closeEvent(QCloseEvent* event) {
    m_selectedDate.clear();
    QWidget::closeEvent(event);
}

}  // namespace tavanote
