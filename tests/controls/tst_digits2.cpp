#include "common/TestEnvironment.h"
#include "controls/Digits2.h"
#include "PaintRecorder.h"

#include <QApplication>
#include <QImage>
#include <QSignalSpy>

namespace {

const QColor Background(0x27, 0x27, 0x27);
const QColor High(53, 255, 53);
const QColor Low(68, 68, 68);

// The main window's display: 8 cells on 200 px, no gap, lit.
struct DigitsRig
{
    TDigiDisplay2 d;
    QSignalSpy begins{&d, &TDigiDisplay2::OnEditBegin};
    QSignalSpy ends{&d, &TDigiDisplay2::OnEditEnd};

    explicit DigitsRig(const QString &text = QString(), bool lit = true)
    {
        d.resize(200, 40);
        d.SetNrOfDigits(8);
        d.SetDigitDist(0);
        d.SetColor(Background);
        d.SetColorHigh(High);
        d.SetColorLow(Low);
        d.SetLit(lit);
        d.SetAsString(text);
    }
    QString cells() const
    {
        QString s;
        for (char g : d.glyphText())
            s += charForGlyph(g);
        return s;
    }
};

QColor segmentColour(const TDigiDisplay2 &d, const QImage &img, int cell, int s)
{
    return img.pixelColor(segmentPixels(d.layout(), s).translated(d.cellBox(cell).topLeft()).center());
}

// The seven segments of a cell show the glyph, lit segments high.
bool showsGlyph(const TDigiDisplay2 &d, const QImage &img, int cell, char glyph)
{
    for (int s = 1; s <= 7; ++s)
        if (segmentColour(d, img, cell, s) != (glyphSegmentOn(glyph, s) ? High : Low))
            return false;
    return true;
}

// Keys as letters: digits and "." type, U D L R B move and count, E N
// accept (Return, Enter), X cancels, k is the keypad's 4, a and _ are no
// editing keys.
bool press(TDigiDisplay2 &d, QChar c)
{
    static const QHash<QChar, std::pair<int, QString>> keys{
        {u'U', {Qt::Key_Up, {}}},    {u'D', {Qt::Key_Down, {}}},      {u'L', {Qt::Key_Left, {}}},
        {u'R', {Qt::Key_Right, {}}}, {u'B', {Qt::Key_Backspace, {}}}, {u'E', {Qt::Key_Return, {}}},
        {u'N', {Qt::Key_Enter, {}}}, {u'X', {Qt::Key_Escape, {}}},    {u'k', {Qt::Key_unknown, "4"}},
        {u'a', {Qt::Key_A, "a"}},    {u'_', {Qt::Key_Space, " "}}};
    if (keys.contains(c))
        return d.HandleKey(keys.value(c).first, keys.value(c).second);
    return d.HandleKey(c == u'.' ? Qt::Key_Period : Qt::Key_0 + (c.unicode() - '0'), QString(c));
}

} // namespace

