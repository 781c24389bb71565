#include "progress/progress_page.h"

#include "progress/progress_staff.h"
#include "staff/shown_text.h"

#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QCoreApplication>
#include <QDate>
#include <QDateTimeAxis>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLegend>
#include <QLineSeries>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace zintaro::progress {

namespace {

constexpr int SheetWidth = 860;
constexpr std::size_t NotesPerStaff = 24;

QString noteText(SpelledNote note, NoteNaming naming)
{
    return QString::fromStdString(noteName(note, naming, true));
}

QDate dateOf(int day)
{
    return QDate(1970, 1, 1).addDays(day);
}

// Midday, so that the axis shows the same date in any time zone near ours.
qreal chartTime(int day)
{
    return qreal(QDateTime(dateOf(day), QTime(12, 0)).toMSecsSinceEpoch());
}

QLabel* heading(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.3);
    label->setFont(font);
    return label;
}

QString clefTitle(Clef clef)
{
    switch (clef) {
    case Clef::Bass:
        return QCoreApplication::translate("Progress", "Chiave di Fa");
    case Clef::Grand:
        return QCoreApplication::translate("Progress", "Doppio pentagramma");
    case Clef::Treble:
        break;
    }
    return QCoreApplication::translate("Progress", "Chiave di Sol");
}

QString mistakeText(const compose::Confusion& c, NoteNaming naming)
{
    const QString times = c.count == 1 ? QCoreApplication::translate("Progress", "1 volta")
                                       : QCoreApplication::translate("Progress", "%1 volte").arg(c.count);
    return QStringLiteral("%1 → %2: %3").arg(noteText(c.shown, naming), noteText(c.played, naming), times);
}

QStringList totalsLines(const compose::ProgressFigures& f)
{
    QStringList lines;
    lines << QCoreApplication::translate("Progress", "Giorni di pratica: %1").arg(f.daysPractised)
          << QCoreApplication::translate("Progress", "Note risposte: %1").arg(f.notesAnswered)
          << QCoreApplication::translate("Progress", "Sessioni complete: %1").arg(f.sessionsComplete)
          << QCoreApplication::translate("Progress", "Giorni di fila: %1").arg(f.currentRunOfDays);
    if (f.bestSession)
        lines << QCoreApplication::translate("Progress", "Miglior sessione: %1 % · %2")
                     .arg(f.bestSession->percentRight())
                     .arg(secondsShown(f.bestSession->medianResponseMs));
    else
        lines << QCoreApplication::translate("Progress", "Miglior sessione: nessuna sessione completa");
    if (const auto onset = f.meanOnsetMs) {
        if (*onset < 0)
            lines << QCoreApplication::translate("Progress", "Ritmo: in media %1 ms in anticipo").arg(-*onset);
        else if (*onset > 0)
            lines << QCoreApplication::translate("Progress", "Ritmo: in media %1 ms in ritardo").arg(*onset);
        else
            lines << QCoreApplication::translate("Progress", "Ritmo: in media a tempo");
    }
    if (f.examsTaken > 0)
        lines
            << QCoreApplication::translate("Progress", "Esami: %1 superati su %2").arg(f.examsPassed).arg(f.examsTaken);
    return lines;
}

// The chart's own key, as the page draws its words: the chart's legend
// loses its squares and words when printed.
QLabel* chartKey(const QList<QLineSeries*>& series, QWidget* parent)
{
    QStringList parts;
    for (const QLineSeries* line : series)
        parts << QStringLiteral("<span style=\"color: %1\">■</span> %2")
                     .arg(line->color().name(), line->name().toHtmlEscaped());
    auto* key = new QLabel(parts.join(QStringLiteral(" &nbsp; ")), parent);
    key->setObjectName(QStringLiteral("chartKey"));
    key->setTextFormat(Qt::RichText);
    key->setAlignment(Qt::AlignHCenter);
    return key;
}

QValueAxis* valueAxis(qreal top, const QString& title)
{
    auto* axis = new QValueAxis;
    axis->setRange(0, top);
    axis->setTickCount(5);
    axis->setLabelFormat(QStringLiteral("%d"));
    axis->setTitleText(title);
    return axis;
}

