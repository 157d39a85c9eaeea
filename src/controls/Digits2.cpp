#include "controls/Digits2.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStyleHints>

#include <algorithm>

namespace {

const QColor EdgeGrey(0x80, 0x80, 0x80);

} // namespace

TDigiDisplay2::TDigiDisplay2(QWidget *parent)
    : QWidget(parent)
    , FColor(Qt::black)
    , FColorHigh(0xFF, 0xFF, 0xFF)
    , FColorLow(0x80, 0x80, 0x80)
{
    resize(100, 100);
    setFocusPolicy(Qt::NoFocus);
    const DigitText empty = encodeDigitText(QString(), FNrOfDigits);
    GlyphText = PrevGlyphText = empty.glyphs;
    DotPos = PrevDotPos = empty.dotPos;
    BlinkTimer.setInterval(150);
    connect(&BlinkTimer, &QTimer::timeout, this, &TDigiDisplay2::BlinkTimerTimer);
}

void TDigiDisplay2::SetColor(const QColor &value)
{
    FColor = value;
    InvalidateDigits();
}

void TDigiDisplay2::SetLit(bool value)
{
    // Editing needs a lit display; an edit that is open when the display goes
    // dark is dropped, not accepted.
    if (!value && IsEditing())
        CancelEdit();
    FLit = value;
    InvalidateDigits();
    if (value)
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
}

void TDigiDisplay2::SetColorHigh(const QColor &value)
{
    FColorHigh = value;
    InvalidateDigits();
}

void TDigiDisplay2::SetColorLow(const QColor &value)
{
    FColorLow = value;
    InvalidateDigits();
}

void TDigiDisplay2::SetNrOfDigits(int value)
{
    const QString text = AsString();
    FNrOfDigits = std::max(1, value);
    SetAsString(text); // re-pads to the new number of cells
    InvalidateDigits();
}

QString TDigiDisplay2::AsString() const
{
    return decodeDigitText(GlyphText, DotPos);
}

void TDigiDisplay2::SetAsString(const QString &text)
{
    if (IsEditing())
        FinishEdit();
    FDispError = false;
    const DigitText encoded = encodeDigitText(text, FNrOfDigits);
    SetGlyphs(encoded.glyphs, encoded.dotPos);
}

void TDigiDisplay2::SetDisplayOn(bool value)
{
    FDisplayOn = value;
    InvalidateDigits();
}

void TDigiDisplay2::SetDigitDist(int value)
{
    FDigitDist = value;
    InvalidateDigits();
}

void TDigiDisplay2::SetDispError(bool value)
{
    FDispError = value;
    InvalidateDigits();
}

DigitCellLayout TDigiDisplay2::layout() const
{
    return digitCellLayout(width(), FNrOfDigits, FDigitDist);
}

int TDigiDisplay2::cellAt(const QPoint &pos) const
{
    const DigitCellLayout l = layout();
    for (int i = 0; i < FNrOfDigits; ++i) {
        if (l.cellBox(i).contains(pos))
            return i;
    }
    return -1;
}

void TDigiDisplay2::InvalidateCell(int i)
{
    if (i >= 0 && i < FNrOfDigits)
        update(cellBox(i));
}

void TDigiDisplay2::InvalidateDigits()
{
    update();
}

// Stores a new glyph text and repaints only what changed: the cells whose
// glyph differs, or every cell when the point moved.
void TDigiDisplay2::SetGlyphs(const QByteArray &glyphs, int dotPos)
{
    PrevGlyphText = GlyphText;
    PrevDotPos = DotPos;
    GlyphText = glyphs;
    DotPos = dotPos;
    if (DotPos != PrevDotPos) {
        InvalidateDigits();
        return;
    }
    for (int i = 0; i < FNrOfDigits; ++i) {
        const char now = i < GlyphText.size() ? GlyphText.at(i) : GlyphBlank;
        const char before = i < PrevGlyphText.size() ? PrevGlyphText.at(i) : GlyphBlank;
        if (now != before)
            InvalidateCell(i);
    }
}

