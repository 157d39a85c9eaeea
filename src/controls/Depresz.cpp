#include "controls/Depresz.h"

#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <QtMath>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

const QColor DialWhite(0xFF, 0xFF, 0xFF);
const QColor DialOffGrey(0xF0, 0xF0, 0xF0);
const QColor HubGrey(0x80, 0x80, 0x80);
const QColor EdgeLight(0xC0, 0xC0, 0xC0);

// Angle in sixteenths of a degree, counter-clockwise from three o'clock, of
// the direction from a centre towards a point dx right and dyUp above it.
int qtAngle(double dx, double dyUp)
{
    return qRound(qRadiansToDegrees(std::atan2(dyUp, dx)) * 16);
}

} // namespace

TDepresz::TDepresz(QWidget *parent)
    : QWidget(parent)
    , FUnits(QStringLiteral("S/PWR"))
    , FColor(DialWhite)
{
    resize(151, 70);
}

int TDepresz::Value() const
{
    return int(std::lround(Smoothed));
}

void TDepresz::SetValue(int V)
{
    const double old = Smoothed;
    std::rotate(Samples.begin(), Samples.begin() + 1, Samples.end());
    Samples.back() = V;
    // Summed in 64 bits: five readings near the int limits must not overflow.
    const qint64 sum = std::accumulate(Samples.begin(), Samples.end(), qint64(0));
    Smoothed = double(sum) / double(Samples.size());
    if (Smoothed != old) {
        update(needleRect(old));
        update(needleRect(Smoothed));
    }
}

void TDepresz::SetUnits(const QString &value)
{
    FUnits = value;
    update();
}

bool TDepresz::Lit() const
{
    return FColor == DialWhite;
}

void TDepresz::SetLit(bool L)
{
    if (L == Lit())
        return;
    if (!L) {
        SetColor(DialOffGrey);
        Samples.fill(0);
        Smoothed = 0;
    } else {
        SetColor(DialWhite);
    }
    update();
}

void TDepresz::SetColor(const QColor &value)
{
    FColor = value;
    update();
}

double TDepresz::needleAngle(double percent)
{
    const double v = std::clamp(percent, 0.0, 100.0);
    return 3 * M_PI / 2 + (v - 50) / 74;
}

QPoint TDepresz::pivot() const
{
    return QPoint(width() / 2, width() / 2 + 50);
}

int TDepresz::dialRadius() const
{
    return (width() * 4) / 6;
}

QPoint TDepresz::dialPoint(double percent, int radius) const
{
    const double a = needleAngle(percent);
    return pivot() + QPoint(qRound(radius * std::cos(a)), qRound(radius * std::sin(a)));
}

QRect TDepresz::needleRect(double percent) const
{
    const QPoint outer = dialPoint(percent, dialRadius() + 12);
    const QPoint inner = dialPoint(percent, 62);
    const QRect bounds(QPoint(std::min(outer.x(), inner.x()), std::min(outer.y(), inner.y())),
                       QPoint(std::max(outer.x(), inner.x()), std::max(outer.y(), inner.y())));
    return bounds.adjusted(-2, -2, 2, 2);
}

void TDepresz::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const int W = width();
    const int H = height();
    const int cx = W / 2;
    const int R = dialRadius();

    p.fillRect(rect(), FColor);

    // The needle's hub: the top of a grey disc centred below the bottom edge.
    p.setPen(QPen(HubGrey, 1));
    p.setBrush(HubGrey);
    const int hubStart = qtAngle(60, 50);
    p.drawChord(QRect(cx - 60, H + 50 - 60, 120, 120), hubStart, 180 * 16 - 2 * hubStart);

    // Black frame and the sunken edge.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(0, 0, W - 1, H - 1);
    p.fillRect(QRect(QPoint(1, 1), QPoint(1, H - 2)), HubGrey);
    p.fillRect(QRect(QPoint(1, 1), QPoint(W - 2, 1)), HubGrey);
    p.fillRect(QRect(QPoint(2, 2), QPoint(2, H - 3)), EdgeLight);
    p.fillRect(QRect(QPoint(2, 2), QPoint(W - 3, 2)), EdgeLight);

    // The dial arc.
    const int arcStart = qtAngle(R, 120);
    p.drawArc(QRect(cx - R, H + 50 - R, 2 * R, 2 * R), arcStart, 180 * 16 - 2 * arcStart);

    // Units caption.
    p.setBackgroundMode(Qt::OpaqueMode);
    p.setBackground(FColor);
    QFont unitsFont = font();
    unitsFont.setPointSize(14);
    p.setFont(unitsFont);
    {
        const QFontMetrics fm(unitsFont);
        p.drawText(QPoint(cx - fm.horizontalAdvance(FUnits) / 2, 40 + fm.ascent()), FUnits);
    }

    // Marks S0..S9 and full scale; S1, S5 and S9 are labelled.
    QFont labelFont = font();
    labelFont.setPointSize(8);
    p.setFont(labelFont);
    const QFontMetrics lfm(labelFont);
    for (int k = 0; k <= 10; ++k) {
        const double v = k < 10 ? 100.0 / Divisions * k : 100.0;
        const QPoint mark = dialPoint(v, R + 4);
        p.fillRect(QRect(mark.x() - 1, mark.y() - 1, 3, 3), Qt::black);
        if (k == 1 || k == 5 || k == 9) {
            const QString label = QString::number(k);
            const QPoint at = dialPoint(v, R + 12);
            p.drawText(QPoint(at.x() - lfm.horizontalAdvance(label) / 2,
                              at.y() - lfm.height() / 2 + lfm.ascent()),
                       label);
        }
    }
    p.setBackgroundMode(Qt::TransparentMode);

    // The needle.
    p.setPen(QPen(Qt::black, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(dialPoint(Smoothed, R + 12), dialPoint(Smoothed, 62));
}
