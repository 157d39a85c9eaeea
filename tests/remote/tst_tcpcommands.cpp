// The companion programs' line protocol without sockets: framing, the
// fields of each command and what it does to the window, the status line and
// the text encodings.

#include "common/TestEnvironment.h"
#include "remote/TcpCommands.h"
#include "remote/TcpFakeHost.h"

namespace {

// The lines the framer hands out for the chunks, then how it ends.
QStringList frame(const QList<QByteArray> &chunks)
{
    TTcpLineFramer framer;
    QStringList out;
    QByteArray line;
    for (const QByteArray &chunk : chunks) {
        framer.Append(chunk);
        TTcpLineFramer::TResult result;
        while ((result = framer.Next(line)) == TTcpLineFramer::TResult::Line)
            out << (line.size() > 20 ? QString::number(line.size()) : QString::fromLatin1(line));
        if (result == TTcpLineFramer::TResult::TooLong)
            return out << "TOO LONG";
    }
    return out << "MORE";
}

QString fixed(const QString &text, int width)
{
    return text.leftJustified(width, u' ', true);
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
        QTest::newRow("LF, CR LF, inner CR, empty") << QList<QByteArray>{"QS\nCS\r\nA\rB\n\n\r\n"}
                                                     << QStringList{"QS", "CS", "A\rB", "", "", "MORE"};
        QTest::newRow("pieces") << QList<QByteArray>{"Q", "S\r", "\nX", "S\n", "QS\r"} << QStringList{"QS", "XS", "MORE"};
        QTest::newRow("longest") << QList<QByteArray>{longest, "\r", "\n"} << QStringList{"16384", "MORE"};
        QTest::newRow("one more") << QList<QByteArray>{longest + "x\n"} << QStringList{"TOO LONG"};
        QTest::newRow("one more, coming") << QList<QByteArray>{"QS\n" + longest + "x"} << QStringList{"QS", "TOO LONG"};
        QTest::newRow("one more after CR") << QList<QByteArray>{longest + "\rx"} << QStringList{"TOO LONG"};
    }
    void framing()
    {
        QFETCH(QList<QByteArray>, chunks);
        QFETCH(QStringList, expected);
        QCOMPARE(frame(chunks), expected);
    }

