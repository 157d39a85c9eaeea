// Building the main window's components and laying out its rows of keys.

#include "app/Main.h"

#include "base/BgrColor.h"
#include "base/Widgets.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <iterator>

namespace {

constexpr int MainPanelHeight = 114;
constexpr int SpectroGraphPnlHeight = 42;
constexpr int ToolsPnlHeight = 30;
constexpr int StatusBarHeight = 20;
constexpr int RowHeight = 26;
constexpr int BandBtnWidth = 36;
constexpr int ModeBtnWidth = 40;
constexpr int SplitBtnWidth = 40;
constexpr int ProgBtnWidth = 49;
constexpr int ModePnlMax = 446;
constexpr int SplitPnlMax = 126;
constexpr int ProgramPnlMax = 153;
constexpr int ScanPnlNeeds = 61;

const char *const ModeButtonNames[] = {"LsbBtn", "UsbBtn", "CwBtn", "CwrBtn", "AmBtn", "WfmBtn",
                                       "FmBtn", "DigBtn", "PktBtn", "FskBtn", "FskrBtn"};
// One key per mode name, in the same order.
static_assert(std::size(ModeButtonNames) == ModeCount);

QFrame *makePanel(QWidget *parent, const char *name, QFrame::Shadow shadow = QFrame::Raised)
{
    auto panel = new QFrame(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setFrameStyle(QFrame::Panel | shadow);
    return panel;
}

QToolButton *makeKey(QWidget *parent, const QString &name, const QString &caption, bool toggle)
{
    auto key = new QToolButton(parent);
    key->setObjectName(name);
    key->setText(caption);
    key->setCheckable(toggle);
    key->setFocusPolicy(Qt::NoFocus);
    return key;
}

enum class Glyph { Power, Com, Menu };

QIcon glyphIcon(Glyph glyph)
{
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (glyph) {
    case Glyph::Power: {
        p.setPen(QPen(QColor(200, 0, 0), 2.5, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(QRectF(4, 5, 16, 16), 120 * 16, 300 * 16);
        p.drawLine(QPointF(12, 2.5), QPointF(12, 11));
        break;
    }
    case Glyph::Com: {
        QFont font = p.font();
        font.setPixelSize(9);
        font.setBold(true);
        p.setFont(font);
        p.setPen(QColor(0, 0, 128));
        p.drawRoundedRect(QRectF(1.5, 5.5, 21, 13), 3, 3);
        p.drawText(QRectF(0, 5, 24, 14), Qt::AlignCenter, QStringLiteral("COM"));
        break;
    }
    case Glyph::Menu:
        p.setPen(QPen(QColor(40, 40, 40), 2.5, Qt::SolidLine, Qt::RoundCap));
        for (int y : {6, 12, 18})
            p.drawLine(5, y, 19, y);
        break;
    }
    return QIcon(pixmap);
}

QToolButton *makeGlyphKey(QWidget *parent, const char *name, Glyph glyph, int top)
{
    auto key = makeKey(parent, QString::fromLatin1(name), QString(), false);
    key->setIcon(glyphIcon(glyph));
    key->setIconSize(QSize(24, 24));
    key->setGeometry(1, top, 30, 30);
    return key;
}

void placeRow(const QList<QToolButton *> &buttons, int buttonWidth)
{
    for (int i = 0; i < buttons.size(); ++i)
        buttons.at(i)->setGeometry(3 + i * buttonWidth, 2, buttonWidth, RowHeight - 4);
}

} // namespace

int TTarnwickFrm::RowPanelWidth(int available, int maxWidth, int buttonWidth)
{
    const int width = maxWidth > 0 ? qMin(available, maxWidth) : available;
    if (width <= 0 || buttonWidth <= 0)
        return 0;
    return width - width % buttonWidth + 6;
}

void TTarnwickFrm::buildComponents()
{
    setObjectName(QStringLiteral("TarnwickFrm"));

    ScalePnl = makePanel(this, "ScalePnl", QFrame::Sunken);
    ScalePnl->setMinimumHeight(40);
    MainPanel = makePanel(this, "MainPanel");
    MainPanel->setFixedHeight(MainPanelHeight);
    SpectroGraphPnl = makePanel(this, "SpectroGraphPnl", QFrame::Sunken);
    SpectroGraphPnl->setFixedHeight(SpectroGraphPnlHeight);
    ToolsPnl = makePanel(this, "ToolsPnl");
    ToolsPnl->setFixedHeight(ToolsPnlHeight);
    StatusBarPnl = new CaptionPanel(this);
    StatusBarPnl->setObjectName(QStringLiteral("StatusBarPnl"));
    StatusBarPnl->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StatusBarPnl->SetAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    StatusBarPnl->setFixedHeight(StatusBarHeight);

    auto layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ScalePnl, 1);
    layout->addWidget(MainPanel);
    layout->addWidget(SpectroGraphPnl);
    layout->addWidget(ToolsPnl);
    layout->addWidget(StatusBarPnl);

    buildMainPanel();
    buildToolsPanel();
    buildMenus();
    buildTimers();

    MainPanel->installEventFilter(this);
    resize(DesignWidth, DesignHeight);
}

void TTarnwickFrm::buildMainPanel()
{
    MainButtons = makePanel(MainPanel, "MainButtons");
    MainButtons->setFrameStyle(QFrame::NoFrame);
    MainButtons->setGeometry(2, 4, 32, 104);
    PwrBtn = makeGlyphKey(MainButtons, "PwrBtn", Glyph::Power, 1);
    CatBtn = makeGlyphKey(MainButtons, "CatBtn", Glyph::Com, 36);
    CatBtn->setCheckable(true);
    MenuBtn = makeGlyphKey(MainButtons, "MenuBtn", Glyph::Menu, 71);
    PwrBtn->setToolTip(QStringLiteral("Power-off Radio"));

    SMeterPnl = makePanel(MainPanel, "SMeterPnl", QFrame::Sunken);
    SMeterPnl->setGeometry(38, 4, 156, 80);
    PttBtn = makeKey(MainPanel, QStringLiteral("PttBtn"), QStringLiteral("PTT"), true);
    PttBtn->setGeometry(38, 86, 60, RowHeight);
    SqlRcvTxPnl = new CaptionPanel(MainPanel);
    SqlRcvTxPnl->setObjectName(QStringLiteral("SqlRcvTxPnl"));
    SqlRcvTxPnl->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    SqlRcvTxPnl->setGeometry(102, 88, 44, 22);
    DepreszLbl = new QLabel(QStringLiteral("0%"), MainPanel);
    DepreszLbl->setObjectName(QStringLiteral("DepreszLbl"));
    DepreszLbl->setAlignment(Qt::AlignCenter);
    DepreszLbl->setGeometry(150, 88, 44, 22);

    DigiScalePnl = makePanel(MainPanel, "DigiScalePnl", QFrame::Sunken);
    DigiScalePnl->setGeometry(198, 4, 214, 48);
    SetPanelColor(DigiScalePnl, bgrToColor(0x272727));
    auto unitLabel = [this](const char *name, const QString &caption, int top) {
        auto label = new QLabel(caption, DigiScalePnl);
        label->setObjectName(QString::fromLatin1(name));
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
        QPalette pal = label->palette();
        pal.setColor(QPalette::WindowText, bgrToColor(0x444444));
        label->setPalette(pal);
        label->setGeometry(174, top, 36, 18);
        return label;
    };
    MhzLbl = unitLabel("MhzLbl", QStringLiteral("MHz"), 5);
    kHzLbl = unitLabel("kHzLbl", QStringLiteral("kHz"), 25);

    ScanPnl = makePanel(MainPanel, "ScanPnl");
    ScanPnl->setGeometry(416, 4, ScanPnlNeeds, 48);
    ScanBtn = makeKey(ScanPnl, QStringLiteral("ScanBtn"), QStringLiteral("SCAN"), true);
    ScanBtn->setGeometry(3, 2, 55, 21);
    GraphBtn = makeKey(ScanPnl, QStringLiteral("GraphBtn"), QStringLiteral("GRAPH"), true);
    GraphBtn->setGeometry(3, 25, 55, 21);

    ProgramPnl = makePanel(MainPanel, "ProgramPnl");
    ProgramPnl->setGeometry(481, 4, ProgramPnlMax, RowHeight);
    Prog1Btn = makeKey(ProgramPnl, QStringLiteral("Prog1Btn"), QStringLiteral("PROG 1"), true);
    Prog2Btn = makeKey(ProgramPnl, QStringLiteral("Prog2Btn"), QStringLiteral("PROG 2"), true);
    Prog3Btn = makeKey(ProgramPnl, QStringLiteral("Prog3Btn"), QStringLiteral("PROG 3"), true);
    placeRow({Prog1Btn, Prog2Btn, Prog3Btn}, ProgBtnWidth);

    ModePnl = makePanel(MainPanel, "ModePnl");
    ModePnl->setGeometry(198, 56, ModePnlMax, RowHeight);
    ModeGroup = new SpeedButtonGroup(false, this);
    for (const char *name : ModeButtonNames) {
        QToolButton *key = makeKey(ModePnl, QString::fromLatin1(name), QString(), true);
        ModeButtons << key;
    }
    LsbBtn = ModeButtons[0];
    UsbBtn = ModeButtons[1];
    CwBtn = ModeButtons[2];
    CwrBtn = ModeButtons[3];
    AmBtn = ModeButtons[4];
    WfmBtn = ModeButtons[5];
    FmBtn = ModeButtons[6];
    DigBtn = ModeButtons[7];
    PktBtn = ModeButtons[8];
    FskBtn = ModeButtons[9];
    FskrBtn = ModeButtons[10];
    placeRow(ModeButtons, ModeBtnWidth);

    SplitPnl = makePanel(MainPanel, "SplitPnl");
    SplitPnl->setGeometry(648, 56, SplitPnlMax, RowHeight);
    ABBtn = makeKey(SplitPnl, QStringLiteral("ABBtn"), QStringLiteral("A/B"), false);
    AIsBBtn = makeKey(SplitPnl, QStringLiteral("AIsBBtn"), QStringLiteral("A=B"), false);
    SplitBtn = makeKey(SplitPnl, QStringLiteral("SplitBtn"), QStringLiteral("SPLIT"), true);
    QFont italic = SplitBtn->font();
    italic.setItalic(true);
    SplitBtn->setFont(italic);
    placeRow({ABBtn, AIsBBtn, SplitBtn}, SplitBtnWidth);

    BandPnl = makePanel(MainPanel, "BandPnl");
    BandPnl->setGeometry(198, 86, DesignWidth - 198 - 7, RowHeight);
    BandGroup = new SpeedButtonGroup(true, this);
    for (int i = 0; i < 32; ++i) {
        QToolButton *key = makeKey(BandPnl, QStringLiteral("Band%1Btn").arg(i + 1), QString(), true);
        BandButtons << key;
    }
    placeRow(BandButtons, BandBtnWidth);
}

void TTarnwickFrm::buildToolsPanel()
{
    const struct {
        QToolButton **key;
        const char *name;
        const char *caption;
        const char *hint;
    } tools[] = {
        {&ToolButton1, "ToolButton1", "+", "Zoom In"},
        {&ToolButton2, "ToolButton2", "\u2212", "Zoom Out"},
        {&ToolButton3, "ToolButton3", "\u2691", "New Frequency Marker"},
        {&ToolButton4, "ToolButton4", "\u21E4", "Previous Freq Marker"},
        {&ToolButton5, "ToolButton5", "\u21E5", "Next Freq Marker"},
        {&ToolButton6, "ToolButton6", "?", "Search Freq Marker"},
        {&ToolButton7, "ToolButton7", "\u25C0", "Scroll Left"},
        {&ToolButton8, "ToolButton8", "\u25B6", "Scroll Right"},
    };
    int left = 3;
    for (const auto &tool : tools) {
        QToolButton *key = makeKey(ToolsPnl, QString::fromLatin1(tool.name), QString::fromUtf8(tool.caption), false);
        key->setToolTip(QString::fromLatin1(tool.hint));
        key->setAutoRaise(true);
        key->setGeometry(left, 3, 24, 24);
        left += 25 + (tool.key == &ToolButton2 || tool.key == &ToolButton6 ? 6 : 0);
        *tool.key = key;
    }
    SpeedButton17 = makeKey(ToolsPnl, QStringLiteral("SpeedButton17"), QStringLiteral("New Fq Marker"), false);
    SpeedButton17->setGeometry(left + 8, 3, 96, 24);
    left += 8 + 96 + 4;
    DeleteFqMarkerBtn = makeKey(ToolsPnl, QStringLiteral("DeleteFqMarkerBtn"), QStringLiteral("Delete Fq Marker"), false);
    DeleteFqMarkerBtn->setGeometry(left, 3, 106, 24);
    left += 106 + 4;
    FqEdt = new QLineEdit(ToolsPnl);
    FqEdt->setObjectName(QStringLiteral("FqEdt"));
    FqEdt->setGeometry(left, 4, 90, 22);
    FqMarkerNameLbl = new QLabel(ToolsPnl);
    FqMarkerNameLbl->setObjectName(QStringLiteral("FqMarkerNameLbl"));
    FqMarkerNameLbl->setGeometry(left + 94, 4, 200, 22);
}

void TTarnwickFrm::buildMenus()
{
    MainMenuPpp = new QMenu(this);
    MainMenuPpp->setObjectName(QStringLiteral("MainMenuPpp"));
    OptionsMnu = MainMenuPpp->addMenu(QStringLiteral("Options"));
    OptionsMnu->setObjectName(QStringLiteral("OptionsMnu"));
    auto item = [](QMenu *menu, const char *name, const QString &caption, bool checkable) {
        QAction *action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        action->setCheckable(checkable);
        return action;
    };
    BandsMnu = item(OptionsMnu, "BandsMnu", QStringLiteral("Bands..."), false);
    ModesMnu = item(OptionsMnu, "ModesMnu", QStringLiteral("Modes..."), false);
    PreferencesMnu = item(OptionsMnu, "PreferencesMnu", QStringLiteral("Preferences..."), false);
    OptionsMnu->addSeparator();
    SpectroscopVisibleMnu = item(OptionsMnu, "SpectroscopVisibleMnu", QStringLiteral("Spectrograph Visible"), true);
    SpectroscopVisibleMnu->setChecked(true);
    ToolsVisibleMnu = item(OptionsMnu, "ToolsVisibleMnu", QStringLiteral("Tools Visible"), true);
    ToolsVisibleMnu->setChecked(true);
    HideAllControlsMnu = item(MainMenuPpp, "HideAllControlsMnu", QStringLiteral("Only Scale Visible"), true);
    MainMenuPpp->addSeparator();
    AboutZov1 = item(MainMenuPpp, "AboutZov1", QStringLiteral("About Zov..."), false);
    // The band plan and mode dialogs enable their items when they exist.
    BandsMnu->setEnabled(false);
    ModesMnu->setEnabled(false);

    AllBandsPpp = new QMenu(this);
    AllBandsPpp->setObjectName(QStringLiteral("AllBandsPpp"));
    AllBandsPpp->addAction(QStringLiteral("*"))->setEnabled(false);
    AllBandsPpp->addSeparator();
    DefineBandsMnu = item(AllBandsPpp, "DefineBandsMnu", QStringLiteral("Define Bands..."), false);
    DefineBandsMnu->setEnabled(false);
}

void TTarnwickFrm::buildTimers()
{
    auto timer = [this](const char *name, int interval) {
        auto t = new QTimer(this);
        t->setObjectName(QString::fromLatin1(name));
        t->setInterval(interval);
        return t;
    };
    DisconnectAndTerminateTmr = timer("DisconnectAndTerminateTmr", 2000);
    ScanTmr = timer("ScanTmr", 2000);
    UpdateSpectrographTmr = timer("UpdateSpectrographTmr", 250);
    BlinkingButtonTmr = timer("BlinkingButtonTmr", 125);
}

void TTarnwickFrm::MainPanelResize()
{
    const int panelWidth = MainPanel->width();
    struct Row {
        QFrame *panel;
        const QList<QToolButton *> buttons;
        int max;
        int unit;
    };
    const Row rows[] = {
        {BandPnl, BandButtons, 0, BandBtnWidth},
        {ModePnl, ModeButtons, ModePnlMax, ModeBtnWidth},
        {SplitPnl, {ABBtn, AIsBBtn, SplitBtn}, SplitPnlMax, SplitBtn->width()},
        {ProgramPnl, {Prog1Btn, Prog2Btn, Prog3Btn}, ProgramPnlMax, ProgBtnWidth},
    };
    for (const Row &row : rows) {
        const int available = panelWidth - row.panel->x() - 7;
        const int width = RowPanelWidth(available, row.max, row.unit);
        row.panel->resize(width, row.panel->height());
        for (QToolButton *button : row.buttons)
            button->setVisible(button->x() + button->width() < width);
    }
    SplitPnl->setVisible(!ABBtn->isHidden());
    ProgramPnl->setVisible(!Prog1Btn->isHidden());
    ScanPnl->setVisible(panelWidth - ScanPnl->x() - 7 >= ScanPnlNeeds);
}