void TDigiDisplay2::BeginUserEdit(int Cell)
{
    if (!FLit || IsEditing())
        return;
    StartEdit(Cell);
    if (IsEditing())
        emit OnEditBegin();
}

void TDigiDisplay2::StartEdit(int Cell)
{
    if (!FLit)
        return;
    if (IsEditing()) {
        MoveCursor(Cell >= 0 && Cell < FNrOfDigits ? Cell : CursorDigit);
        return;
    }
    SavedGlyphText = GlyphText;
    SavedDotPos = DotPos;
    // Every cell holds a digit while editing. Only the visible cells take part,
    // and letters (an "Error Lo" on show) count as zeros, so that counting and
    // the accepted number never depend on something the operator cannot see.
    QByteArray digits = GlyphText.left(FNrOfDigits);
    for (char &code : digits) {
        if (!glyphIsDigit(code))
            code = 0;
    }
    PrevGlyphText = GlyphText;
    PrevDotPos = DotPos;
    GlyphText = digits;
    if (DotPos >= FNrOfDigits)
        DotPos = -1;
    InvalidateDigits();
    if (Cell >= 0 && Cell < FNrOfDigits)
        CursorDigit = Cell;
    CursorDigit = std::clamp(CursorDigit, 0, FNrOfDigits - 1);
    BlinkOff = false;
    BlinkTimer.start();
}

// Leaves editing on screen: leading zeros go dark, the cursor stops blinking.
void TDigiDisplay2::FinishEdit(bool blankLeadingZeros)
{
    QByteArray glyphs = GlyphText;
    for (char &code : glyphs) {
        if (!blankLeadingZeros || code != 0)
            break;
        code = GlyphBlank;
    }
    PrevGlyphText = GlyphText;
    PrevDotPos = DotPos;
    GlyphText = glyphs;
    BlinkTimer.stop();
    BlinkOff = false;
    InvalidateDigits();
}

void TDigiDisplay2::EndEdit()
{
    if (IsEditing())
        FinishEdit();
}

void TDigiDisplay2::AcceptEdit()
{
    if (!IsEditing())
        return;
    FinishEdit();
    emit OnEditEnd();
}

void TDigiDisplay2::CancelEdit()
{
    if (!IsEditing())
        return;
    // The saved text is put back untouched: it was blanked when it was written.
    GlyphText = SavedGlyphText;
    DotPos = SavedDotPos;
    FinishEdit(false);
}

void TDigiDisplay2::MoveCursor(int cell)
{
    cell = std::clamp(cell, 0, FNrOfDigits - 1);
    if (cell == CursorDigit)
        return;
    const int from = CursorDigit;
    CursorDigit = cell;
    // The cell left behind must not stay in its dark phase; the new one starts lit.
    BlinkOff = false;
    InvalidateCell(from);
    InvalidateCell(CursorDigit);
}

// Up and Down: count the cursor digit with carry (or borrow) into the cells on
// its left. Running out of the first cell leaves the whole number unchanged.
void TDigiDisplay2::CountAtCursor(int delta)
{
    QByteArray glyphs = GlyphText;
    for (int i = CursorDigit; i >= 0; --i) {
        const int digit = glyphIsDigit(glyphs.at(i)) ? glyphs.at(i) : 0;
        const int next = digit + delta;
        if (next >= 0 && next <= 9) {
            glyphs[i] = char(next);
            SetGlyphs(glyphs, DotPos);
            return;
        }
        glyphs[i] = char(delta > 0 ? 0 : 9);
    }
}