// What the colours of the heads say, for a page read away from the program.
QLabel* colourKey(QWidget* parent)
{
    const auto swatch = [](std::optional<double> share, const QString& text) {
        const compose::ShareColour c = compose::shareColour(share);
        return QStringLiteral("<span style=\"color: rgb(%1, %2, %3)\">●</span> %4")
            .arg(c.red)
            .arg(c.green)
            .arg(c.blue)
            .arg(text.toHtmlEscaped());
    };
    const QStringList parts {
        swatch(0.0, QCoreApplication::translate("Progress", "giuste al primo colpo meno di metà delle volte")),
        swatch(0.7, QCoreApplication::translate("Progress", "circa 70 %")),
        swatch(0.9, QCoreApplication::translate("Progress", "90 % e più")),
        swatch(std::nullopt, QCoreApplication::translate("Progress", "mai vista"))
    };
    auto* key = new QLabel(parts.join(QStringLiteral(" &nbsp; ")), parent);
    key->setObjectName(QStringLiteral("colourKey"));
    key->setTextFormat(Qt::RichText);
    return key;
}

QLabel* damagedNote(int damagedLines, QWidget* parent)
{
    const QString text = damagedLines == 1
        ? QCoreApplication::translate("Progress", "1 riga rovinata della storia è stata saltata.")
        : QCoreApplication::translate("Progress", "%1 righe rovinate della storia sono state saltate.")
              .arg(damagedLines);
    auto* damaged = new QLabel(text, parent);
    damaged->setObjectName(QStringLiteral("damagedNote"));
    QFont font = damaged->font();
    font.setPointSizeF(font.pointSizeF() * 0.85);
    damaged->setFont(font);
    damaged->setStyleSheet(QStringLiteral("color: #666666"));
    return damaged;
}

} // namespace

ProgressPage::ProgressPage(const PageInput& input, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_filesFolder(input.filesFolder)
    , m_today(input.figures.today)
    , m_naming(input.naming)
    , m_figures(input.figures)
{
    setObjectName(QStringLiteral("progressPage"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QCoreApplication::translate("Progress", "Progressi"));

    buildSheet(input.figures);
    m_scroll = new QScrollArea(this);
    m_scroll->setWidget(m_sheet);
    m_scroll->setWidgetResizable(false);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setAlignment(Qt::AlignHCenter);

    m_exportButton = new QPushButton(QCoreApplication::translate("Progress", "Esporta PDF"), this);
    m_exportButton->setObjectName(QStringLiteral("exportPdfButton"));
    m_exportButton->setEnabled(input.figures.answers > 0);
    m_exportNote = new QLabel(this);
    m_exportNote->setObjectName(QStringLiteral("exportNote"));
    connect(m_exportButton, &QPushButton::clicked, this, [this] { exportPdf(); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_exportButton);
    buttons->addWidget(m_exportNote, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_scroll, 1);
    layout->addLayout(buttons);

    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    resize(SheetWidth + 40, std::min(m_sheet->height() + 80, 900));
}

// A change of language while the page is open: its words again, the
// sheet built anew from the same figures.
void ProgressPage::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange && m_sheet) {
        setWindowTitle(QCoreApplication::translate("Progress", "Progressi"));
        m_exportButton->setText(QCoreApplication::translate("Progress", "Esporta PDF"));
        m_exportNote->clear();
        buildSheet(m_figures);
        m_scroll->setWidget(m_sheet); // the old sheet goes
    }
    QWidget::changeEvent(event);
}

void ProgressPage::buildSheet(const compose::ProgressFigures& figures)
{
    m_sheet = new QWidget;
    m_sheet->setObjectName(QStringLiteral("progressSheet"));
    m_sheet->setAutoFillBackground(true);
    QPalette palette = m_sheet->palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, Qt::black);
    m_sheet->setPalette(palette);
    // The program's own font, so that the page and its PDF look alike on every machine.
    m_sheet->setFont(QFont(QStringLiteral("Liberation Sans"), 9));
    auto* layout = new QVBoxLayout(m_sheet);
    layout->setContentsMargins(20, 16, 20, 16);

    const QString date = QLocale().toString(dateOf(figures.today), QLocale::LongFormat);
    layout->addWidget(
        heading(QCoreApplication::translate("Progress", "Progressi") + QStringLiteral(" · ") + date, m_sheet));

    if (figures.answers == 0) {
        auto* empty = new QLabel(
            QCoreApplication::translate("Progress", "Attiva Rispondi in Leggi: ogni risposta comparirà qui."), m_sheet);
        empty->setObjectName(QStringLiteral("emptyNote"));
        layout->addWidget(empty);
    } else {
        for (const compose::StaffProgress& staff : figures.staves)
            addStaff(*layout, staff);
        layout->addWidget(colourKey(m_sheet));
        layout->addWidget(buildChart(figures));
        layout->addLayout(buildMistakesAndTotals(figures));
    }
    if (figures.damagedLines > 0)
        layout->addWidget(damagedNote(figures.damagedLines, m_sheet));
    layout->addStretch(1);
    m_sheet->setFixedWidth(SheetWidth);
    m_sheet->adjustSize();
}

