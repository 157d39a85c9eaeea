#include "base/Widgets.h"

#include <QAbstractButton>
#include <QPainter>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>
#include <QVBoxLayout>

CaptionPanel::CaptionPanel(QWidget *parent)
    : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    color = palette().color(QPalette::Window);
}

void CaptionPanel::SetCaption(const QString &text)
{
    if (caption == text)
        return;
    caption = text;
    update();
}

void CaptionPanel::SetColor(const QColor &c)
{
    if (color == c)
        return;
    color = c;
    update();
}

void CaptionPanel::SetFontColor(const QColor &c)
{
    if (fontColor == c)
        return;
    fontColor = c;
    update();
}

void CaptionPanel::SetAlignment(Qt::Alignment a)
{
    alignment = a;
    update();
}

void CaptionPanel::paintEvent(QPaintEvent *event)
{
    {
        QPainter painter(this);
        painter.fillRect(rect(), color);
        QPalette pal = palette();
        pal.setColor(QPalette::WindowText, fontColor);
        const QRect area = contentsRect().adjusted(3, 0, -3, 0);
        style()->drawItemText(&painter, area, int(alignment) | Qt::TextShowMnemonic, pal, isEnabled(),
                              caption, QPalette::WindowText);
    }
    QFrame::paintEvent(event);
}

QString WithAmpersandsShown(const QString &text)
{
    QString shown = text;
    return shown.replace(QLatin1Char('&'), QLatin1String("&&"));
}

QColor PanelColor(const QFrame *panel)
{
    if (auto captioned = qobject_cast<const CaptionPanel *>(panel))
        return captioned->Color();
    return panel->palette().color(QPalette::Window);
}

void SetPanelColor(QFrame *panel, const QColor &color)
{
    if (auto captioned = qobject_cast<CaptionPanel *>(panel)) {
        captioned->SetColor(color);
        return;
    }
    QPalette pal = panel->palette();
    pal.setColor(QPalette::Window, color);
    panel->setPalette(pal);
    panel->setAutoFillBackground(true);
}

RadioGroupBox::RadioGroupBox(const QString &title, const QStringList &items, QWidget *parent)
    : QGroupBox(title, parent)
{
    auto layout = new QVBoxLayout(this);
    group.setExclusive(true);
    for (int i = 0; i < items.size(); ++i) {
        auto button = new QRadioButton(items.at(i), this);
        layout->addWidget(button);
        group.addButton(button, i);
        buttons << button;
    }
    connect(&group, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            emit ItemIndexChanged(id);
    });
}

int RadioGroupBox::ItemIndex() const
{
    return group.checkedId();
}

void RadioGroupBox::SetItemIndex(int index)
{
    if (index >= 0 && index < buttons.size()) {
        buttons.at(index)->setChecked(true);
        return;
    }
    // No selection: an exclusive group never unchecks its last button itself.
    group.setExclusive(false);
    for (QRadioButton *button : std::as_const(buttons))
        button->setChecked(false);
    group.setExclusive(true);
}

SpeedButtonGroup::SpeedButtonGroup(bool allowAllUp, QObject *parent)
    : QObject(parent)
    , allowAllUp(allowAllUp)
{
}

void SpeedButtonGroup::Add(QAbstractButton *button)
{
    button->setCheckable(true);
    members << button;
    connect(button, &QAbstractButton::clicked, this, [this, button] { onClicked(button); });
}

QAbstractButton *SpeedButtonGroup::Down() const
{
    for (QAbstractButton *button : members) {
        if (button->isChecked())
            return button;
    }
    return nullptr;
}

void SpeedButtonGroup::SetDown(QAbstractButton *button)
{
    for (QAbstractButton *member : std::as_const(members))
        member->setChecked(member == button);
}

void SpeedButtonGroup::onClicked(QAbstractButton *button)
{
    // The click has already toggled the button. A click on the pressed key
    // either releases it (all-up allowed) or leaves it down.
    if (!button->isChecked() && !allowAllUp) {
        button->setChecked(true);
        return;
    }
    if (button->isChecked()) {
        for (QAbstractButton *member : std::as_const(members)) {
            if (member != button)
                member->setChecked(false);
        }
    }
}
