#include "common/PromptRecorder.h"
#include "common/TestEnvironment.h"
#include "controls/ZoomTo.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QString InvalidBegin = "Invalid frequency for beginning of the scale.\nEnter an integer in kHz.";
const QString InvalidEnd = "Invalid frequency for end of the scale.\nEnter an integer in kHz.";
const QString BelowMin = "It is not possible to zoom out of the current scale this way.\n"
                         "The scale beginning must higher or equal to 3500 kHz";
const QString AboveMax = "It is not possible to zoom out of the current scale this way.\n"
                         "The scale end must lower or equal to 3800 kHz";
const QString Below100k = "The lowest possible frequency for beginning of the scale is 100 kHz";
const QString TooShort = "The scale must be at least 1 kHz long.";

} // namespace

class TestZoomTo : public QObject
{
    Q_OBJECT

    testenv::PromptRecorder prompts;

    // Types the entries, presses Ok and returns the messages it showed, each
    // in an information box that belongs to the dialog.
    QStringList pressOk(TZoomToFrm &dlg, const QString &begin, const QString &end)
    {
        prompts.shown.clear();
        prompts.lastParent = nullptr;
        dlg.BeginEdt->setText(begin);
        dlg.EndEdt->setText(end);
        dlg.OkBtn->click();
        for (const auto &entry : prompts.shown)
            if (entry.first != testenv::PromptKind::Information)
                return {QStringLiteral("a question was asked")};
        if (!prompts.shown.isEmpty() && prompts.lastParent.data() != &dlg)
            return {QStringLiteral("a box without the dialog as its parent")};
        return prompts.texts();
    }

    void prepare(TZoomToFrm &dlg)
    {
        dlg.MinScaleBegin = 3500000;
        dlg.MaxScaleEnd = 3800000;
        dlg.setResult(QDialog::Rejected);
    }

private slots:
    void layoutAndTexts()
    {
        TZoomToFrm dlg;
        QCOMPARE(dlg.windowTitle(), QString("Zoom To"));
        QCOMPARE(dlg.OkBtn->text(), QString("Ok"));
        QCOMPARE(dlg.CancelBtn->text(), QString("Cancel"));
        QStringList labels;
        for (QLabel *l : dlg.findChildren<QLabel *>())
            labels << l->text();
        QVERIFY(labels.contains("Scale begin [kHz]:"));
        QVERIFY(labels.contains("Scale end [kHz]:"));
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QTRY_VERIFY(dlg.BeginEdt->hasFocus());
        dlg.CancelBtn->click();
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
    }

    void validRangeCloses()
    {
        TZoomToFrm dlg;
        prepare(dlg);
        dlg.show();
        QCOMPARE(pressOk(dlg, "3520", " 3580 "), QStringList());
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.BeginFrequency(), 3520000);
        QCOMPARE(dlg.EndFrequency(), 3580000);
        // the limits themselves are allowed
        dlg.show();
        QCOMPARE(pressOk(dlg, "3500", "3800"), QStringList());
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
    }

    void everyFailedCheckShowsItsMessageInOrder()
    {
        TZoomToFrm dlg;
        prepare(dlg);
        dlg.show();

        // an empty begin reads as -1 and fails the range checks as well
        QCOMPARE(pressOk(dlg, "", "3600"), QStringList({InvalidBegin, BelowMin, Below100k}));
        QVERIFY(dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Rejected));

        QCOMPARE(pressOk(dlg, "3520", "3.6"), QStringList({InvalidEnd, TooShort}));
        QCOMPARE(pressOk(dlg, "abc", "x"), QStringList({InvalidBegin, InvalidEnd, BelowMin, Below100k, TooShort}));
        QCOMPARE(pressOk(dlg, "3400", "3600"), QStringList({BelowMin}));
        QCOMPARE(pressOk(dlg, "3600", "3900"), QStringList({AboveMax}));
        QCOMPARE(pressOk(dlg, "3600", "3600"), QStringList({TooShort}));
        QCOMPARE(pressOk(dlg, "3700", "3600"), QStringList({TooShort}));
        QCOMPARE(pressOk(dlg, "9999999999", "3600"), QStringList({InvalidBegin, BelowMin, Below100k}));
        // entries whose hertz would not fit even in 64 bits
        QCOMPARE(pressOk(dlg, "9223372036854775807", "3600"), QStringList({InvalidBegin, BelowMin, Below100k}));
        QCOMPARE(pressOk(dlg, "3520", "-9223372036854775808"), QStringList({InvalidEnd, TooShort}));
        QVERIFY(dlg.isVisible());

        // below 100 kHz when the current scale starts lower still
        dlg.MinScaleBegin = 50000;
        QCOMPARE(pressOk(dlg, "60", "200"), QStringList({Below100k}));
        QCOMPARE(pressOk(dlg, "100", "101"), QStringList());
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
    }
};

TARNWICK_TEST_CLASS(TestZoomTo)
#include "tst_zoomto.moc"
