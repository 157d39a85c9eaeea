#pragma once

// Small widgets that stand in for the classic panel, radio group and
// speed-button group, so that windows and the control-state mechanism
// speak about the same kinds of controls.

#include <QButtonGroup>
#include <QColor>
#include <QFrame>
#include <QGroupBox>
#include <QList>
#include <QStringList>

class QAbstractButton;
class QRadioButton;

// A panel with a caption: background colour (the panel's Color), caption
// font colour, and a caption drawn with accelerator processing, so "&&"
// shows as "&". Plain QFrames are panels without a caption.
class CaptionPanel : public QFrame
{
    Q_OBJECT
public:
    explicit CaptionPanel(QWidget *parent = nullptr);

    QString Caption() const { return caption; }
    void SetCaption(const QString &text);

    QColor Color() const { return color; }
    void SetColor(const QColor &c);

    QColor FontColor() const { return fontColor; }
    void SetFontColor(const QColor &c);

    void SetAlignment(Qt::Alignment a);
    Qt::Alignment Alignment() const { return alignment; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString caption;
    QColor color;
    QColor fontColor = Qt::black;
    Qt::Alignment alignment = Qt::AlignCenter;
};

// A text shown where "&" marks an accelerator (captions, menu items): every
// "&" doubled, so that it shows as itself.
QString WithAmpersandsShown(const QString &text);

// The panel colour of any panel: CaptionPanel's Color, else the frame's
// window colour.
QColor PanelColor(const QFrame *panel);
void SetPanelColor(QFrame *panel, const QColor &color);

// A radio group: a titled box of radio buttons with one item index
// (-1 when none is selected). The control-state mechanism stores the index.
class RadioGroupBox : public QGroupBox
{
    Q_OBJECT
public:
    RadioGroupBox(const QString &title, const QStringList &items, QWidget *parent = nullptr);

    int ItemIndex() const;
    void SetItemIndex(int index);
    int Count() const { return int(buttons.size()); }
    QRadioButton *Button(int index) const { return buttons.value(index); }

signals:
    void ItemIndexChanged(int index);

private:
    QButtonGroup group;
    QList<QRadioButton *> buttons;
};

// A group of checkable speed buttons: pressing one releases the others.
// With allowAllUp, clicking the pressed button releases it; without, it
// stays down.
class SpeedButtonGroup : public QObject
{
    Q_OBJECT
public:
    explicit SpeedButtonGroup(bool allowAllUp, QObject *parent = nullptr);
    void Add(QAbstractButton *button);
    const QList<QAbstractButton *> &Buttons() const { return members; }
    // The pressed button, or nullptr when all are up.
    QAbstractButton *Down() const;
    // Presses one button (and releases the others) without a click.
    void SetDown(QAbstractButton *button);

private:
    void onClicked(QAbstractButton *button);

    bool allowAllUp;
    QList<QAbstractButton *> members;
};
