#include "cat/DebugWindow.h"

#include "base/BgrColor.h"
#include "base/MessageBoxes.h"
#include "base/Settings.h"
#include "cat/CatLog.h"

#include <QGuiApplication>
#include <QListWidget>
#include <QPainter>
#include <QRegularExpression>
#include <QScreen>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace {

const char *const descriptions[] = {
    "(no more description for this item)",
    "Such a serial port exists on this machine but it is currently occupied by another software. Terminate that "
    "software or select another port.",
    "Such a serial port doesn't exists on this machine. No such hardware port, nor emulated. Selecte another port.",
    "Unspecified error occur when opening serial port. Selecte another port.",
    "Can' purge the serial port. Try to reset both devices (PC and TCVR). Try another port.",
    "Quering the port for it's settings failed.",
    "Setting the port failed. The port probably remains in defaults settings, 9600 bps, 1 stop bit, etc.",
    "Quering the port for it's timeouts failed.",
    "Setting the port timeouts failed. The port will probably remain default timeouts.",
    "Setting the port mask failed. Receiving data from TCVR will not work. TCVR may be still controllable from PC.",
    "Creating a separate thread for receiving failed in Windows. Receiving data from TCVR will not work. TCVR may be "
    "still controllable from PC.",
    "Data were sent to the serial line however they weren't transmitted to TCVR. Communication failed. Probably HW "
    "error of the serial port.",
    "PC queries TCVR about status but no response is received. Either a wrong port selected or the CAT cable "
    "disconnected.",
    "PC received more data from TCVR than expected. Either wrong TCVR type used (unsupported) or wrong port selected.",
    "No response from TCVR. Cable is disconnected, wrong port selected or wrong communication speed set.",
};

const QString clickHint = QStringLiteral("Double-click an error line to get more info.");

// Paints "number text" with the numbers in a column of their own, error
// lines in red, and no selection highlight.
class EntryDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const QString entry = index.data().toString();
        painter->save();
        painter->fillRect(option.rect, option.palette.color(QPalette::Base));
        painter->setFont(option.font);
        painter->setPen(TDebugFrm::IsErrorLine(entry) ? bgrToColor(0x0000FF) : bgrToColor(0x000000));
        const qsizetype blank = entry.indexOf(u' ');
        const QString number = blank < 0 ? entry : entry.left(blank);
        const QString rest = blank < 0 ? QString() : entry.mid(blank + 1, 255);
        const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
        painter->drawText(option.rect.adjusted(2, 1, 0, 0), flags, number);
        painter->drawText(option.rect.adjusted(32, 1, 0, 0), flags, rest);
        painter->restore();
    }
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return QSize(QStyledItemDelegate::sizeHint(option, index).width(), TDebugFrm::ItemHeight);
    }
};

int descriptionForErrorCode(int code, const QString &entry)
{
    switch (code) {
    case 1: {
        // Opening failed: the system's text tells a busy port from a missing one.
        const QString lower = entry.toLower();
        if (lower.contains(QLatin1String("busy")) || lower.contains(QLatin1String("denied"))
            || lower.contains(QLatin1String("in use")) || lower.contains(QLatin1String("lock")))
            return 1;
        if (lower.contains(QLatin1String("no such")) || lower.contains(QLatin1String("not found"))
            || lower.contains(QLatin1String("cannot find")))
            return 2;
        return 3;
    }
    case 2: return 3;   // queue sizes refused while opening
    case 4: return 6;   // line settings refused
    case 5: return 8;   // time-outs refused
    case 10: return 11; // write failed
    case 11: return 12; // read failed
    case 12: return 14; // short reply
    case 20:
    case 21: return 14; // radio silent
    case 22: return 13; // replies keep changing: wrong model or port
    default: return 0;
    }
}

} // namespace

