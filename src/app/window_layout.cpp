#include "app/window_layout.h"

#include "app/window_menu.h"
#include "input/piano_widget.h"
#include "staff/staff_widget.h"
#include "storage/file_panel.h"

#include <QActionGroup>
#include <QButtonGroup>
#include <QCoreApplication>
#include <QFrame>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <utility>

namespace zintaro::app {

namespace {

const QColor Background(224, 224, 224);
// The system's window colour: the white the staff is drawn on, not the form's grey.
const QColor WindowBackground(255, 255, 255);
const QColor Green(128, 255, 128);
const QColor Lilac(192, 192, 255);
const QColor Pink(255, 128, 255);
const QColor Blue(128, 128, 255);

struct Placed {
    const char* objectName;
    const char* caption;
    QRect twips; // left, top, width, height in twips
};

// The graphical option buttons and check boxes, by group, in their frames.
constexpr std::array<Placed, 4> ModeButtons = { {
    { "Op3_0", QT_TRANSLATE_NOOP("Window", "Componi"), { 1320, 0, 1335, 495 } },
    { "Op3_1", QT_TRANSLATE_NOOP("Window", "Ascolta"), { 2640, 0, 1335, 495 } },
    { "Op3_2", QT_TRANSLATE_NOOP("Window", "Nuovo"), { 0, 0, 1335, 495 } },
    { "Op3_3", QT_TRANSLATE_NOOP("Window", "Leggi"), { 3960, 0, 1335, 495 } },
} };
constexpr std::array<Placed, 7> DurationButtons = { {
    { "Op1_0", "1", { 0, 0, 495, 615 } },
    { "Op1_1", "1/2", { 480, 0, 495, 615 } },
    { "Op1_2", "1/4", { 960, 0, 495, 615 } },
    { "Op1_3", "1/8", { 1440, 0, 495, 615 } },
    { "Op1_4", "1/16", { 1920, 0, 495, 615 } },
    { "Op1_5", "1/32", { 2400, 0, 495, 615 } },
    { "Op1_6", "1/64", { 2880, 0, 495, 615 } },
} };
constexpr std::array<Placed, 2> VoiceButtons = { {
    { "Op4_0", QT_TRANSLATE_NOOP("Window", "Suona"), { 0, 0, 1335, 495 } },
    { "Op4_1", QT_TRANSLATE_NOOP("Window", "Parla"), { 1320, 0, 1335, 495 } },
} };
constexpr std::array<Placed, 4> Switches = { {
    { "CkMute", QT_TRANSLATE_NOOP("Window", "Muto"), { 0, 600, 1335, 555 } },
    { "CkScrivi", QT_TRANSLATE_NOOP("Window", "Scrivi"), { 1320, 600, 1335, 555 } },
    { "CkRnd", QT_TRANSLATE_NOOP("Window", "Scala"), { 2640, 600, 1335, 555 } },
    { "CkRisp", QT_TRANSLATE_NOOP("Window", "Rispondi"), { 3960, 600, 1335, 555 } },
} };

QString caption(const char* text)
{
    return QCoreApplication::translate("Window", text);
}

QRect pixels(const QRect& twips)
{
    return twipRect(twips.x(), twips.y(), twips.width(), twips.height());
}

void paint(QWidget* w, const QColor& colour)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Window, colour);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

QFrame* frame(QWidget* parent, const char* name, const QRect& twips, const QColor& colour)
{
    auto* f = new QFrame(parent);
    f->setObjectName(QLatin1String(name));
    f->setFrameShape(QFrame::Box);
    f->setGeometry(pixels(twips));
    paint(f, colour);
    return f;
}

QLabel* label(QWidget* parent, const char* name, const QString& text, const QRect& twips, const QColor* colour)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(pixels(twips));
    if (colour)
        paint(l, *colour);
    return l;
}

