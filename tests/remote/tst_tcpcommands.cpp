// The companion programs' line protocol without sockets: framing, the
// fields of each command and what it does to the window, the status line,
// the text encodings, and the companion programs' command lines.

#include "common/TestEnvironment.h"
#include "remote/CompanionPrograms.h"
#include "remote/TcpCommands.h"
#include "remote/TcpFakeHost.h"

namespace {

// Every line the framer hands out for the chunks, then "TOO LONG" or
// "MORE" for how it ends.
QStringList frame(const QList<QByteArray> &chunks)
{
    TTcpLineFramer framer;
    QStringList out;
    for (const QByteArray &chunk : chunks) {
        framer.Append(chunk);
        QByteArray line;
        for (;;) {
            const TTcpLineFramer::TResult result = framer.Next(line);
            if (result == TTcpLineFramer::TResult::Line) {
                out << (line.size() > 20 ? QStringLiteral("<%1 bytes>").arg(line.size()) : QString::fromLatin1(line));
                continue;
            }
            if (result == TTcpLineFramer::TResult::TooLong)
                return out << "TOO LONG";
            break;
        }
    }
    return out << "MORE";
}

// Text cut or padded with blanks to a field's width.
QString fixed(const QString &text, int width)
{
    return text.leftJustified(width, u' ', true);
}

QString describe(const TTcpRequest &r)
{
    QStringList parts{r.Name};
    parts << r.Caption << QString::number(r.Frequency) << r.Mode << r.Group << r.Remark << r.Groups.join(u'|')
          << (r.Highlighted ? "P" : "-") << (r.Redraw ? "1" : "0");
    return parts.join(u'/');
}

} // namespace

class TestTcpCommands : public QObject
{
    Q_OBJECT
private slots:
    void framing_data()
    {
        QTest::addColumn<QList<QByteArray>>("chunks");
        QTest::addColumn<QStringList>("expected");
        const QByteArray longest(TcpMaxLineLength, 'x');
        QTest::newRow("LF, CR LF, a CR inside kept, empty lines")
            << QList<QByteArray>{"QS\nCS\r\nA\rB\n\n\r\n"} << QStringList{"QS", "CS", "A\rB", "", "", "MORE"};
        QTest::newRow("split across chunks") << QList<QByteArray>{"Q", "S\r", "\nX", "S\n"}
                                             << QStringList{"QS", "XS", "MORE"};
        QTest::newRow("a CR alone at the end waits") << QList<QByteArray>{"QS\r"} << QStringList{"MORE"};
        QTest::newRow("longest line") << QList<QByteArray>{longest + "\r\n"} << QStringList{"<16384 bytes>", "MORE"};
        QTest::newRow("longest line, growing, CR last")
            << QList<QByteArray>{longest, "\r", "\n"} << QStringList{"<16384 bytes>", "MORE"};
        QTest::newRow("one more, complete") << QList<QByteArray>{longest + "x\n"} << QStringList{"TOO LONG"};
        QTest::newRow("one more, still coming") << QList<QByteArray>{"QS\n" + longest + "x"}
                                                << QStringList{"QS", "TOO LONG"};
        QTest::newRow("one more after a CR") << QList<QByteArray>{longest + "\rx"} << QStringList{"TOO LONG"};
        QTest::newRow("NUL and 8-bit bytes pass") << QList<QByteArray>{QByteArray("A\0B\xff\n", 5)}
                                                  << QStringList{QString::fromLatin1(QByteArray("A\0B\xff", 4)), "MORE"};
    }
    void framing()
    {
        QFETCH(QList<QByteArray>, chunks);
        QFETCH(QStringList, expected);
        QCOMPARE(frame(chunks), expected);
    }

