#include "common/TestEnvironment.h"
#include "controls/PaintRecorder.h"
#include "controls/Digits2.h"

#include <QApplication>
#include <QImage>
#include <QSignalSpy>

namespace {

const QColor Background(0x27, 0x27, 0x27);
const QColor High(53, 255, 53);
const QColor Low(68, 68, 68);

// The main window's display: 8 cells on 200 px, no gap.
void setUpLikeMainWindow(TDigiDisplay2 &d)
{
    d.resize(200, 40);
    d.SetNrOfDigits(8);
    d.SetDigitDist(0);
    d.SetColor(Background);
    d.SetColorHigh(High);
    d.SetColorLow(Low);
}

QString glyphChars(const QByteArray &glyphs)
{
    QString s;
    for (char g : glyphs)
        s += charForGlyph(g);
    return s;
}

QColor pixelAt(const QImage &img, const QPoint &p)
{
    return img.pixelColor(p);
}

// Colour painted at the middle of segment s (1..8) of a cell.
QColor segmentColour(const TDigiDisplay2 &d, const QImage &img, int cell, int s)
{
    const QRect r = segmentPixels(d.layout(), s).translated(d.cellBox(cell).topLeft());
    return pixelAt(img, r.center());
}

bool segmentLitAsGlyph(const TDigiDisplay2 &d, const QImage &img, int cell, char glyph, bool lit)
{
    for (int s = 1; s <= 7; ++s) {
        const QColor want = lit && glyphSegmentOn(glyph, s) ? High : Low;
        if (segmentColour(d, img, cell, s) != want) {
            qWarning() << "cell" << cell << "segment" << s << "is" << segmentColour(d, img, cell, s)
                       << "want" << want;
            return false;
        }
    }
    return true;
}

} // namespace

