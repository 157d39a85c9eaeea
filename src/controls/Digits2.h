#pragma once

// Seven-segment numeric display drawn with lines, with an in-place editor:
// a click on a digit starts editing, the cursor digit blinks, digit keys
// overwrite, Up and Down count with carry, Enter accepts, Esc restores.
// The control never takes the keyboard focus itself: the window that owns it
// hands key presses to HandleKey while IsEditing is true.

#include "controls/DigitGlyphs.h"

#include <QColor>
#include <QTimer>
#include <QWidget>

class TDigiDisplay2 : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QColor Color READ Color WRITE SetColor)
    Q_PROPERTY(bool Lit READ Lit WRITE SetLit)
    Q_PROPERTY(QColor ColorHigh READ ColorHigh WRITE SetColorHigh)
    Q_PROPERTY(QColor ColorLow READ ColorLow WRITE SetColorLow)
    Q_PROPERTY(int NrOfDigits READ NrOfDigits WRITE SetNrOfDigits)
    Q_PROPERTY(QString AsString READ AsString WRITE SetAsString)
    Q_PROPERTY(bool DisplayOn READ DisplayOn WRITE SetDisplayOn)
    Q_PROPERTY(int DigitDist READ DigitDist WRITE SetDigitDist)
    Q_PROPERTY(bool DispError READ DispError WRITE SetDispError)

public:
    explicit TDigiDisplay2(QWidget *parent = nullptr);

    QColor Color() const { return FColor; }
    void SetColor(const QColor &value);
    bool Lit() const { return FLit; }
    void SetLit(bool value);
    QColor ColorHigh() const { return FColorHigh; }
    void SetColorHigh(const QColor &value);
    QColor ColorLow() const { return FColorLow; }
    void SetColorLow(const QColor &value);
    int NrOfDigits() const { return FNrOfDigits; }
    void SetNrOfDigits(int value);
    QString AsString() const;
    void SetAsString(const QString &text);
    bool DisplayOn() const { return FDisplayOn; }
    void SetDisplayOn(bool value);
    int DigitDist() const { return FDigitDist; }
    void SetDigitDist(int value);
    bool DispError() const { return FDispError; }
    void SetDispError(bool value);

    // Editing. StartEdit and EndEdit raise no events themselves; a click and
    // BeginUserEdit raise OnEditBegin, Enter and a click raise OnEditEnd.
    void StartEdit(int Cell);
    void EndEdit();
    void CancelEdit();
    bool HandleKey(int Key, const QString &Text = QString());
    bool IsEditing() const { return BlinkTimer.isActive(); }
    // StartEdit followed by OnEditBegin, as for a click: for the window's
    // keystroke that begins frequency input. Does nothing while not Lit.
    void BeginUserEdit(int Cell);

    // Read-only views of the editing state and the layout.
    int cursorCell() const { return CursorDigit; }
    int pointCell() const { return DotPos; }
    bool cursorDark() const { return BlinkOff; }
    QByteArray glyphText() const { return GlyphText; }
    DigitCellLayout layout() const;
    QRect cellBox(int cell) const { return layout().cellBox(cell); }
    int cellAt(const QPoint &pos) const; // -1 outside every cell box

signals:
    void OnEditBegin();
    void OnEditEnd();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void InvalidateCell(int i);
    void InvalidateDigits();
    void SetGlyphs(const QByteArray &glyphs, int dotPos);
    void FinishEdit(bool blankLeadingZeros = true);
    void AcceptEdit();
    void MoveCursor(int cell);
    void CountAtCursor(int delta);
    void BlinkTimerTimer();
    void PaintCell(QPainter &p, const DigitCellLayout &l, int cell) const;

    QColor FColor;
    bool FLit = false;
    QColor FColorHigh;
    QColor FColorLow;
    int FNrOfDigits = 5;
    bool FDisplayOn = true;
    int FDigitDist = 1;
    bool FDispError = false;

    QByteArray GlyphText;
    QByteArray PrevGlyphText;
    int DotPos = -1;
    int PrevDotPos = -1;
    QByteArray SavedGlyphText;
    int SavedDotPos = -1;
    int CursorDigit = 0;
    QTimer BlinkTimer;
    bool BlinkOff = false;

    quint64 LastPressTime = 0; // event time of the last left press that acted
    QPoint LastPressPos;
};