// A wide range goes on as many staves as its notes need to stay apart.
void ProgressPage::addStaff(QVBoxLayout& layout, const compose::StaffProgress& staff)
{
    layout.addWidget(new QLabel(clefTitle(staff.clef), m_sheet));
    const std::size_t rows = (staff.notes.size() + NotesPerStaff - 1) / NotesPerStaff;
    const std::size_t perRow = (staff.notes.size() + rows - 1) / rows;
    for (std::size_t first = 0; first < staff.notes.size(); first += perRow) {
        compose::StaffProgress row { staff.clef, {} };
        row.notes.assign(staff.notes.begin() + std::ptrdiff_t(first),
            staff.notes.begin() + std::ptrdiff_t(std::min(first + perRow, staff.notes.size())));
        auto* view = new StaffView(std::move(row), m_sheet);
        view->setObjectName(QStringLiteral("staff_%1").arg(QString::fromLatin1(clefWord(staff.clef).data())));
        layout.addWidget(view);
    }
}

QGridLayout* ProgressPage::buildMistakesAndTotals(const compose::ProgressFigures& figures)
{
    auto* columns = new QGridLayout;
    columns->addWidget(heading(QCoreApplication::translate("Progress", "Errori più frequenti"), m_sheet), 0, 0);
    columns->addWidget(heading(QCoreApplication::translate("Progress", "Totali"), m_sheet), 0, 1);
    QStringList mistakes;
    for (const compose::Confusion& c : figures.mistakes)
        mistakes << mistakeText(c, m_naming);
    if (mistakes.isEmpty())
        mistakes << QCoreApplication::translate("Progress", "Nessun errore.");
    auto* mistakesLabel = new QLabel(mistakes.join(QLatin1Char('\n')), m_sheet);
    mistakesLabel->setObjectName(QStringLiteral("mistakes"));
    mistakesLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* totalsLabel = new QLabel(totalsLines(figures).join(QLatin1Char('\n')), m_sheet);
    totalsLabel->setObjectName(QStringLiteral("totals"));
    totalsLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    columns->addWidget(mistakesLabel, 1, 0);
    columns->addWidget(totalsLabel, 1, 1);
    return columns;
}