bool TDigiDisplay2::HandleKey(int Key, const QString &Text)
{
    if (!IsEditing())
        return false;

    QChar c;
    if ((Key >= Qt::Key_0 && Key <= Qt::Key_9) || Key == Qt::Key_Period)
        c = QChar(Key);
    else if (Text.size() == 1 && ((Text.at(0) >= u'0' && Text.at(0) <= u'9') || Text.at(0) == u'.'))
        c = Text.at(0);

    if (c >= u'0' && c <= u'9') {
        QByteArray glyphs = GlyphText;
        glyphs[CursorDigit] = char(c.unicode() - u'0');
        for (int i = CursorDigit + 1; i < glyphs.size(); ++i)
            glyphs[i] = 0;
        SetGlyphs(glyphs, DotPos);
        MoveCursor(CursorDigit + 1);
        return true;
    }
    if (c == u'.') {
        if (CursorDigit == 0)
            return true; // no point in front of the first digit
        QByteArray glyphs = GlyphText;
        for (int i = CursorDigit + 1; i < glyphs.size(); ++i)
            glyphs[i] = 0;
        SetGlyphs(glyphs, CursorDigit - 1);
        return true;
    }

    switch (Key) {
    case Qt::Key_Backspace:
    case Qt::Key_Left:
        MoveCursor(CursorDigit - 1);
        return true;
    case Qt::Key_Right:
        MoveCursor(CursorDigit + 1);
        return true;
    case Qt::Key_Up:
        CountAtCursor(+1);
        return true;
    case Qt::Key_Down:
        CountAtCursor(-1);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        AcceptEdit();
        return true;
    case Qt::Key_Escape:
        CancelEdit();
        return true;
    default:
        return false;
    }
}

void TDigiDisplay2::BlinkTimerTimer()
{
    BlinkOff = !BlinkOff;
    InvalidateCell(CursorDigit);
}

void TDigiDisplay2::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !FLit)
        return;
    const int cell = cellAt(event->position().toPoint());
    if (cell < 0)
        return;
    // The second press of a double click does nothing more: it would undo
    // what the first one did.
    const bool secondOfDouble = LastPressTime != 0
        && event->timestamp() - LastPressTime < quint64(QGuiApplication::styleHints()->mouseDoubleClickInterval())
        && (event->position().toPoint() - LastPressPos).manhattanLength()
               <= QGuiApplication::styleHints()->mouseDoubleClickDistance();
    LastPressTime = secondOfDouble ? 0 : event->timestamp();
    LastPressPos = event->position().toPoint();
    if (secondOfDouble)
        return;
    if (IsEditing()) {
        AcceptEdit();
    } else {
        StartEdit(cell);
        emit OnEditBegin();
    }
}

void TDigiDisplay2::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The first press of a double click already started or ended the edit.
    event->accept();
}

void TDigiDisplay2::PaintCell(QPainter &p, const DigitCellLayout &l, int cell) const
{
    const QRect box = l.cellBox(cell);
    p.setClipRect(box);
    p.setPen(Qt::black);
    p.setBrush(FColor);
    p.drawRect(box.adjusted(0, 0, -1, -1));
    p.fillRect(QRect(box.left(), box.top(), box.width(), 1), EdgeGrey);
    p.fillRect(QRect(box.left(), box.top(), 1, box.height()), EdgeGrey);

    // A switched-off or failed display shows every segment dim.
    const bool showText = FDisplayOn && !FDispError;
    const char glyph = showText && cell < GlyphText.size() ? GlyphText.at(cell) : GlyphBlank;
    const bool dark = IsEditing() && BlinkOff && cell == CursorDigit;
    const QColor high = FLit && !dark ? FColorHigh : FColorLow;
    const QPoint origin = box.topLeft();

    for (int s = 1; s <= 7; ++s) {
        if (!glyphSegmentOn(glyph, s))
            p.fillRect(segmentPixels(l, s).translated(origin), FColorLow);
    }
    p.fillRect(segmentPixels(l, 8).translated(origin), FColorLow);
    for (int s = 1; s <= 7; ++s) {
        if (glyphSegmentOn(glyph, s))
            p.fillRect(segmentPixels(l, s).translated(origin), high);
    }
    if (showText && cell == DotPos)
        p.fillRect(segmentPixels(l, 8).translated(origin), high);
}

void TDigiDisplay2::paintEvent(QPaintEvent *event)
{
    QPainter p(this);
    const DigitCellLayout l = layout();
    if (l.boxWidth <= 0 || l.boxHeight <= 0)
        return;
    for (int i = 0; i < FNrOfDigits; ++i) {
        if (event->region().intersects(l.cellBox(i)))
            PaintCell(p, l, i);
    }
}