class TestDigits2 : public QObject
{
    Q_OBJECT
private slots:
    void asString_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("cells");
        QTest::addColumn<int>("dot");
        QTest::addColumn<QString>("readBack");
        QTest::newRow("3550.00") << "3550.00" << "  355000" << 5 << "3550.00";
        QTest::newRow("zero before point stays") << "0.5" << "      05" << 6 << "0.5";
        QTest::newRow("leading zeros blank") << "007" << "       7" << -1 << "7";
        QTest::newRow("lone zero stays") << "0" << "       0" << -1 << "0";
        QTest::newRow("zeros after sign") << "-005" << "    -  5" << -1 << "-  5";
        QTest::newRow("plus has no glyph") << "+07" << "       7" << -1 << "7";
        QTest::newRow("zeros before point-zero") << "00.5" << "      05" << 6 << "0.5";
        QTest::newRow("point after last cell") << "5." << "       5" << 7 << "5.";
        QTest::newRow("full width") << "145500.12" << "14550012" << 5 << "145500.12";
        QTest::newRow("error") << "Error Lo" << "Error Lo" << -1 << "Error Lo";
        QTest::newRow("longer than the cells") << "123456789.5" << "1234567895" << 8 << "123456789.5";
        QTest::newRow("unknown characters blank") << "7x" << "      7 " << -1 << "7";
    }
    void asString()
    {
        QFETCH(QString, text);
        DigitsRig t(text);
        QTEST(t.cells(), "cells");
        QTEST(t.d.pointCell(), "dot");
        QTEST(t.d.AsString(), "readBack");
    }

    void fewerDigitsRepads()
    {
        TDigiDisplay2 d;
        d.SetAsString("12.5");
        QCOMPARE(d.pointCell(), 3); // five cells: "  125"
        d.SetNrOfDigits(8);
        QCOMPARE(d.pointCell(), 6);
        QCOMPARE(d.AsString(), QString("12.5"));
        d.SetNrOfDigits(0); // at least one cell
        QCOMPARE(d.NrOfDigits(), 1);
    }

    void renders()
    {
        DigitsRig t;
        for (const QChar c : displayableGlyphChars()) {
            t.d.SetAsString(QString("8") + c);
            const QImage img = t.d.grab().toImage();
            QVERIFY2(showsGlyph(t.d, img, 7, glyphForChar(c)) && showsGlyph(t.d, img, 6, 8), qPrintable(QString(c)));
        }
        t.d.SetAsString("3550.00");
        QImage img = t.d.grab().toImage();
        QVERIFY(showsGlyph(t.d, img, 0, GlyphBlank));
        for (int cell = 0; cell < 8; ++cell)
            QCOMPARE(segmentColour(t.d, img, cell, 8), cell == 5 ? High : Low);

        // Unlit, switched off or failed: every segment low.
        for (int way = 0; way < 3; ++way) {
            t.d.SetLit(way != 0);
            t.d.SetDisplayOn(way != 1);
            t.d.SetDispError(way == 2);
            img = t.d.grab().toImage();
            QVERIFY2(showsGlyph(t.d, img, 2, GlyphBlank) && segmentColour(t.d, img, 5, 8) == Low, qPrintable(QString::number(way)));
        }
        t.d.SetAsString("3550.00"); // a new text clears the error
        QVERIFY(showsGlyph(t.d, t.d.grab().toImage(), 2, glyphForChar(u'3')));
    }

    void onlyChangedCellsRepaint()
    {
        DigitsRig t("3550.00");
        t.d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&t.d));
        PaintRecorder rec(&t.d);
        const struct { const char *text; QRegion region; } steps[] = {
            {"3550.10", QRegion(t.d.cellBox(6))},
            {"3551.12", QRegion(t.d.cellBox(5)) + t.d.cellBox(7)},
            {"3551.12", QRegion()},
            {"35511.2", QRegion(t.d.rect())}, // the point moved: every cell
        };
        for (const auto &step : steps) {
            rec.settle();
            t.d.SetAsString(step.text);
            rec.flush();
            QCOMPARE(rec.painted, step.region);
        }
        rec.settle();
        t.d.SetLit(!t.d.Lit()); // every segment changes colour
        rec.flush();
        QVERIFY(rec.painted.contains(t.d.cellBox(0)) && rec.painted.contains(t.d.cellBox(7)));
    }

    void clicksStartAndEndEditing()
    {
        DigitsRig t("3550.00", false);
        auto state = [&] {
            return QString("%1 %2 %3 %4").arg(t.d.IsEditing()).arg(t.begins.count()).arg(t.ends.count()).arg(t.cells());
        };
        const QPoint cell3 = t.d.cellBox(3).center();
        QTest::mouseClick(&t.d, Qt::LeftButton, {}, cell3); // not lit
        t.d.SetLit(true);
        QTest::mouseClick(&t.d, Qt::LeftButton, {}, QPoint(cell3.x(), 38)); // below the cells
        QTest::mouseClick(&t.d, Qt::RightButton, {}, cell3);
        QCOMPARE(state(), QString("0 0 0   355000"));
        QTest::mouseClick(&t.d, Qt::LeftButton, {}, cell3);
        QCOMPARE(state(), QString("1 1 0 00355000")); // blanks became zeros
        QCOMPARE(t.d.cursorCell(), 3);
        QTest::mouseClick(&t.d, Qt::LeftButton, {}, t.d.cellBox(6).center(), 1000);
        QCOMPARE(state(), QString("0 1 1   355000"));

        // What a double click delivers (press, release, press, double click,
        // release) acts once; a later single click accepts.
        const QPointF at = t.d.cellBox(4).center();
        auto send = [&](QEvent::Type type, quint64 time) {
            QMouseEvent e(type, at, t.d.mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, {});
            e.setTimestamp(time);
            QApplication::sendEvent(&t.d, &e);
        };
        for (auto [type, time] : {std::pair{QEvent::MouseButtonPress, 10000}, {QEvent::MouseButtonRelease, 10050},
                                  {QEvent::MouseButtonPress, 10150}, {QEvent::MouseButtonDblClick, 10150},
                                  {QEvent::MouseButtonRelease, 10200}})
            send(type, quint64(time));
        QCOMPARE(state(), QString("1 2 1 00355000"));
        send(QEvent::MouseButtonPress, 20000);
        QCOMPARE(state(), QString("0 2 2   355000"));
    }

    void editingKeys_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("cell");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("cells");  // after the keys
        QTest::addColumn<int>("cursor");     // after the keys
        QTest::addColumn<QString>("result"); // when editing has ended
        QTest::addColumn<int>("ends");       // OnEditEnd raised
        QTest::newRow("digits overwrite and zero the rest") << "3550.00" << 2 << "7074" << "00707400" << 6 << "7074.00" << 0;
        QTest::newRow("Return accepts") << "3550.00" << 2 << "7074E" << "  707400" << 6 << "7074.00" << 1;
        QTest::newRow("last cell keeps the cursor") << "3550.00" << 7 << "56N" << "  355006" << 7 << "3550.06" << 1;
        QTest::newRow("no point before the first cell") << "3550.00" << 0 << "." << "00355000" << 0 << "3550.00" << 0;
        QTest::newRow("point moves and zeroes") << "3550.00" << 4 << ".9." << "00359000" << 5 << "359.000" << 0;
        QTest::newRow("up carries, down borrows") << "3599.99" << 7 << "UDLU" << "00360009" << 6 << "3600.09" << 0;
        QTest::newRow("carry out of the first cell") << "999.99999" << 5 << "U" << "99999999" << 5 << "999.99999" << 0;
        QTest::newRow("carry stops at the first cell") << "99990000" << 3 << "URU" << "99991000" << 4 << "99991000" << 0;
        QTest::newRow("borrow out of the first cell") << "0" << 7 << "D" << "00000000" << 7 << "" << 0;
        QTest::newRow("moves stay inside") << "1" << 0 << "LBRRRRRRRRRRB" << "00000001" << 6 << "1" << 0;
        QTest::newRow("keypad digit, other keys refused") << "1" << 6 << "ka_" << "00000040" << 7 << "40" << 0;
        QTest::newRow("Esc restores") << "0.1234567" << 3 << "1.UX" << "01234567" << 4 << "0.1234567" << 0;
        QTest::newRow("Esc restores an error") << "Error Hi" << 3 << "1.UX" << "Error Hi" << 4 << "Error Hi" << 0;
        QTest::newRow("letters count as zeros") << "Error Lo" << 7 << "U" << "00000001" << 7 << "1" << 0;
        QTest::newRow("up to nine") << "3588" << 7 << "U" << "00003589" << 7 << "3589" << 0;
        QTest::newRow("hidden cells take no part") << "123456789.5" << 7 << "E" << "12345678" << 7 << "12345678" << 1;
    }
    void editingKeys()
    {
        QFETCH(QString, text);
        QFETCH(int, cell);
        QFETCH(QString, keys);
        QFETCH(QString, result);
        DigitsRig t(text);
        t.d.StartEdit(cell);
        for (const QChar c : keys)
            QCOMPARE(press(t.d, c), c != u'a' && c != u'_');
        QTEST(t.cells(), "cells");
        QTEST(t.d.cursorCell(), "cursor");
        t.d.EndEdit();
        QCOMPARE(t.d.AsString(), result);
        QTEST(int(t.ends.count()), "ends");
        QVERIFY(!press(t.d, u'5')); // not editing
    }

    void editEndsWithoutEvent()
    {
        DigitsRig t("3550.00");
        t.d.StartEdit(2);
        press(t.d, u'1');
        t.d.SetAsString("7074.00"); // a new text ends the edit
        QVERIFY(!t.d.IsEditing() && !t.d.cursorDark());
        QCOMPARE(t.d.AsString(), QString("7074.00"));
        t.d.StartEdit(2);
        press(t.d, u'9');
        t.d.SetLit(false); // going dark drops the open entry
        QVERIFY(!t.d.IsEditing());
        QCOMPARE(t.d.AsString(), QString("7074.00"));
        QCOMPARE(t.ends.count(), 0);

        t.d.StartEdit(0); // dark: no editing, nor by the window's keystroke
        t.d.BeginUserEdit(0);
        QVERIFY(!t.d.IsEditing());
        t.d.SetLit(true);
        t.d.BeginUserEdit(0);
        t.d.BeginUserEdit(0); // already editing: nothing more
        QVERIFY(t.d.IsEditing());
        QCOMPARE(t.begins.count(), 1);
    }
};

TARNWICK_TEST_CLASS(TestDigits2)
#include "tst_digits2.moc"
