#pragma once

// Analogue moving-needle meter (S-meter while receiving, power while
// transmitting). Readings are smoothed over the last five values; a new value
// repaints only the two small rectangles around the old and the new needle.

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QWidget>

#include <array>

class TDepresz : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int Value READ Value WRITE SetValue)
    Q_PROPERTY(QString Units READ Units WRITE SetUnits)
    Q_PROPERTY(bool Lit READ Lit WRITE SetLit)

public:
    explicit TDepresz(QWidget *parent = nullptr);

    // A new reading in percent of full scale; reading gives the smoothed mean
    // rounded, not clamped.
    int Value() const;
    void SetValue(int V);
    QString Units() const { return FUnits; }
    void SetUnits(const QString &value);
    // Lit exactly while the dial is white. Switching off clears the history.
    bool Lit() const;
    void SetLit(bool L);

    QColor Color() const { return FColor; }
    double smoothed() const { return Smoothed; }

    // Geometry, in the control's coordinates.
    static double needleAngle(double percent); // clamped to 0..100 first
    QPoint pivot() const;                      // the needle and the marks turn about it
    QPoint dialPoint(double percent, int radius) const;
    int dialRadius() const;                    // R: the dial arc
    // The needle's bounding rectangle at a value, grown by 2 px on every side.
    QRect needleRect(double percent) const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void SetColor(const QColor &value);

    std::array<int, 5> Samples{};
    double Smoothed = 0;
    int Divisions = 14;
    QString FUnits;
    QColor FColor;
};