// A graphical option button or check box: a push button that stays pressed
// while it is selected. Buttons never take the keyboard: it stays with the
// piano, which plays whatever button was clicked last.
QPushButton* toggle(QWidget* parent, const Placed& placed)
{
    auto* b = new QPushButton(caption(placed.caption), parent);
    b->setObjectName(QLatin1String(placed.objectName));
    b->setFocusPolicy(Qt::NoFocus);
    b->setCheckable(true);
    b->setGeometry(pixels(placed.twips));
    return b;
}

// A group of option buttons: exactly one is selected, the first to start.
template<std::size_t N> std::array<QPushButton*, N> options(QWidget* parent, const std::array<Placed, N>& table)
{
    auto* group = new QButtonGroup(parent);
    group->setObjectName(QStringLiteral("%1_group").arg(QLatin1String(table[0].objectName)));
    std::array<QPushButton*, N> buttons {};
    for (std::size_t i = 0; i < N; ++i) {
        buttons[i] = toggle(parent, table[i]);
        group->addButton(buttons[i], static_cast<int>(i));
    }
    buttons[0]->setChecked(true);
    return buttons;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, const QRect& twips)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setFocusPolicy(Qt::NoFocus);
    b->setGeometry(pixels(twips));
    return b;
}

} // namespace