class TestDigits2 : public QObject
{
    Q_OBJECT
private slots:
    void defaults()
    {
        TDigiDisplay2 d;
        QCOMPARE(d.size(), QSize(100, 100));
        QCOMPARE(d.NrOfDigits(), 5);
        QCOMPARE(d.DigitDist(), 1);
        QCOMPARE(d.Color(), QColor(Qt::black));
        QCOMPARE(d.ColorHigh(), QColor(255, 255, 255));
        QCOMPARE(d.ColorLow(), QColor(128, 128, 128));
        QVERIFY(!d.Lit());
        QVERIFY(d.DisplayOn());
        QVERIFY(!d.DispError());
        QCOMPARE(d.AsString(), QString());
        QCOMPARE(d.glyphText().size(), 5);
        QVERIFY(!d.IsEditing());
    }

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
        QTest::newRow("last zero stays") << "000" << "       0" << -1 << "0";
        QTest::newRow("zeros after sign") << "-005" << "    -  5" << -1 << "-  5";
        QTest::newRow("plus has no glyph") << "+07" << "       7" << -1 << "7";
        QTest::newRow("zero inside kept") << "1007" << "    1007" << -1 << "1007";
        QTest::newRow("zeros before point-zero") << "00.5" << "      05" << 6 << "0.5";
        QTest::newRow("point after last cell") << "5." << "       5" << 7 << "5.";
        QTest::newRow("full width") << "145500.12" << "14550012" << 5 << "145500.12";
        QTest::newRow("error lo") << "Error Lo" << "Error Lo" << -1 << "Error Lo";
        QTest::newRow("error hi") << "Error Hi" << "Error Hi" << -1 << "Error Hi";
        QTest::newRow("unknown characters blank") << "7x" << "      7 " << -1 << "7";
        QTest::newRow("empty") << "" << "        " << -1 << "";
    }
    void asString()
    {
        QFETCH(QString, text);
        QFETCH(QString, cells);
        QFETCH(int, dot);
        TDigiDisplay2 d;
        setUpLikeMainWindow(d);
        d.SetAsString(text);
        QCOMPARE(glyphChars(d.glyphText()), cells);
        QCOMPARE(d.pointCell(), dot);
        QTEST(d.AsString(), "readBack");
    }

    void longTextIsNotCut()
    {
        TDigiDisplay2 d;
        setUpLikeMainWindow(d);
        d.SetAsString("123456789.5");
        QCOMPARE(d.AsString(), QString("123456789.5"));
        QCOMPARE(d.glyphText().size(), 10);
        // Only the first eight show.
        d.SetLit(true);
        const QImage img = d.grab().toImage();
        QVERIFY(segmentLitAsGlyph(d, img, 0, 1, true));
        QVERIFY(segmentLitAsGlyph(d, img, 7, 8, true));
        QCOMPARE(segmentColour(d, img, 7, 8), Low); // the point lies after cell 8
    }

    void fewerDigitsRepads()
    {
        TDigiDisplay2 d;
        d.SetAsString("12.5");
        QCOMPARE(glyphChars(d.glyphText()), QString("  125"));
        QCOMPARE(d.pointCell(), 3);
        d.SetNrOfDigits(8);
        QCOMPARE(glyphChars(d.glyphText()), QString("     125"));
        QCOMPARE(d.AsString(), QString("12.5"));
    }

    void allTwentyGlyphsAreDisplayable()
    {
        const QString chars = displayableGlyphChars();
        QCOMPARE(chars.size(), 20);
        QSet<char> codes;
        for (const QChar c : chars) {
            const char g = glyphForChar(c);
            QCOMPARE(charForGlyph(g), c);
            codes.insert(g);
            int segments = 0;
            for (int s = 1; s <= 7; ++s)
                segments += glyphSegmentOn(g, s);
            QCOMPARE(segments == 0, c == u' ');
        }
        QCOMPARE(codes.size(), 20);
        for (const QString &text : {QString("Error Lo"), QString("Error Hi")}) {
            for (const QChar c : text)
                QVERIFY(chars.contains(c));
        }
        QCOMPARE(glyphForChar(u'x'), GlyphBlank);
        QCOMPARE(glyphForChar(u'.'), GlyphBlank);
    }

    void segmentTableSpotChecks()
    {
        auto on = [](QChar c) {
            QString s;
            for (int seg = 1; seg <= 7; ++seg)
                s += glyphSegmentOn(glyphForChar(c), seg) ? u'1' : u'0';
            return s;
        };
        QCOMPARE(on(u'0'), QString("1110111"));
        QCOMPARE(on(u'1'), QString("0010010"));
        QCOMPARE(on(u'4'), QString("0111010"));
        QCOMPARE(on(u'7'), QString("1010010"));
        QCOMPARE(on(u'8'), QString("1111111"));
        QCOMPARE(on(u'-'), QString("0001000"));
        QCOMPARE(on(u'E'), QString("1101101"));
        QCOMPARE(on(u'r'), QString("0001100"));
        QCOMPARE(on(u'o'), QString("0001111"));
        QCOMPARE(on(u'L'), QString("0100101"));
        QCOMPARE(on(u'H'), QString("0111110"));
        QCOMPARE(on(u'i'), QString("0000010"));
    }

    void layoutGeometry()
    {
        // 200 px over 8 cells without a gap: cells 25 px apart and wide, 35 high;
        // the segment box is shrunk by 25 div 6 + 1 = 5 on every side.
        const DigitCellLayout l = digitCellLayout(200, 8, 0);
        QCOMPARE(l.cellWidth, 25);
        QCOMPARE(l.boxWidth, 25);
        QCOMPARE(l.boxHeight, 35);
        QCOMPARE(l.L, 5);
        QCOMPARE(l.T, 5);
        QCOMPARE(l.R, 19);
        QCOMPARE(l.B, 29);
        QCOMPARE(l.cellBox(3), QRect(75, 0, 25, 35));
        QCOMPARE(segmentPixels(l, 1), QRect(QPoint(5, 4), QPoint(16, 5)));
        QCOMPARE(segmentPixels(l, 2), QRect(QPoint(4, 5), QPoint(5, 15)));
        QCOMPARE(segmentPixels(l, 3), QRect(QPoint(18, 5), QPoint(19, 15)));
        QCOMPARE(segmentPixels(l, 4), QRect(QPoint(5, 16), QPoint(16, 17)));
        QCOMPARE(segmentPixels(l, 5), QRect(QPoint(4, 19), QPoint(5, 29)));
        QCOMPARE(segmentPixels(l, 6), QRect(QPoint(18, 19), QPoint(19, 29)));
        QCOMPARE(segmentPixels(l, 7), QRect(QPoint(5, 29), QPoint(16, 30)));
        QCOMPARE(segmentPixels(l, 8), QRect(QPoint(21, 29), QPoint(22, 30)));

        // A gap narrows the box, not the distance between cells.
        const DigitCellLayout g = digitCellLayout(100, 5, 1);
        QCOMPARE(g.cellWidth, 20);
        QCOMPARE(g.boxWidth, 19);
        QCOMPARE(g.boxHeight, 27);
        QCOMPARE(g.cellBox(1), QRect(20, 0, 19, 27));
        QCOMPARE(digitCellLayout(0, 0, 0).boxWidth, 0); // no division by zero
    }

    void rendersEveryGlyph()
    {
        TDigiDisplay2 d;
        setUpLikeMainWindow(d);
        d.SetLit(true);
        for (const QChar c : displayableGlyphChars()) {
            d.SetAsString(QString("8") + c);
            const QImage img = d.grab().toImage();
            QVERIFY2(segmentLitAsGlyph(d, img, 7, glyphForChar(c), true), qPrintable(QString(c)));
            QVERIFY(segmentLitAsGlyph(d, img, 6, 8, true));
            QVERIFY(segmentLitAsGlyph(d, img, 5, GlyphBlank, true));
        }
    }

    void rendersCellFrameAndPoint()
    {
        TDigiDisplay2 d;
        setUpLikeMainWindow(d);
        d.SetLit(true);
        d.SetAsString("3550.00");
        const QImage img = d.grab().toImage();
        const QRect box = d.cellBox(2);
        QCOMPARE(pixelAt(img, box.topLeft() + QPoint(10, 0)), QColor(0x80, 0x80, 0x80));
        QCOMPARE(pixelAt(img, box.topLeft() + QPoint(0, 20)), QColor(0x80, 0x80, 0x80));
        QCOMPARE(pixelAt(img, box.bottomRight()), QColor(Qt::black));
        QCOMPARE(pixelAt(img, box.topLeft() + QPoint(12, 10)), Background); // inside the upper loop
        QVERIFY(segmentLitAsGlyph(d, img, 2, glyphForChar(u'3'), true));
        QVERIFY(segmentLitAsGlyph(d, img, 0, GlyphBlank, true));
        for (int cell = 0; cell < 8; ++cell)
            QCOMPARE(segmentColour(d, img, cell, 8), cell == 5 ? High : Low);
    }

    void unlitDrawsEverythingLow()
    {
        TDigiDisplay2 d;
        setUpLikeMainWindow(d);
        d.SetAsString("3550.00");
        const QImage img = d.grab().toImage();
        for (int cell = 0; cell < 8; ++cell) {
            QVERIFY(segmentLitAsGlyph(d, img, cell, GlyphBlank, true));
            QCOMPARE(segmentColour(d, img, cell, 8), Low);
        }
        QCOMPARE(d.cursor().shape(), Qt::ArrowCursor);
        d.SetLit(true);
        QCOMPARE(d.cursor().shape(), Qt::PointingHandCursor);
    }

    void onlyChangedCellsRepaint()
    {
        TDigiDisplay2 d;
        setUpLikeMainWindow(d);
        d.SetLit(true);
        d.SetAsString("3550.00");
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        PaintRecorder rec(&d);
        rec.settle();

        d.SetAsString("3550.10");
        rec.flush();
        QCOMPARE(rec.painted, QRegion(d.cellBox(6)));

        rec.settle();
        d.SetAsString("3551.12");
        rec.flush();
        QCOMPARE(rec.painted, QRegion(d.cellBox(5)) + d.cellBox(7));

        rec.settle();
        d.SetAsString("3551.12");
        rec.flush();
        QCOMPARE(rec.paints, 0);

        // The point moved: every cell.
        rec.settle();
        d.SetAsString("35511.2");
        rec.flush();
        QVERIFY(rec.painted.contains(d.rect()));
    }

    void clickStartsAndEndsEditing()
    {
        TDigiDisplay2 d;
        setUpLikeMainWindow(d);
        d.SetAsString("3550.00");
        QSignalSpy begin(&d, &TDigiDisplay2::OnEditBegin);
        QSignalSpy end(&d, &TDigiDisplay2::OnEditEnd);

        QTest::mouseClick(&d, Qt::LeftButton, {}, d.cellBox(3).center());
        QVERIFY(!d.IsEditing()); // not lit
        QCOMPARE(begin.count(), 0);

        d.SetLit(true);
        QTest::mouseClick(&d, Qt::LeftButton, {}, QPoint(d.cellBox(3).center().x(), 38));
        QVERIFY(!d.IsEditing()); // below the cell boxes
        QTest::mouseClick(&d, Qt::RightButton, {}, d.cellBox(3).center());
        QVERIFY(!d.IsEditing());

        QTest::mouseClick(&d, Qt::LeftButton, {}, d.cellBox(3).center());
        QVERIFY(d.IsEditing());
        QCOMPARE(begin.count(), 1);
        QCOMPARE(d.cursorCell(), 3);
        QCOMPARE(glyphChars(d.glyphText()), QString("00355000")); // blanks became zeros

        QTest::mouseClick(&d, Qt::LeftButton, {}, d.cellBox(6).center(), 1000);
        QVERIFY(!d.IsEditing());
        QCOMPARE(end.count(), 1);
        QCOMPARE(d.AsString(), QString("3550.00"));
        QCOMPARE(glyphChars(d.glyphText()), QString("  355000"));
    }

    void doubleClickActsOnce()
    {
        TDigiDisplay2 d;
        setUpLikeMainWindow(d);
        d.SetLit(true);
        d.SetAsString("3550.00");
        QSignalSpy begin(&d, &TDigiDisplay2::OnEditBegin);
        QSignalSpy end(&d, &TDigiDisplay2::OnEditEnd);
        // What a real double click delivers: press, release, press, double click, release.
        const QPointF at = d.cellBox(4).center();
        auto send = [&](QEvent::Type type, quint64 time) {
            QMouseEvent e(type, at, d.mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, {});
            e.setTimestamp(time);
            QApplication::sendEvent(&d, &e);
        };
        send(QEvent::MouseButtonPress, 10000);
        send(QEvent::MouseButtonRelease, 10050);
        send(QEvent::MouseButtonPress, 10150);
        send(QEvent::MouseButtonDblClick, 10150);
        send(QEvent::MouseButtonRelease, 10200);
        QVERIFY(d.IsEditing());
        QCOMPARE(begin.count(), 1);
        QCOMPARE(end.count(), 0);
        // A later single click accepts.
        send(QEvent::MouseButtonPress, 20000);
        send(QEvent::MouseButtonRelease, 20050);
        QVERIFY(!d.IsEditing());
        QCOMPARE(end.count(), 1);
    }

    void typingOverwritesAndZeroesTheRest()
    {
        TDigiDisplay2 d;
        setUpLikeMainWindow(d);
        d.SetLit(true);
        d.SetAsString("3550.00");
        QSignalSpy end(&d, &TDigiDisplay2::OnEditEnd);
        d.StartEdit(2);
        QVERIFY(d.HandleKey(Qt::Key_7, "7"));
        QCOMPARE(glyphChars(d.glyphText()), QString("00700000"));
        QCOMPARE(d.cursorCell(), 3);
        QVERIFY(d.HandleKey(Qt::Key_0, "0"));
        QVERIFY(d.HandleKey(Qt::Key_7, "7"));
        QVERIFY(d.HandleKey(Qt::Key_4, "4"));
        QCOMPARE(d.cursorCell(), 6);
        QCOMPARE(d.pointCell(), 5); // the point stays where it was
        QVERIFY(d.HandleKey(Qt::Key_Return));
        QVERIFY(!d.IsEditing());
        QCOMPARE(end.count(), 1);
        QCOMPARE(d.AsString(), QString("7074.00"));
    }

    void digitInLastCellKeepsCursor()
    {
        TDigiDisplay2 d;
        setUpLikeMainWindow(d);
        d.SetLit(true);
        d.SetAsString("3550.00");
        d.StartEdit(7);
        QVERIFY(d.HandleKey(Qt::Key_5, "5"));
        QCOMPARE(d.cursorCell(), 7);
        QVERIFY(d.HandleKey(Qt::Key_6, "6"));
        QCOMPARE(d.cursorCell(), 7);
        QCOMPARE(d.AsString(), QString("003550.06"));
        QVERIFY(d.HandleKey(Qt::Key_Enter));
        QCOMPARE(d.AsString(), QString("3550.06"));
    }

    void pointMovesAndIsIgnoredInFirstCell()
    {
        TDigiDisplay2 d;
        setUpLikeMainWindow(d);
        d.SetLit(true);
        d.SetAsString("3550.00");
        d.StartEdit(0);
        const QByteArray before = d.glyphText();
        QVERIFY(d.HandleKey(Qt::Key_Period, "."));
        QCOMPARE(d.pointCell(), 5);
        QCOMPARE(d.glyphText(), before);

        d.CancelEdit();
        d.StartEdit(4);
        QVERIFY(d.HandleKey(Qt::Key_Period, "."));
        QCOMPARE(d.pointCell(), 3);
        QCOMPARE(d.cursorCell(), 4);
        QVERIFY(d.HandleKey(Qt::Key_9, "9"));
        QVERIFY(d.HandleKey(Qt::Key_Period, ".")); // cursor 5: point after cell 4, rest zeroed
        QCOMPARE(d.pointCell(), 4);
        d.EndEdit();
        QCOMPARE(d.AsString(), QString("359.000"));
    }

    void upCarriesAndDownBorrows()
    {
        TDigiDisplay2 d;
        setUpLikeMainWindow(d);
        d.SetLit(true);
        d.SetAsString("3599.99");
        d.StartEdit(7);
        QVERIFY(d.HandleKey(Qt::Key_Up));
        QCOMPARE(glyphChars(d.glyphText()), QString("00360000"));
        QVERIFY(d.HandleKey(Qt::Key_Down));
        QCOMPARE(glyphChars(d.glyphText()), QString("00359999"));
        QVERIFY(d.HandleKey(Qt::Key_Left));
        QVERIFY(d.HandleKey(Qt::Key_Up));
        QCOMPARE(glyphChars(d.glyphText()), QString("00360009"));
        d.EndEdit();
        QCOMPARE(d.AsString(), QString("3600.09"));
    }

    void carryOutOfFirstCellIsCancelled()
    {
        TDigiDisplay2 d;
        setUpLikeMainWindow(d);
        d.SetLit(true);
        d.SetAsString("999.99999");
        d.StartEdit(5);
        const QByteArray before = d.glyphText();
        QVERIFY(d.HandleKey(Qt::Key_Up));
        QCOMPARE(d.glyphText(), before);

        d.SetAsString("99990000");
        d.StartEdit(3);
        QVERIFY(d.HandleKey(Qt::Key_Up));
        QCOMPARE(glyphChars(d.glyphText()), QString("99990000"));
        QVERIFY(d.HandleKey(Qt::Key_Right));
        QVERIFY(d.HandleKey(Qt::Key_Up));
        QCOMPARE(glyphChars(d.glyphText()), QString("99991000"));

        d.SetAsString("0");
        d.StartEdit(7);
        QVERIFY(d.HandleKey(Qt::Key_Down)); // borrow out of the first cell
        QCOMPARE(glyphChars(d.glyphText()), QString("00000000"));
    }

    void escRestoresExactly()
    {
        TDigiDisplay2 d;
        setUpLikeMainWindow(d);
        d.SetLit(true);
        for (const QString &text : {QString("0.5"), QString("3550.00"), QString("0.1234567"), QString("Error Hi")}) {
            d.SetAsString(text);
            const QByteArray glyphs = d.glyphText();
            const int dot = d.pointCell();
            QSignalSpy end(&d, &TDigiDisplay2::OnEditEnd);
            d.StartEdit(3);
            QVERIFY(d.HandleKey(Qt::Key_1, "1"));
            QVERIFY(d.HandleKey(Qt::Key_Period, "."));
            QVERIFY(d.HandleKey(Qt::Key_Up));
            QVERIFY(d.HandleKey(Qt::Key_Escape));
            QVERIFY(!d.IsEditing());
            QCOMPARE(end.count(), 0);
            QCOMPARE(d.glyphText(), glyphs);
            QCOMPARE(d.pointCell(), dot);
            QCOMPARE(d.AsString(), text);
        }
    }

    void cursorMovesStayInside()
    {
        TDigiDisplay2 d;
        setUpLikeMainWindow(d);
        d.SetLit(true);
        d.SetAsString("1");
        d.StartEdit(0);
        QVERIFY(d.HandleKey(Qt::Key_Left));
        QVERIFY(d.HandleKey(Qt::Key_Backspace));
        QCOMPARE(d.cursorCell(), 0);
        for (int i = 0; i < 10; ++i)
            QVERIFY(d.HandleKey(Qt::Key_Right));
        QCOMPARE(d.cursorCell(), 7);
        QVERIFY(d.HandleKey(Qt::Key_Backspace));
        QCOMPARE(d.cursorCell(), 6);
        QCOMPARE(glyphChars(d.glyphText()), QString("00000001")); // moving changes no digit
        QVERIFY(!d.HandleKey(Qt::Key_A, "a"));
        QVERIFY(!d.HandleKey(Qt::Key_Space, " "));
        // Keypad digits arrive with their character.
        QVERIFY(d.HandleKey(Qt::Key_unknown, "4"));
        QCOMPARE(glyphChars(d.glyphText()), QString("00000040"));
        d.EndEdit();
        QVERIFY(!d.HandleKey(Qt::Key_5, "5")); // not editing
    }

    void writingTextEndsEditWithoutEvent()
    {
        TDigiDisplay2 d;
        setUpLikeMainWindow(d);
        d.SetLit(true);
        d.SetAsString("3550.00");
        QSignalSpy end(&d, &TDigiDisplay2::OnEditEnd);
        d.StartEdit(2);
        QVERIFY(d.HandleKey(Qt::Key_1, "1"));
        d.SetAsString("7074.00");
        QVERIFY(!d.IsEditing());
        QVERIFY(!d.cursorDark());
        QCOMPARE(end.count(), 0);
        QCOMPARE(d.AsString(), QString("7074.00"));
    }

    void startEditNeedsLitAndBeginUserEditSignals()
    {
        TDigiDisplay2 d;
        setUpLikeMainWindow(d);
        d.SetAsString("3550.00");
        QSignalSpy begin(&d, &TDigiDisplay2::OnEditBegin);
        d.StartEdit(0);
        QVERIFY(!d.IsEditing());
        d.BeginUserEdit(0);
        QVERIFY(!d.IsEditing());
        d.SetLit(true);
        d.BeginUserEdit(0);
        QVERIFY(d.IsEditing());
        QCOMPARE(d.cursorCell(), 0);
        QCOMPARE(begin.count(), 1);
        d.BeginUserEdit(0); // already editing: nothing more
        QCOMPARE(begin.count(), 1);
        // Going dark drops the open entry.
        QVERIFY(d.HandleKey(Qt::Key_9, "9"));
        d.SetLit(false);
        QVERIFY(!d.IsEditing());
        QCOMPARE(d.AsString(), QString("3550.00"));
    }

    void editingCoversOnlyVisibleCellsAndDigits()
    {
        TDigiDisplay2 d;
        setUpLikeMainWindow(d);
        d.SetLit(true);
        d.SetAsString("Error Lo");
        d.StartEdit(7);
        QCOMPARE(glyphChars(d.glyphText()), QString("00000000"));
        QVERIFY(d.HandleKey(Qt::Key_Up));
        d.EndEdit();
        QCOMPARE(d.AsString(), QString("1"));

        d.SetAsString("123456789.5");
        d.StartEdit(7);
        QCOMPARE(glyphChars(d.glyphText()), QString("12345678"));
        QCOMPARE(d.pointCell(), -1);
        d.CancelEdit();
        QCOMPARE(d.AsString(), QString("123456789.5"));
    }

    void cursorBlinks()
    {
        TDigiDisplay2 d;
        setUpLikeMainWindow(d);
        d.SetLit(true);
        d.SetAsString("3550.00");
        d.StartEdit(3);
        QVERIFY(!d.cursorDark());
        QTRY_VERIFY_WITH_TIMEOUT(d.cursorDark(), 2000);
        // In its dark phase the cursor digit is drawn low, the others stay high.
        const QImage dark = d.grab().toImage();
        if (d.cursorDark()) {
            QVERIFY(segmentLitAsGlyph(d, dark, 3, GlyphBlank, true));
            QVERIFY(segmentLitAsGlyph(d, dark, 2, glyphForChar(u'3'), true));
        }
        QTRY_VERIFY_WITH_TIMEOUT(!d.cursorDark(), 2000);
        d.EndEdit();
        QVERIFY(!d.cursorDark());
        const QImage steady = d.grab().toImage();
        QVERIFY(segmentLitAsGlyph(d, steady, 3, glyphForChar(u'5'), true));
    }

    void blinkRepaintsOnlyTheCursorCell()
    {
        TDigiDisplay2 d;
        setUpLikeMainWindow(d);
        d.SetLit(true);
        d.SetAsString("3550.00");
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        d.StartEdit(4);
        PaintRecorder rec(&d);
        rec.settle();
        const bool phase = d.cursorDark();
        QTRY_VERIFY_WITH_TIMEOUT(d.cursorDark() != phase, 2000);
        rec.flush();
        QCOMPARE(rec.painted, QRegion(d.cellBox(4)));
    }

    void offOrFailedDisplayIsBlank()
    {
        TDigiDisplay2 d;
        setUpLikeMainWindow(d);
        d.SetLit(true);
        d.SetAsString("88888888");
        d.SetDisplayOn(false);
        QVERIFY(segmentLitAsGlyph(d, d.grab().toImage(), 4, GlyphBlank, true));
        d.SetDisplayOn(true);
        d.SetDispError(true);
        QVERIFY(segmentLitAsGlyph(d, d.grab().toImage(), 4, GlyphBlank, true));
        d.SetAsString("88888888"); // a new text clears the error
        QVERIFY(!d.DispError());
        QVERIFY(segmentLitAsGlyph(d, d.grab().toImage(), 4, 8, true));
    }
};

TARNWICK_TEST_CLASS(TestDigits2)
#include "tst_digits2.moc"
