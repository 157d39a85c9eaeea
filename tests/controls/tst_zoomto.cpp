#include "common/PromptRecorder.h"
#include "common/TestEnvironment.h"
#include "controls/ZoomTo.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

class TestZoomTo : public QObject
{
    Q_OBJECT
private slots:
    // Every failed check shows its message, in order, and keeps the dialog open.
    void okChecksTheEntries_data()
    {
        QTest::addColumn<QString>("begin");
        QTest::addColumn<QString>("end");
        QTest::addColumn<int>("lowest"); // kHz: the beginning of the current scale
        QTest::addColumn<QStringList>("messages"); // I invalid begin, E invalid end, B below the scale,
                                                   // A above it, H below 100 kHz, S too short
        QTest::newRow("valid") << "3520" << " 3580 " << 3500 << QStringList();
        QTest::newRow("the limits themselves") << "3500" << "3800" << 3500 << QStringList();
        QTest::newRow("empty begin reads as -1") << "" << "3600" << 3500 << QStringList({"I", "B", "H"});
        QTest::newRow("fraction") << "3520" << "3.6" << 3500 << QStringList({"E", "S"});
        QTest::newRow("letters") << "abc" << "x" << 3500 << QStringList({"I", "E", "B", "H", "S"});
        QTest::newRow("below") << "3400" << "3600" << 3500 << QStringList({"B"});
        QTest::newRow("above") << "3600" << "3900" << 3500 << QStringList({"A"});
        QTest::newRow("empty range") << "3600" << "3600" << 3500 << QStringList({"S"});
        QTest::newRow("reversed") << "3700" << "3600" << 3500 << QStringList({"S"});
        QTest::newRow("beyond 32 bits") << "9999999999" << "3600" << 3500 << QStringList({"I", "B", "H"});
        QTest::newRow("beyond 64 bits") << "3520" << "-9223372036854775808" << 3500 << QStringList({"E", "S"});
        QTest::newRow("below 100 kHz") << "60" << "200" << 50 << QStringList({"H"});
        QTest::newRow("lowest, 1 kHz long") << "100" << "101" << 50 << QStringList();
    }
    void okChecksTheEntries()
    {
        QFETCH(QString, begin);
        QFETCH(QString, end);
        QFETCH(QStringList, messages);
        QFETCH(int, lowest);
        const QHash<QString, QString> texts{
            {"I", "Invalid frequency for beginning of the scale.\nEnter an integer in kHz."},
            {"E", "Invalid frequency for end of the scale.\nEnter an integer in kHz."},
            {"B", "It is not possible to zoom out of the current scale this way.\n"
                  "The scale beginning must higher or equal to 3500 kHz"},
            {"A", "It is not possible to zoom out of the current scale this way.\n"
                  "The scale end must lower or equal to 3800 kHz"},
            {"H", "The lowest possible frequency for beginning of the scale is 100 kHz"},
            {"S", "The scale must be at least 1 kHz long."}};
        testenv::PromptRecorder prompts;
        TZoomToFrm dlg;
        dlg.MinScaleBegin = lowest * 1000;
        dlg.MaxScaleEnd = 3800000;
        dlg.show();
        dlg.BeginEdt->setText(begin);
        dlg.EndEdt->setText(end);
        dlg.OkBtn->click();
        QStringList expected;
        for (const QString &m : messages)
            expected << texts.value(m);
        QCOMPARE(prompts.texts(), expected);
        for (const auto &entry : prompts.shown)
            QVERIFY(entry.first == testenv::PromptKind::Information && prompts.lastParent.data() == &dlg);
        QCOMPARE(dlg.isVisible(), !messages.isEmpty());
        QCOMPARE(dlg.result(), int(messages.isEmpty() ? QDialog::Accepted : QDialog::Rejected));
        if (messages.isEmpty())
            QCOMPARE(QList<int>({dlg.BeginFrequency(), dlg.EndFrequency()}),
                     QList<int>({begin.trimmed().toInt() * 1000, end.trimmed().toInt() * 1000}));
    }
};

TARNWICK_TEST_CLASS(TestZoomTo)
#include "tst_zoomto.moc"