    // Lines that need nothing of the window: name, command, fields.
    void readingCommands_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("fields");
        const auto row = [](const char *name, const QString &line, TTcpCommand command, const QString &fields) {
            QTest::newRow(name) << line << int(command) << fields;
        };
        row("QS", "QS", TTcpCommand::QS, "QS//0/////-/0");
        row("XS with anything after it", "XS whatever", TTcpCommand::XS, "XS//0/////-/0");
        row("IV", "IVx", TTcpCommand::IV, "IV//0/////-/0");
        row("AV, CS, GM", "AV", TTcpCommand::AV, "AV//0/////-/0");
        row("lower case is unknown", "qs", TTcpCommand::Unknown, "qs//0/////-/0");
        row("empty line", "", TTcpCommand::Unknown, "//0/////-/0");
        row("one character", "Q", TTcpCommand::Unknown, "Q//0/////-/0");
        row("CS", "CS", TTcpCommand::CS, "CS//0/////-/0");
        row("GM", "GM", TTcpCommand::GM, "GM//0/////-/0");
    }
    void readingCommands()
    {
        QFETCH(QString, line);
        QFETCH(int, command);
        QFETCH(QString, fields);
        const TTcpRequest request = ParseTcpRequest(line);
        QCOMPARE(int(request.Command), command);
        QCOMPARE(describe(request), fields);
        QVERIFY(!TcpCommandChangesWindow(request.Command));
    }

    // Lines that change the window: what reaches it.
    void windowCommands_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("calls");
        // FM: caption 10, frequency 9, mode 5, highlight 1, 4 skipped, group 10, redraw 1, remark.
        const auto fm = [](const QString &caption, const QString &frequency, const QString &rest = QString()) {
            return "FM" + fixed(caption, 10) + frequency + rest;
        };
        QTest::newRow("FM, every field") << fm("DL1ABC", "014074000", "USB  Pskip" + fixed("DX", 10) + "1first~second")
                                         << QStringList{"add DL1ABC 14074000 USB DX P 1"};
        QTest::newRow("FM, leading blanks and zeros") << fm("A", "  7040000", "USB")
                                                      << QStringList{"add A 7040000 USB  - 0"};
        QTest::newRow("FM, trailing blanks give 0 Hz") << fm("A", "7040000  ", "USB")
                                                       << QStringList{"add A 0 USB  - 0"};
        QTest::newRow("FM, a sign is no number") << fm("A", "-07040000", "USB") << QStringList{"add A 0 USB  - 0"};
        QTest::newRow("FM, no mode: the segment's") << fm("A", "014050000") << QStringList{"add A 14050000 CW-R  - 0"};
        QTest::newRow("FM, no mode, no segment: padded CW") << fm("A", "003550000", "     ")
                                                            << QStringList{"add A 3550000 CW     - 0"};
        QTest::newRow("FM, flags must be exact") << fm("A", "014074000", "USB  p    " + fixed("DX", 10) + "Y")
                                                 << QStringList{"add A 14074000 USB DX - 0"};
        QTest::newRow("FM, caption and group trimmed of controls")
            << fm("\tA\x01", "014074000", "USB       " + fixed("\x02GRP", 10) + "1")
            << QStringList{"add A 14074000 USB GRP - 1"};
        QTest::newRow("FM, argument ends inside the frequency") << fm("B", "01407")
                                                                << QStringList{"add B 1407 CW     - 0"};
        QTest::newRow("UM: at the scale, in its mode") << "UMSPOT      P1" << QStringList{"add SPOT 7040000 CW  P 1"};
        QTest::newRow("UM, flags the other way") << "UM  X       1P" << QStringList{"add X 7040000 CW  - 0"};
        QTest::newRow("DM") << "DMSPOTS     1" << QStringList{"delete SPOTS 1"};
        QTest::newRow("DM, empty group, no redraw") << "DM" << QStringList{"delete  0"};
        QTest::newRow("SM") << "SMDX;SPOTS" << QStringList{"groups DX|SPOTS"};
        QTest::newRow("SM, ';' at the end adds nothing") << "SMDX;SPOTS;" << QStringList{"groups DX|SPOTS"};
        QTest::newRow("SM, empty entries") << "SM;DX;;" << QStringList{"groups |DX|"};
        QTest::newRow("SM, empty: every group off") << "SM" << QStringList{"groups "};
        QTest::newRow("TT") << "TT 14074000USB  FT8 " << QStringList{"tune 14074000 USB FT8"};
        QTest::newRow("TT, trailing blanks trimmed first") << "TT7040000  LSB" << QStringList{"tune 7040000 LSB "};
        QTest::newRow("TT, no number, no mode") << "TTabc" << QStringList{"tune 0 CW    "};
        QTest::newRow("TT, segment mode") << "TT014010000" << QStringList{"tune 14010000 CW-R "};
    }
    void windowCommands()
    {
        QFETCH(QString, line);
        QFETCH(QStringList, calls);
        const TTcpRequest request = ParseTcpRequest(line);
        QVERIFY(TcpCommandChangesWindow(request.Command));
        TcpFakeHost host;
        ApplyTcpRequest(request, host);
        QCOMPARE(host.calls, calls);
    }

    void markerFieldsNotInTheCalls()
    {
        TcpFakeHost host;
        ApplyTcpRequest(ParseTcpRequest("FM" + fixed("A", 10) + "014074000USB  -skip" + fixed("DX", 10) + "0a~b~"), host);
        ApplyTcpRequest(ParseTcpRequest("UMB"), host);
        QCOMPARE(host.markers.size(), 2);
        QCOMPARE(host.markers.at(0).Remark, QString("a\r\nb\r\n"));
        QVERIFY(!host.markers.at(0).Permanent);
        QCOMPARE(host.markers.at(1).Attributes, QString());
        QCOMPARE(host.markers.at(1).Remark, QString());
        QVERIFY(!host.markers.at(1).Permanent);
    }

    void argumentStopsAt512Characters()
    {
        const QString fields = fixed("A", 10) + "014074000USB  -skip" + fixed("DX", 10) + "0";
        const QString remark = QString(TcpMaxArgumentLength - fields.size(), u'r');
        const TTcpRequest request = ParseTcpRequest("FM" + fields + remark + "IGNORED");
        QCOMPARE(request.Remark, remark);
        QCOMPARE(ParseTcpRequest("SM" + QString(512, u'a') + ";B").Groups, QStringList{QString(512, u'a')});
        // A character beyond the Basic Multilingual Plane is one character.
        QCOMPARE(ParseTcpRequest(QString("FM") + QString::fromUtf8("\xF0\x9F\x93\xA1") + "ABCDEFGHI014074000")
                     .Frequency,
                 14074000);
    }

    void statusLine_data()
    {
        QTest::addColumn<qint32>("frequency");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<qint32>("begin");
        QTest::addColumn<qint32>("end");
        QTest::addColumn<bool>("closing");
        QTest::addColumn<QString>("line");
        QTest::newRow("the example") << 7040000 << "CW" << 7000000 << 7200000 << false
                                     << "007040000CW   007000000007200000 ";
        QTest::newRow("no mode, closing") << 3550000 << "" << 3500000 << 3800000 << true
                                          << "003550000     0035000000038000001";
        QTest::newRow("five-letter mode") << 146520000 << "FSK-R" << 144000000 << 148000000 << false
                                          << "146520000FSK-R144000000148000000 ";
        QTest::newRow("more digits are written whole") << 1234567890 << "FM" << 0 << 500000000 << false
                                                       << "1234567890FM  000000000500000000 ";
    }
    void statusLine()
    {
        QFETCH(qint32, frequency);
        QFETCH(QString, mode);
        QFETCH(qint32, begin);
        QFETCH(qint32, end);
        QFETCH(bool, closing);
        QFETCH(QString, line);
        TTcpWindowState state;
        state.Frequency = frequency;
        state.Mode = mode;
        state.ScaleBegin = begin;
        state.ScaleEnd = end;
        state.Closing = closing;
        QCOMPARE(FormatTcpStatusLine(state), line);
    }

    void groupList()
    {
        QCOMPARE(FormatTcpGroupList({"DX", "SPOTS"}), QString("DX;SPOTS;"));
        QCOMPARE(FormatTcpGroupList({}), QString());
        QCOMPARE(FormatTcpGroupList({""}), QString(";"));
    }

    void textEncodings()
    {
        // Windows-1252 in, the same bytes out; UTF-8 in, UTF-8 out.
        const TTcpLineText ansi = DecodeTcpLine("SMK\xf6ln;\x80");
        QCOMPARE(ansi.Text, QString::fromUtf8("SMKöln;€"));
        QVERIFY(!ansi.Utf8);
        QCOMPARE(EncodeTcpReply(QString::fromUtf8("Köln;€;"), false), QByteArray("K\xf6ln;\x80;\r\n"));
        const TTcpLineText utf8 = DecodeTcpLine("SMK\xc3\xb6ln");
        QCOMPARE(utf8.Text, QString::fromUtf8("SMKöln"));
        QVERIFY(utf8.Utf8);
        QCOMPARE(EncodeTcpReply(QString::fromUtf8("Köln"), true), QByteArray("K\xc3\xb6ln\r\n"));
        QVERIFY(!DecodeTcpLine("QS").Utf8);
        // A character the code page lacks is not turned into "?".
        QCOMPARE(EncodeTcpReply(QString::fromUtf8("Łódź"), false), QString::fromUtf8("Łódź\r\n").toUtf8());
    }

    void logTextShowsControls()
    {
        QCOMPARE(TcpLogText(QString::fromLatin1("A\0\n\x7f\"", 5)), QString("A\\x00\\x0A\\x7F\""));
        QCOMPARE(TcpLogText(QString::fromUtf8("qs")), QString("qs"));
    }

    void companionCommandLines()
    {
        QCOMPARE(CompanionCommandLine("/opt/my radio/Heronpost", StartCompanion), QString("\"/opt/my radio/Heronpost\""));
        QCOMPARE(CompanionCommandLine("/opt/Heronpost", StartCompanionMinimized), QString("\"/opt/Heronpost\" -m"));
        QCOMPARE(CompanionCommandLine("/opt/Heronpost", DontStartCompanion), QString());
        QCOMPARE(CompanionPath("/opt/", LinkmoorProgram), QString("/opt/Linkmoor"));
    }
};

TARNWICK_TEST_CLASS(TestTcpCommands)
#include "tst_tcpcommands.moc"