QFont sansFont(double points, bool bold)
{
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

void retranslateWindowControls(WindowControls& c)
{
    retranslateWindowMenu(c);
    for (std::size_t i = 0; i < ModeButtons.size(); ++i)
        c.modeButtons[i]->setText(caption(ModeButtons[i].caption));
    for (std::size_t i = 0; i < VoiceButtons.size(); ++i)
        c.voiceButtons[i]->setText(caption(VoiceButtons[i].caption));
    const std::array<QPushButton*, 4> switches = { c.muteSwitch, c.namesSwitch, c.scaleSwitch, c.answerSwitch };
    for (std::size_t i = 0; i < Switches.size(); ++i)
        switches[i]->setText(caption(Switches[i].caption));
    c.restButton->setText(caption(QT_TRANSLATE_NOOP("Window", "PAUSA")));
    c.deleteButton->setText(caption(QT_TRANSLATE_NOOP("Window", "ELIMINA")));
    c.instrumentLabel->setText(caption(QT_TRANSLATE_NOOP("Window", "Instrument")));
    c.tempoLabel->setText(caption(QT_TRANSLATE_NOOP("Window", "Tempo :")));
    c.deviceLabel->setText(caption(QT_TRANSLATE_NOOP("Window", "MIDI Device")));
    c.scoreLabel->setToolTip(caption(
        QT_TRANSLATE_NOOP("Window", "Note giuste al primo tentativo su note mostrate · tempo mediano di risposta")));
}

namespace {

// The lower control area, made first so that the switches lie in front of
// it: the instruments, the modes, the durations, the cursor, PAUSA and
// ELIMINA, and the piano.
void addLowerArea(WindowControls& c)
{
    c.lowerArea = new QWidget(c.central);
    c.lowerArea->setObjectName(QStringLiteral("Picture1"));
    c.lowerArea->setGeometry(twipRect(0, 3720, 18615, 5175));
    paint(c.lowerArea, Background);

    c.instrumentLabel = label(c.lowerArea, "Label2", QString(), { 120, 120, 900, 195 }, &Lilac);
    c.instrumentList = new QListWidget(c.lowerArea);
    c.instrumentList->setObjectName(QStringLiteral("lst_sound_list"));
    c.instrumentList->setGeometry(twipRect(120, 480, 2655, 4545));

    c.modeFrame = frame(c.lowerArea, "Frame4", { 3720, 360, 5295, 615 }, Green);
    c.modeButtons = options(c.modeFrame, ModeButtons);

    QFrame* durationFrame = frame(c.lowerArea, "Frame2", { 10800, 240, 3375, 735 }, Pink);
    c.durationButtons = options(durationFrame, DurationButtons);

    QFrame* cursorFrame = frame(c.lowerArea, "Frame3", { 9840, 1080, 975, 615 }, Green);
    c.cursorButtons[0] = button(cursorFrame, "BtM_0", QStringLiteral("<"), { 0, 0, 495, 495 });
    c.cursorButtons[1] = button(cursorFrame, "BtM_1", QStringLiteral(">"), { 480, 0, 495, 495 });
    for (QPushButton* b : c.cursorButtons)
        b->setFont(sansFont(18, true));
    c.restButton = button(c.lowerArea, "BtPausa", QString(), { 11520, 1200, 1095, 375 });
    c.deleteButton = button(c.lowerArea, "BtCanc", QString(), { 12720, 1200, 1095, 375 });

    // The piano frame takes no mouse input for the whole run; the keys still
    // take the keyboard focus.
    QFrame* pianoFrame = frame(c.lowerArea, "Frame1", { 3720, 2280, 10455, 2655 }, Blue);
    c.piano = new input::PianoWidget(pianoFrame);
    c.piano->setGeometry(0, 0, pianoFrame->width(), pianoFrame->height());
}

void addTempoFrame(WindowControls& c)
{
    c.tempoFrame = frame(c.central, "Frame6", { 13080, 120, 5415, 615 }, Green);
    c.tempoLabel = label(c.tempoFrame, "Label3", QString(), { 120, 120, 1335, 375 }, nullptr);
    c.tempoLabel->setFont(sansFont(12, true));
    c.tempoText = new QLineEdit(QStringLiteral("Text1"), c.tempoFrame);
    c.tempoText->setObjectName(QStringLiteral("Txv"));
    c.tempoText->setGeometry(twipRect(1320, 0, 1215, 495));
    c.tempoText->setFont(sansFont(13.5, true));
    c.tempoText->setEnabled(false);
    c.tempoBar = new QScrollBar(Qt::Horizontal, c.tempoFrame);
    c.tempoBar->setObjectName(QStringLiteral("HScrV"));
    c.tempoBar->setGeometry(twipRect(2760, 120, 2535, 375));
    c.tempoBar->setRange(40, 210);
    c.tempoBar->setSingleStep(1);
    c.tempoBar->setPageStep(10);
    c.tempoBar->setValue(40);
    c.tempoBar->setFocusPolicy(Qt::NoFocus);
}

// The voices, the switches and the name and score labels.
void addSwitchFrame(WindowControls& c)
{
    c.switchFrame = frame(c.central, "Frame5", { 3720, 4800, 5295, 1215 }, Green);
    c.voiceButtons = options(c.switchFrame, VoiceButtons);
    c.nameLabel = label(c.switchFrame, "Lab1", QString(), { 4320, 0, 975, 495 }, &WindowBackground);
    c.nameLabel->setFont(sansFont(20.25, true));
    c.muteSwitch = toggle(c.switchFrame, Switches[0]);
    c.namesSwitch = toggle(c.switchFrame, Switches[1]);
    c.namesSwitch->setChecked(true);
    c.scaleSwitch = toggle(c.switchFrame, Switches[2]);
    c.answerSwitch = toggle(c.switchFrame, Switches[3]);
    c.scoreLabel = label(c.switchFrame, "LabScore", QString(), { 2640, 0, 2655, 495 }, &Green);
    c.scoreLabel->setAlignment(Qt::AlignCenter);
    QPalette scoreColours = c.scoreLabel->palette();
    scoreColours.setColor(QPalette::WindowText, Qt::black);
    c.scoreLabel->setPalette(scoreColours);
    c.scoreLabel->hide();
}

// The staff, the hidden controls, the file panel and the status text.
void addStaffAndPanels(WindowControls& c)
{
    c.staff = new staff::StaffWidget(c.central);
    c.staff->setObjectName(QStringLiteral("Pn"));
    c.staff->setGeometry(twipRect(-120, 960, 18855, 2500));
    c.staff->setSwitchNameLabel(c.nameLabel);

    // Hidden controls: the device list and its caption, the help text.
    c.deviceList = new QListWidget(c.central);
    c.deviceList->setObjectName(QStringLiteral("List1"));
    c.deviceList->setGeometry(twipRect(3240, 240, 2835, 645));
    c.deviceList->hide();
    c.deviceLabel = label(c.central, "Label1", QString(), { 3240, 0, 1080, 195 }, &Lilac);
    c.deviceLabel->hide();
    c.helpLabel = label(c.central, "lblHelp", QStringLiteral("lblHelp"), { 15, 0, 3075, 960 }, &Lilac);
    c.helpLabel->hide();

    // The file panel, in front of the staff while it shows.
    c.filePanel = new storage::FilePanel(c.central);
    c.filePanel->setObjectName(QStringLiteral("Pcf"));
    c.filePanel->setGeometry(twipRect(7080, 240, 3135, 3495));
    paint(c.filePanel, WindowBackground);
    c.filePanel->hide();

    // Notices that need no answer (sound off, a file that could not be
    // written), where nothing else stands in either layout.
    c.statusText = label(c.central, "StatusText", QString(), { 120, 30, 3300, 1020 }, nullptr);
    c.statusText->setWordWrap(true);
    c.statusText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette red = c.statusText->palette();
    red.setColor(QPalette::WindowText, QColor(160, 0, 0));
    c.statusText->setPalette(red);

    // How loud the microphone hears, at the foot of the status text.
    c.levelMeter = new QProgressBar(c.central);
    c.levelMeter->setObjectName(QStringLiteral("LevelMeter"));
    c.levelMeter->setGeometry(twipRect(120, 930, 1500, 90));
    c.levelMeter->setRange(0, 100);
    c.levelMeter->setTextVisible(false);
    c.levelMeter->hide();
}

} // namespace

WindowControls buildWindowControls(QMainWindow& window)
{
    WindowControls c;
    addWindowMenu(window, c);

    c.central = new QWidget(&window);
    paint(c.central, Background);
    c.central->setMinimumSize(px(19080), px(9135));
    window.setCentralWidget(c.central);
    window.setFont(sansFont(8.25));

    addLowerArea(c);
    addTempoFrame(c);
    addSwitchFrame(c);
    addStaffAndPanels(c);

    c.switchFrame->raise();
    retranslateWindowControls(c);
    return c;
}

void applyLayout(WindowControls& c, int drawScale)
{
    const bool normal = drawScale == 1;
    c.staff->setGeometry(px(-120), px(normal ? 1080 : 1500), px(18855), normal ? px(2500) : px(1800 * 5));
    c.switchFrame->setGeometry(px(normal ? 3720 : 3500), px(normal ? 5295 : 200), px(5295), px(normal ? 615 : 1300));
    c.tempoText->setVisible(normal);
    c.nameLabel->setVisible(normal);
    // The normal layout cuts the switch frame to its top row.
    for (QPushButton* b : { c.muteSwitch, c.namesSwitch, c.scaleSwitch, c.answerSwitch })
        b->setVisible(!normal);
    c.scoreLabel->setVisible(!normal);
    c.staff->setCursorVisible(normal);
    c.staff->setStaffLabelVisible(!normal);

    // In the enlarged layout the staff lies in front of the lower control
    // area, and the mode buttons move beside the switches so that "Leggi"
    // can be left.
    if (normal) {
        c.modeFrame->setParent(c.lowerArea);
        c.modeFrame->move(px(3720), px(360));
        c.lowerArea->raise();
    } else {
        c.modeFrame->setParent(c.central);
        c.modeFrame->move(px(9000), px(800));
        c.staff->raise();
    }
    c.switchFrame->raise();
    c.modeFrame->show();
    c.modeFrame->raise();
    c.statusText->raise();
    c.levelMeter->raise();
    if (c.filePanel->isVisible())
        c.filePanel->raise();

    c.staff->clear();
    c.staff->setClefGeometry(24 * drawScale, 42 * drawScale, 73 * drawScale);
}

} // namespace zintaro::app