TDebugFrm::TDebugFrm(TCatLog &log, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
    , log_(log)
{
    setWindowTitle(QStringLiteral("CAT Communication"));
    setObjectName(QStringLiteral("DebugFrm"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    ErrorsLBx = new QListWidget(this);
    ErrorsLBx->setObjectName(QStringLiteral("ErrorsLBx"));
    ErrorsLBx->setItemDelegate(new EntryDelegate(ErrorsLBx));
    ErrorsLBx->setUniformItemSizes(true);
    layout->addWidget(ErrorsLBx);
    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);
    layout->addWidget(StatusBar);

    connect(ErrorsLBx, &QListWidget::itemClicked, this, [this] { ErrorsLBxClick(); });
    connect(ErrorsLBx, &QListWidget::itemDoubleClicked, this, [this] { ErrorsLBxDblClick(); });
    connect(&log_, &TCatLog::EntryAdded, this, &TDebugFrm::AddEntry, Qt::DirectConnection);

    const QScreen *screen = QGuiApplication::primaryScreen();
    const QSize workArea = screen ? screen->availableGeometry().size() : QSize(1024, 768);
    setGeometry(InitialBounds(ReadIntSetting(QStringLiteral("LeftDebug"), -1), ReadIntSetting(QStringLiteral("TopDebug"), -1),
                              ReadIntSetting(QStringLiteral("WidthDebug"), -1),
                              ReadIntSetting(QStringLiteral("HeightDebug"), -1), workArea));
}

TDebugFrm::~TDebugFrm()
{
    log_.SetWindowVisible(false);
}

QRect TDebugFrm::InitialBounds(int left, int top, int width, int height, QSize workArea)
{
    const int w = workArea.width();
    const int h = workArea.height();
    return QRect(left >= 0 && left <= w - 100 ? left : w - 300, top >= 0 && top <= h - 100 ? top : 2,
                 width >= 50 && width <= w - 100 ? width : 298, height >= 50 && height <= h - 100 ? height : 150);
}

bool TDebugFrm::IsErrorLine(const QString &entry)
{
    return entry.contains(QLatin1String("error"), Qt::CaseInsensitive);
}

int TDebugFrm::DescriptionNumber(const QString &entry)
{
    const qsizetype open = entry.indexOf(u'[');
    if (open < 0)
        return 0;
    const qsizetype close = entry.indexOf(u']', open + 1);
    if (close < 0)
        return 0;
    const QString inner = entry.mid(open + 1, close - open - 1);
    bool ok = false;
    const int number = inner.toInt(&ok);
    if (ok)
        return number;
    static const QRegularExpression code(QStringLiteral("^E(\\d+)$"));
    const QRegularExpressionMatch match = code.match(inner);
    if (match.hasMatch())
        return descriptionForErrorCode(match.captured(1).toInt(), entry);
    return 0;
}

QString TDebugFrm::Description(int n)
{
    if (n < 0 || n >= int(std::size(descriptions)))
        return QString();
    return QString::fromLatin1(descriptions[n]);
}

void TDebugFrm::AddEntry(const QString &text)
{
    StatusBar->clearMessage();
    ErrorsLBx->addItem(QStringLiteral("%1 %2").arg(ErrorsLBx->count() + 1).arg(text));
    ErrorsLBx->setCurrentRow(ErrorsLBx->count() - 1);
    ErrorsLBx->repaint();
}

void TDebugFrm::Clear()
{
    ErrorsLBx->clear();
    StatusBar->clearMessage();
}

void TDebugFrm::ErrorsLBxClick()
{
    const QListWidgetItem *item = ErrorsLBx->currentItem();
    if (item && IsErrorLine(item->text()))
        StatusBar->showMessage(clickHint);
    else
        StatusBar->clearMessage();
}

void TDebugFrm::ErrorsLBxDblClick()
{
    const QListWidgetItem *item = ErrorsLBx->currentItem();
    if (ErrorsLBx->count() == 0 || !item)
        return;
    const QString description = Description(DescriptionNumber(item->text()));
    if (!description.isEmpty())
        ShowInformation(this, description);
}

void TDebugFrm::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const int screenWidth = screen ? screen->geometry().width() : 1024;
    move(screenWidth - width() - 3, 3);
    ErrorsLBxClick();
    log_.SetWindowVisible(true);
}

void TDebugFrm::hideEvent(QHideEvent *event)
{
    log_.SetWindowVisible(false);
    WriteSetting(QStringLiteral("LeftDebug"), QString::number(x()));
    WriteSetting(QStringLiteral("TopDebug"), QString::number(y()));
    WriteSetting(QStringLiteral("WidthDebug"), QString::number(width()));
    WriteSetting(QStringLiteral("HeightDebug"), QString::number(height()));
    QWidget::hideEvent(event);
}
