#include "base/StickyMessage.h"

#include "base/Folders.h"
#include "base/Settings.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace {

StickyBoxRunner &boxRunner()
{
    static StickyBoxRunner runner;
    return runner;
}

constexpr int MarkLength = 48;
constexpr int MinTextWidth = 150;
constexpr int ExtraWidth = 30;
constexpr int ExtraHeight = 105;

} // namespace

QString StickyValueName(const QString &text, const QWidget *owner)
{
    QString prefix = ApplicationTitle();
    prefix.remove(' ');
    QString ownerName = owner ? owner->window()->objectName() : QString();
    if (ownerName.isEmpty())
        ownerName = QStringLiteral("NoForm");
    const QString firstLine = text.section('\n', 0, 0);
    QString key;
    for (const QChar c : firstLine) {
        if (c.unicode() >= 33 && c.unicode() <= 175)
            key += c;
    }
    return prefix + '.' + ownerName + ':' + key.left(MarkLength).toLower();
}

TStickyForm::TStickyForm(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("StickyForm"));
    setWindowTitle(ApplicationTitle());
    MessageLbl = new QLabel(this);
    MessageLbl->setObjectName(QStringLiteral("MessageLbl"));
    MessageLbl->setTextFormat(Qt::PlainText);
    MessageLbl->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Bevel = new QFrame(this);
    Bevel->setFrameShape(QFrame::HLine);
    Bevel->setFrameShadow(QFrame::Sunken);
    DontShowChk = new QCheckBox(QStringLiteral("Don't show this message again"), this);
    DontShowChk->setObjectName(QStringLiteral("DontShowChk"));
    OkBtn = new QPushButton(QStringLiteral("Ok"), this);
    OkBtn->setObjectName(QStringLiteral("OkBtn"));
    OkBtn->setDefault(true);
    connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
}

void TStickyForm::SetMessage(const QString &text)
{
    MessageLbl->setText(text);
    const QFontMetrics metrics(MessageLbl->font());
    const int lines = 1 + int(text.count('\n'));
    const int textHeight = lines * metrics.height();
    int widest = MinTextWidth;
    for (const QString &line : text.split('\n'))
        widest = qMax(widest, metrics.horizontalAdvance(line.trimmed()));

    const int width = widest + ExtraWidth;
    const int height = textHeight + ExtraHeight;
    setFixedSize(width, height);
    MessageLbl->setGeometry(15, 10, widest, textHeight);
    const int below = 10 + textHeight;
    Bevel->setGeometry(8, below + 8, width - 16, 2);
    DontShowChk->setGeometry(15, below + 16, width - 30, 22);
    const int buttonWidth = 75;
    OkBtn->setGeometry((width - buttonWidth) / 2, below + 46, buttonWidth, 25);
}

void SetStickyBoxRunner(StickyBoxRunner runner)
{
    boxRunner() = std::move(runner);
}

void ShowStickyMessage(const QString &text, QWidget *owner)
{
    const QString mark = StickyValueName(text, owner);
    if (SettingValueExists(SettingsGroup::Common, mark))
        return;
    TStickyForm box(owner);
    box.SetMessage(text);
    if (boxRunner())
        boxRunner()(box);
    else
        box.exec();
    if (box.DontShowChk->isChecked())
        WriteSettingValue(SettingsGroup::Common, mark, QString());
}