    // Lines that change the window: what reaches it.
    void windowCommands_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("call");
        // FM: caption 10, frequency 9, mode 5, highlight 1, 4 skipped, group 10, redraw 1, remark.
        const auto fm = [](const QString &caption, const QString &rest) { return "FM" + fixed(caption, 10) + rest; };
        QTest::newRow("FM") << fm("DL1ABC", "014074000USB  Pskip" + fixed("DX", 10) + "1a~b~")
                            << "add DL1ABC/14074000/USB/DX/P1/a\r\nb\r\n";
        QTest::newRow("FM, blanks and zeros") << fm("A", "  7040000USB") << "add A/7040000/USB//-0/";
        QTest::newRow("FM, trailing blanks") << fm("A", "7040000  USB") << "add A/0/USB//-0/";
        QTest::newRow("FM, segment mode") << fm("A", "014050000") << "add A/14050000/CW-R//-0/";
        QTest::newRow("FM, no mode anywhere") << fm("A", "003550000     ") << "add A/3550000/CW   //-0/";
        QTest::newRow("FM, inexact flags") << fm("A", "014074000USB  p    " + fixed("DX", 10) + "Y") << "add A/14074000/USB/DX/-0/";
        QTest::newRow("FM, controls trimmed") << fm("\tA\x01", "014074000USB       " + fixed("\x02GRP", 10) + "1")
                                              << "add A/14074000/USB/GRP/-1/";
        QTest::newRow("FM, cut short") << fm("B", "01407") << "add B/1407/CW   //-0/";
        QTest::newRow("UM") << "UMSPOT      P1" << "add SPOT/7040000/CW//P1/";
        QTest::newRow("UM, flags swapped") << "UM  X       1P" << "add X/7040000/CW//-0/";
        QTest::newRow("DM") << "DMSPOTS     1" << "delete SPOTS 1";
        QTest::newRow("DM, empty") << "DM" << "delete  0";
        QTest::newRow("SM") << "SMDX;SPOTS;" << "groups DX|SPOTS";
        QTest::newRow("SM, empty entries") << "SM;DX;;" << "groups |DX|";
        QTest::newRow("SM, CR separates") << "SMDX\rSPOTS;A" << "groups DX|SPOTS|A";
        QTest::newRow("TT") << "TT 14074000USB  FT8 " << "tune 14074000/USB/FT8";
        QTest::newRow("TT, trimmed number") << "TT7040000  LSB" << "tune 7040000/LSB/";
        QTest::newRow("TT, lowest") << "TT000100000" << "tune 100000/CW   /";
        QTest::newRow("TT, highest") << "TT500000000FM" << "tune 500000000/FM/";
        for (const char *refused : {"TT", "TTabc      USB", "TT000099999USB", "TT500000001"})
            QTest::newRow(refused) << refused << "";
        QTest::newRow("TT, segment mode") << "TT014010000" << "tune 14010000/CW-R/";
        QTest::newRow("FM, argument ends at 512")
            << fm("A", "014074000USB  -skip" + fixed("DX", 10) + "0" + QString(472, u'r') + "IGNORED")
            << "add A/14074000/USB/DX/-0/" + QString(472, u'r');
        QTest::newRow("FM, astral character counts once")
            << "FM" + QString::fromUtf8("\xF0\x9F\x93\xA1") + "ABCDEFGHI014074000USB"
            << QString::fromUtf8("add \xF0\x9F\x93\xA1") + "ABCDEFGHI/14074000/USB//-0/";
    }
    void windowCommands()
    {
        QFETCH(QString, line);
        QFETCH(QString, call);
        TcpFakeHost host;
        const TTcpRequest request = ParseTcpRequest(line);
        QVERIFY(TcpCommandChangesWindow(request.Command));
        const QString refused = ApplyTcpRequest(request, host);
        QCOMPARE(host.calls.join('\n'), call);
        QCOMPARE(refused.isEmpty(), !call.isEmpty());
    }

    void statusLine()
    {
        TTcpWindowState state{7040000, "CW", 7000000, 7200000, false, false, {}};
        QCOMPARE(FormatTcpStatusLine(state), QString("007040000CW   007000000007200000 "));
        state = {146520000, "FSK-R", 0, 500000000, false, true, {}};
        QCOMPARE(FormatTcpStatusLine(state), QString("146520000FSK-R0000000005000000001"));
        state = {1234567890, "", 3500000, 3800000, false, false, {}};
        QCOMPARE(FormatTcpStatusLine(state), QString("1234567890    003500000003800000 "));
    }

    void textEncodings()
    {
        const TTcpLineText ansi = DecodeTcpLine("SMK\xf6ln;\x80");
        QCOMPARE(ansi.Text, QString::fromUtf8("SMKöln;€"));
        QVERIFY(!ansi.Utf8);
        const TTcpLineText utf8 = DecodeTcpLine("SMK\xc3\xb6ln");
        QCOMPARE(utf8.Text, QString::fromUtf8("SMKöln"));
        QVERIFY(utf8.Utf8);
        QCOMPARE(DecodeTcpLine("\xef\xbb\xbfQS").Text, QChar(0xFEFF) + QString("QS"));
        // A character the code page lacks is not turned into "?".
        QCOMPARE(EncodeTcpReply(QString::fromUtf8("Köln€"), false), QByteArray("K\xf6ln\x80\r\n"));
        QCOMPARE(EncodeTcpReply(QString::fromUtf8("Łódź"), false), QString::fromUtf8("Łódź\r\n").toUtf8());
        // Control characters reach the log as two hex digits.
        QCOMPARE(TcpLogText(QString::fromLatin1("a\x1b\x7f\x05")), QString("a\\x1B\\x7F\\x05"));
    }
};

TARNWICK_TEST_CLASS(TestTcpCommands)
#include "tst_tcpcommands.moc"
