#include "app/form1.h"

#include "core/dialogs.h"
#include "compose/editing.h"
#include "compose/modes.h"
#include "compose/playback.h"
#include "compose/trainer.h"
#include "input/piano_widget.h"
#include "midi/instruments.h"
#include "midi/midi_out.h"
#include "staff/pn_widget.h"
#include "staff/staff.h"
#include "storage/composition_file.h"
#include "storage/file_panel.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QDateTime>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <vector>

namespace zintaro::app {

namespace {

// The window's layout is given in twips, 15 to a pixel.
int px(int twips)
{
    return qRound(twips / 15.0);
}
QRect twipRect(int left, int top, int width, int height)
{
    return { px(left), px(top), px(width), px(height) };
}

const QColor Background(224, 224, 224);
const QColor Green(128, 255, 128);
const QColor Lilac(192, 192, 255);
const QColor Pink(255, 128, 255);
const QColor Blue(128, 128, 255);

QFont sansFont(double points, bool bold = false)
{
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

void paint(QWidget* w, const QColor& colour)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Window, colour);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

QFrame* frame(QWidget* parent, const QRect& geometry, const QColor& colour)
{
    auto* f = new QFrame(parent);
    f->setFrameShape(QFrame::Box);
    f->setGeometry(geometry);
    paint(f, colour);
    return f;
}

QLabel* label(QWidget* parent, const QString& text, const QRect& geometry, const QColor* colour = nullptr)
{
    auto* l = new QLabel(text, parent);
    l->setGeometry(geometry);
    if (colour)
        paint(l, *colour);
    return l;
}

// A graphical option button or check box: a push button that stays pressed
// while it is selected.
QPushButton* toggle(QWidget* parent, const QString& caption, const QRect& geometry)
{
    auto* b = new QPushButton(caption, parent);
    b->setCheckable(true);
    b->setGeometry(geometry);
    return b;
}

} // namespace

Form1::Form1(Form1Services services, QWidget* parent)
    : QMainWindow(parent)
    , m_services(std::move(services))
    , m_midi(std::make_unique<midi::MidiOut>(m_services.midiSystem, m_services.dialogs))
{
    m_clock.start();
    setWindowTitle(QStringLiteral("Zintaro     by the Zintaro developers"));
    buildMenu();
    buildControls();
    // The staff surface has registered the program's pictures by now.
    setWindowIcon(QIcon(QStringLiteral(":/zintaro/zintaro.png")));
    m_ports = std::make_unique<compose::Ports>(
        compose::Ports { *m_pn, *m_midi, m_services.speech, m_services.dialogs, *m_piano });
    m_playback = std::make_unique<compose::Playback>(m_state, *m_ports);
    m_trainer = std::make_unique<compose::Trainer>(m_state, m_form, *m_ports);
    ShowHelpText();
}

Form1::~Form1() = default;

void Form1::buildMenu()
{
    QMenu* mnf = menuBar()->addMenu(QStringLiteral("Menù"));
    m_mnfLoad = mnf->addAction(QStringLiteral("Carica"));
    m_mnfSave = mnf->addAction(QStringLiteral("Salva"));
    connect(m_mnfLoad, &QAction::triggered, this, &Form1::mnf_Load_Click);
    connect(m_mnfSave, &QAction::triggered, this, &Form1::mnf_Save_Click);
}

void Form1::buildControls()
{
    m_central = new QWidget(this);
    paint(m_central, Background);
    m_central->setMinimumSize(px(19080), px(9135));
    setCentralWidget(m_central);
    setFont(sansFont(8.25));

    // The lower control area first, so that the switches lie in front of it.
    m_picture1 = new QWidget(m_central);
    m_picture1->setGeometry(twipRect(0, 3720, 18615, 5175));
    paint(m_picture1, Background);

    label(m_picture1, QStringLiteral("Instrument"), twipRect(120, 120, 900, 195), &Lilac);
    m_soundList = new QListWidget(m_picture1);
    m_soundList->setGeometry(twipRect(120, 480, 2655, 4545));
    m_soundList->installEventFilter(this);
    m_soundList->viewport()->installEventFilter(this);

    m_frame4 = frame(m_picture1, twipRect(3720, 360, 5295, 615), Green);
    auto* modes = new QButtonGroup(this);
    const std::array<std::pair<const char*, int>, 4> modeButtons
        = { { { "Componi", 1320 }, { "Ascolta", 2640 }, { "Nuovo", 0 }, { "Leggi", 3960 } } };
    for (int i = 0; i < 4; ++i) {
        m_op3[i]
            = toggle(m_frame4, QString::fromUtf8(modeButtons[i].first), twipRect(modeButtons[i].second, 0, 1335, 495));
        m_op3[i]->setObjectName(QStringLiteral("Op3_%1").arg(i));
        modes->addButton(m_op3[i], i);
    }
    m_op3[0]->setChecked(true);
    connect(modes, &QButtonGroup::idClicked, this, &Form1::Op3_Click);

    auto* frame2 = frame(m_picture1, twipRect(10800, 240, 3375, 735), Pink);
    auto* durations = new QButtonGroup(this);
    const std::array<const char*, 7> durationCaptions = { "1", "1/2", "1/4", "1/8", "1/16", "1/32", "1/64" };
    for (int i = 0; i < 7; ++i) {
        m_op1[i] = toggle(frame2, QString::fromLatin1(durationCaptions[i]), twipRect(480 * i, 0, 495, 615));
        durations->addButton(m_op1[i], i);
    }
    m_op1[0]->setChecked(true);
    connect(durations, &QButtonGroup::idClicked, this, &Form1::Op1_Click);

    auto* frame3 = frame(m_picture1, twipRect(9840, 1080, 975, 615), Green);
    for (int i = 0; i < 2; ++i) {
        m_btM[i] = new QPushButton(i == 0 ? QStringLiteral("<") : QStringLiteral(">"), frame3);
        m_btM[i]->setGeometry(twipRect(480 * i, 0, 495, 495));
        m_btM[i]->setFont(sansFont(18, true));
        connect(m_btM[i], &QPushButton::clicked, this, [this, i] { BtM_Click(i); });
    }
    m_btPausa = new QPushButton(QStringLiteral("PAUSA"), m_picture1);
    m_btPausa->setGeometry(twipRect(11520, 1200, 1095, 375));
    connect(m_btPausa, &QPushButton::clicked, this, &Form1::BtPausa_Click);
    m_btCanc = new QPushButton(QStringLiteral("ELIMINA"), m_picture1);
    m_btCanc->setGeometry(twipRect(12720, 1200, 1095, 375));
    connect(m_btCanc, &QPushButton::clicked, this, &Form1::BtCanc_Click);

    // The piano frame takes no mouse input for the whole run; the keys still
    // take the keyboard focus (Form_Load).
    auto* frame1 = frame(m_picture1, twipRect(3720, 2280, 10455, 2655), Blue);
    m_piano = new input::PianoWidget(frame1);
    m_piano->setGeometry(0, 0, frame1->width(), frame1->height());
    connect(m_piano, &input::PianoWidget::keyDown, this, &Form1::key_KeyDown);
    connect(m_piano, &input::PianoWidget::keyUp, this, &Form1::key_KeyUp);

    // The tempo group.
    m_frame6 = frame(m_central, twipRect(13080, 120, 5415, 615), Green);
    auto* label3 = label(m_frame6, QStringLiteral("Tempo :"), twipRect(120, 120, 1335, 375));
    label3->setFont(sansFont(12, true));
    m_txv = new QLineEdit(QStringLiteral("Text1"), m_frame6);
    m_txv->setGeometry(twipRect(1320, 0, 1215, 495));
    m_txv->setFont(sansFont(13.5, true));
    m_txv->setEnabled(false);
    m_hscrv = new QScrollBar(Qt::Horizontal, m_frame6);
    m_hscrv->setGeometry(twipRect(2760, 120, 2535, 375));
    m_hscrv->setRange(40, 210);
    m_hscrv->setSingleStep(1);
    m_hscrv->setPageStep(10);
    m_hscrv->setValue(40);
    connect(m_hscrv, &QScrollBar::valueChanged, this, &Form1::HScrV_Change);

    // The sound and writing switches.
    m_frame5 = frame(m_central, twipRect(3720, 4800, 5295, 1215), Green);
    auto* voices = new QButtonGroup(this);
    m_op4[0] = toggle(m_frame5, QStringLiteral("Suona"), twipRect(0, 0, 1335, 495));
    m_op4[1] = toggle(m_frame5, QStringLiteral("Parla"), twipRect(1320, 0, 1335, 495));
    voices->addButton(m_op4[0], 0);
    voices->addButton(m_op4[1], 1);
    m_op4[0]->setChecked(true);
    connect(voices, &QButtonGroup::idClicked, this, &Form1::Op4_Click);
    m_lab1 = label(m_frame5, QString(), twipRect(4320, 0, 975, 495), nullptr);
    m_lab1->setFont(sansFont(20.25, true));
    m_ckMute = toggle(m_frame5, QStringLiteral("Muto"), twipRect(0, 600, 1335, 555));
    m_ckScrivi = toggle(m_frame5, QStringLiteral("Scrivi"), twipRect(1320, 600, 1335, 555));
    m_ckScrivi->setChecked(true);
    m_ckRnd = toggle(m_frame5, QStringLiteral("Scala"), twipRect(2640, 600, 1335, 555));
    connect(m_ckScrivi, &QPushButton::clicked, this, &Form1::CkScrivi_Click);
    connect(m_ckRnd, &QPushButton::clicked, this, &Form1::CkRnd_Click);
    connect(m_ckMute, &QPushButton::toggled, this, [this](bool on) { m_state.Mute = on; });

    // The staff surface.
    m_pn = new staff::PnWidget(m_central);
    m_pn->setGeometry(twipRect(-120, 960, 18855, 2500));
    m_pn->setSwitchNameLabel(m_lab1);

    // Hidden controls: the device list and its caption, the help text.
    m_list1 = new QListWidget(m_central);
    m_list1->setGeometry(twipRect(3240, 240, 2835, 645));
    m_list1->hide();
    connect(m_list1, &QListWidget::currentRowChanged, this, [this] { List1_Click(); });
    m_label1 = label(m_central, QStringLiteral("MIDI Device"), twipRect(3240, 0, 1080, 195), &Lilac);
    m_label1->hide();
    m_lblHelp = label(m_central, QStringLiteral("lblHelp"), twipRect(15, 0, 3075, 960), &Lilac);
    m_lblHelp->hide();

    // The file panel, in front of the staff while it shows.
    m_pcf = new storage::FilePanel(m_services.dialogs, m_central);
    m_pcf->setGeometry(twipRect(7080, 240, 3135, 3495));
    m_pcf->hide();
    connect(m_pcf, &storage::FilePanel::File1_DblClick, this, &Form1::File1_DblClick);
    connect(m_pcf, &storage::FilePanel::Txf_Enter, this, &Form1::Txf_Enter);

    m_frame5->raise();

    m_tim = new QTimer(this);
    m_tim->setTimerType(Qt::PreciseTimer);
    m_tim->setInterval(70);
    connect(m_tim, &QTimer::timeout, this, &Form1::Tim_Timer);
    m_playTimer = new QTimer(this);
    m_playTimer->setSingleShot(true);
    m_playTimer->setTimerType(Qt::PreciseTimer);
    connect(m_playTimer, &QTimer::timeout, this, [this] { schedulePlayback(m_playback->advance(now())); });
}

void Form1::ShowHelpText()
{
    m_lblHelp->setText(QStringLiteral("1. Select Device\r\n2. Select Instrument\r\n3. Play notes with Mouse or with\r\n"
                                      "   noted Computer Keyboard key"));
}

void Form1::Form_Load()
{
    m_form.TrainerStep = 3;
    m_state.DrawScale = 1;
    // The keys take no mouse clicks (each key ignores the mouse) but key 0
    // still takes the keyboard focus.
    m_state.CursorColumn = 0;
    placeCursor();

    const std::vector<midi::DeviceEntry> devices = m_midi->FillDeviceList();
    for (const midi::DeviceEntry& d : devices) {
        auto* item = new QListWidgetItem(QString::fromStdString(d.text));
        item->setData(Qt::UserRole, d.itemData);
        m_list1->addItem(item);
    }
    for (std::string_view name : midi::InstrumentNames)
        m_soundList->addItem(QString::fromLatin1(name.data(), static_cast<int>(name.size())));

    // Device 0 is the first external port; on a machine with none, the first
    // listed device (the built-in synthesizer) stands in for it rather than a
    // box reporting a device that was never there.
    const bool hasExternalDevice
        = std::any_of(devices.begin(), devices.end(), [](const midi::DeviceEntry& d) { return d.itemData >= 0; });
    m_midi->CloseMidiOut();
    m_midi->OpenMidiOut(hasExternalDevice || devices.empty() ? int16_t { 0 } : devices.front().itemData);

    connect(m_soundList, &QListWidget::currentRowChanged, this, [this] { lst_sound_list_Click(); });
    m_soundList->setCurrentRow(0);
    if (m_list1->count() > 0)
        m_list1->setCurrentRow(0);

    m_state.CurrentDuration = 0;
    m_state.SpeakNames = false;

    m_pn->createRestImages();
    staff::DrawStaff(m_state, *m_pn);

    m_txv->setText(QStringLiteral("100"));
    m_hscrv->setValue(100);
    RecomputeTempoDurations(m_state, m_txv->text().toInt());
    m_state.Composition.RestFlag[0] = True16;

    Op3_Click(3);
}

void Form1::CloseDown()
{
    if (m_closing)
        return;
    m_closing = true;
    m_tim->stop();
    m_playTimer->stop();
    m_playback->stop();
    m_trainer->leave();
    m_midi->CloseMidiOut();
    QApplication::quit();
}

void Form1::closeEvent(QCloseEvent* event)
{
    CloseDown();
    event->accept();
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    const bool inSoundList = watched == m_soundList || watched == m_soundList->viewport();
    if (inSoundList && (event->type() == QEvent::KeyPress || event->type() == QEvent::MouseButtonPress)) {
        // The list handles the key or the click first (it may change the
        // instrument), then the computer keyboard plays the piano again.
        QTimer::singleShot(0, m_piano, &input::PianoWidget::focusFirstKey);
    }
    return QMainWindow::eventFilter(watched, event);
}

void Form1::placeCursor()
{
    m_pn->setCursorLeft(ColumnX(m_state.CursorColumn));
}

void Form1::List1_Click()
{
    const QListWidgetItem* item = m_list1->currentItem();
    if (!item)
        return;
    m_midi->SelectDevice(static_cast<int16_t>(item->data(Qt::UserRole).toInt()),
        static_cast<int16_t>(std::max(0, m_soundList->currentRow())));
}

void Form1::lst_sound_list_Click()
{
    m_midi->ProgramChange(0, 0, static_cast<int16_t>(std::max(0, m_soundList->currentRow())));
}

void Form1::SetLayout()
{
    const bool normal = m_state.DrawScale == 1;
    m_pn->setGeometry(px(-120), px(normal ? 1080 : 1500), px(18855), normal ? px(2500) : px(1800 * 5));
    m_frame5->setGeometry(px(normal ? 3720 : 3500), px(normal ? 5295 : 200), px(5295), px(normal ? 615 : 1300));
    m_txv->setVisible(normal);
    m_lab1->setVisible(normal);
    // The normal layout cuts the switch frame to its top row.
    for (QPushButton* b : { m_ckMute, m_ckScrivi, m_ckRnd })
        b->setVisible(!normal);
    m_pn->setCursorVisible(normal);
    m_pn->setStaffLabelVisible(!normal);

    // In the enlarged layout the staff lies in front of the lower control
    // area, and the mode buttons move beside the switches so that "Leggi"
    // can be left.
    if (normal) {
        m_frame4->setParent(m_picture1);
        m_frame4->move(px(3720), px(360));
        m_picture1->raise();
        m_frame5->raise();
    } else {
        m_frame4->setParent(m_central);
        m_frame4->move(px(9000), px(800));
        m_pn->raise();
        m_frame5->raise();
    }
    m_frame4->show();
    m_frame4->raise();
    if (m_pcf->isVisible())
        m_pcf->raise();

    m_pn->clear();
    const int s = m_state.DrawScale;
    m_pn->setClefGeometry(24 * s, 42 * s, 73 * s);
    staff::DrawStaff(m_state, *m_pn);
}

void Form1::Op3_Click(int index)
{
    if (m_tim->isActive())
        leaveTrainer();
    m_state.DrawScale = 1;
    SetLayout();
    switch (index) {
    case 0:
        m_tim->stop();
        compose::ShowComposition(m_state, *m_ports);
        break;
    case 1:
        m_tim->stop();
        startPlayback();
        break;
    case 2:
        m_tim->stop();
        if (m_services.dialogs.question("Sicuro?", "Nuova composizione")) {
            compose::NewComposition(m_state, *m_ports);
            m_op3[0]->setChecked(true);
            Op3_Click(0);
        }
        break;
    case 3:
        if (isVisible())
            showMaximized();
        else
            setWindowState(windowState() | Qt::WindowMaximized);
        m_trainer->enter(static_cast<uint32_t>(QDateTime::currentMSecsSinceEpoch()));
        m_tim->start();
        m_form.TrainerShowPhase = false;
        m_state.DrawScale = 5;
        SetLayout();
        break;
    default:
        break;
    }
}

void Form1::leaveTrainer()
{
    m_tim->stop();
    m_trainer->leave();
}

void Form1::startPlayback()
{
    m_playTimer->stop();
    schedulePlayback(m_playback->start(now()));
}

void Form1::schedulePlayback(std::optional<int64_t> next)
{
    if (!next)
        return;
    // Whole milliseconds rounded down: a callback that comes early is simply
    // asked again, one that comes late would make the note late.
    const int64_t remainingNs = *next * 1'000'000 - m_clock.nsecsElapsed();
    m_playTimer->start(static_cast<int>(std::max<int64_t>(0, remainingNs / 1'000'000)));
}

void Form1::Op1_Click(int index)
{
    m_state.CurrentDuration = static_cast<int16_t>(index);
    m_piano->focusFirstKey();
}

void Form1::Op4_Click(int index)
{
    m_state.SpeakNames = index != 0;
}

void Form1::CkRnd_Click()
{
    m_state.ScaleWalk = m_ckRnd->isChecked();
    compose::CkRnd_Click(m_form, m_state.ScaleWalk);
}

void Form1::CkScrivi_Click()
{
    m_state.WriteNames = m_ckScrivi->isChecked();
    m_lab1->setVisible(m_state.WriteNames);
    m_pn->setStaffLabelVisible(m_state.WriteNames);
}

void Form1::HScrV_Change(int value)
{
    m_txv->setText(QString::number(value));
    m_tim->setInterval(compose::HScrV_Change(m_state, m_txv->text().toInt()));
}

void Form1::Tim_Timer()
{
    m_trainer->tick();
}

void Form1::key_KeyDown(QKeyEvent* event)
{
    const int16_t code = input::keyCodeOf(*event);
    const auto effect = input::key_KeyDown(m_state, m_form, *m_ports, code);
    // A note that overwrote the last column of a page turns to the next page,
    // which already holds notes of the piece: show them.
    const bool turnedOntoWrittenPage = effect != input::KeyDownEffect::Ignored && m_state.CursorColumn == 0
        && m_state.WriteIndex < m_state.NoteCount && !m_state.Listening;
    if (turnedOntoWrittenPage)
        compose::ShowComposition(m_state, *m_ports);
    if (effect == input::KeyDownEffect::Sounded)
        m_piano->focusFirstKey();
}

void Form1::key_KeyUp(QKeyEvent* event)
{
    // A held key repeats its key-down; the releases that the repetition
    // generates are not the user letting go.
    if (event->isAutoRepeat())
        return;
    input::key_KeyUp(m_form, *m_ports, input::keyCodeOf(*event));
}

void Form1::BtPausa_Click()
{
    compose::BtPausa_Click(m_state, *m_ports);
}

void Form1::BtCanc_Click()
{
    compose::BtCanc_Click(m_state, *m_ports);
}

void Form1::BtM_Click(int index)
{
    compose::BtM_Click(m_state, *m_ports, index);
}

void Form1::mnf_Load_Click()
{
    m_pcf->openForLoading(m_services.filesFolder);
    m_pcf->raise();
}

void Form1::mnf_Save_Click()
{
    m_pcf->openForSaving(m_services.filesFolder);
    m_pcf->raise();
}

void Form1::File1_DblClick(const QString& name)
{
    m_pcf->hide();
    storage::LoadComposition(
        m_state, *m_pn, m_services.dialogs, (m_services.filesFolder + QLatin1Char('/') + name).toStdString());
}

void Form1::Txf_Enter(const QString& text)
{
    m_pcf->hide();
    const auto result = storage::SaveComposition(
        m_state, m_services.filesFolder.toStdString(), text.toStdString(), m_services.dialogs);
    // A name that cannot be a file is told; the panel comes back to mend it.
    if (result == storage::SaveResult::NameRefused)
        mnf_Save_Click();
}

} // namespace zintaro::app