QWidget* ProgressPage::buildChart(const compose::ProgressFigures& figures)
{
    const auto lineNamed = [](const char* name) {
        auto* line = new QLineSeries;
        line->setName(QCoreApplication::translate("Progress", name));
        line->setPointsVisible(true);
        return line;
    };
    auto* share = lineNamed(QT_TRANSLATE_NOOP("Progress", "Giuste al primo colpo (%)"));
    auto* pace = lineNamed(QT_TRANSLATE_NOOP("Progress", "Note al minuto"));
    // The timing lines only for a student who played in time these days.
    const bool timed = std::any_of(figures.recentDays.begin(), figures.recentDays.end(),
        [](const compose::DayProgress& day) { return day.onTimeShare().has_value(); });
    auto* onTime = timed ? lineNamed(QT_TRANSLATE_NOOP("Progress", "A tempo (%)")) : nullptr;
    auto* onsetError = timed ? lineNamed(QT_TRANSLATE_NOOP("Progress", "Errore medio (ms)")) : nullptr;
    double fastest = 0;
    double widestError = 0;
    // Days without practice have no point: the line joins the days practised.
    for (const compose::DayProgress& day : figures.recentDays) {
        const qreal at = chartTime(day.day);
        share->append(at, day.share() * 100.0);
        if (const auto perMinute = day.notesPerMinute()) {
            pace->append(at, *perMinute);
            fastest = std::max(fastest, *perMinute);
        }
        if (const auto onTimeShare = day.onTimeShare(); onTimeShare && onTime)
            onTime->append(at, *onTimeShare * 100.0);
        if (const auto error = day.meanOnsetErrorMs(); error && onsetError) {
            onsetError->append(at, *error);
            widestError = std::max(widestError, *error);
        }
    }
    QList<QLineSeries*> shown { share, pace };
    if (timed)
        shown << onTime << onsetError;

    auto* chart = new QChart;
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setTitle(QCoreApplication::translate("Progress", "Ultimi %1 giorni").arg(compose::ProgressDays));
    chart->legend()->hide();
    for (QLineSeries* line : shown)
        chart->addSeries(line);

    auto* dates = new QDateTimeAxis;
    dates->setFormat(QStringLiteral("d/M"));
    dates->setTickCount(7);
    // From the first day's midnight to the last minute of today: the days'
    // points, at midday, stand clear of the axes.
    constexpr qreal HalfDay = 12 * 3600 * 1000;
    dates->setRange(
        QDateTime::fromMSecsSinceEpoch(qint64(chartTime(figures.today - compose::ProgressDays + 1) - HalfDay)),
        QDateTime::fromMSecsSinceEpoch(qint64(chartTime(figures.today) + HalfDay) - 60000));
    chart->addAxis(dates, Qt::AlignBottom);
    auto* percent = valueAxis(100, QCoreApplication::translate("Progress", "% giuste"));
    chart->addAxis(percent, Qt::AlignLeft);
    // Four steps of a multiple of five.
    auto* perMinute = valueAxis(
        std::max(20.0, std::ceil(fastest * 1.1 / 20) * 20), QCoreApplication::translate("Progress", "note al minuto"));
    chart->addAxis(perMinute, Qt::AlignRight);
    QList<QAbstractAxis*> axes { dates, percent, perMinute };
    for (QLineSeries* line : shown)
        line->attachAxis(dates);
    share->attachAxis(percent);
    pace->attachAxis(perMinute);
    if (timed) {
        onTime->attachAxis(percent);
        auto* milliseconds = valueAxis(std::max(200.0, std::ceil(widestError * 1.1 / 100) * 100), QStringLiteral("ms"));
        chart->addAxis(milliseconds, Qt::AlignRight);
        onsetError->attachAxis(milliseconds);
        axes << milliseconds;
    }
    const QFont font = m_sheet->font();
    chart->setTitleFont(font);
    for (QAbstractAxis* axis : axes) {
        axis->setLabelsFont(font);
        axis->setTitleFont(font);
    }

    auto* box = new QWidget(m_sheet);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* view = new QChartView(chart, box);
    view->setObjectName(QStringLiteral("progressChart"));
    view->setRenderHint(QPainter::Antialiasing);
    view->setFixedHeight(270);
    layout->addWidget(view);
    layout->addWidget(chartKey(shown, box));
    return box;
}

QByteArray ProgressPage::pdf() const
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
    writer.setTitle(QCoreApplication::translate("Progress", "Progressi"));
    writer.setCreator(QStringLiteral("Zintaro"));
    QPainter painter(&writer);
    const QRect page = painter.viewport();
    const double scale = std::min(double(page.width()) / m_sheet->width(), double(page.height()) / m_sheet->height());
    painter.scale(scale, scale);
    m_sheet->render(&painter, QPoint(), QRegion(), QWidget::DrawChildren | QWidget::DrawWindowBackground);
    painter.end();
    return bytes;
}

storage::ProgressExport ProgressPage::exportPdf()
{
    const QDate date = dateOf(m_today);
    const QByteArray bytes = pdf();
    auto result = storage::writeProgressPdf(m_filesFolder.toStdString(), date.year(), date.month(), date.day(),
        std::string_view(bytes.constData(), std::size_t(bytes.size())));
    if (result.written())
        m_exportNote->setText(
            QCoreApplication::translate("Progress", "Salvato in %1").arg(QString::fromStdString(result.file.string())));
    else
        m_exportNote->setText(
            QCoreApplication::translate("Progress", "Il PDF non è stato salvato: %1").arg(staff::shown(result.error)));
    return result;
}

} // namespace zintaro::progress
