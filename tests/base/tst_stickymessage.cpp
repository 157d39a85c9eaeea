#include "base/Settings.h"
#include "base/StickyMessage.h"
#include "common/TestEnvironment.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

class TestStickyMessage : public QObject
{
    Q_OBJECT
private:
    int shown = 0;
    QString lastText;
    bool tick = false;

    void useRecordingRunner()
    {
        SetStickyBoxRunner([this](TStickyForm &box) {
            ++shown;
            lastText = box.MessageLbl->text();
            box.DontShowChk->setChecked(tick);
        });
    }

private slots:
    void init()
    {
        shown = 0;
        tick = false;
        useRecordingRunner();
    }
    void cleanupTestCase() { SetStickyBoxRunner({}); }

    void markIsMadeOfOwnerAndFirstLine()
    {
        QWidget owner;
        owner.setObjectName("TarnwickFrm");
        QCOMPARE(StickyValueName("Port Busy!\nsecond line", &owner), QString("Tarnwick.TarnwickFrm:portbusy!"));
        QCOMPARE(StickyValueName("a\tb\x01 c\u00AFd\u00B0", nullptr), QString("Tarnwick.NoForm:abc\u00AFd"));
        QCOMPARE(StickyValueName(QString(60, 'X'), nullptr), "Tarnwick.NoForm:" + QString(48, 'x'));
        // A child widget speaks for its window.
        QWidget child(&owner);
        QCOMPARE(StickyValueName("x", &child), QString("Tarnwick.TarnwickFrm:x"));
    }

    void silencedMessageStaysSilentAndSharesItsMark()
    {
        QWidget owner;
        owner.setObjectName("ComSettingsFrm");
        ShowStickyMessage("The port is busy.\nTry another one.", &owner);
        QCOMPARE(shown, 1);
        QCOMPARE(lastText, QString("The port is busy.\nTry another one."));

        tick = true;
        ShowStickyMessage("The port is busy.\nTry another one.", &owner);
        QCOMPARE(shown, 2);
        QVERIFY(SettingValueExists(SettingsGroup::Common, "Tarnwick.ComSettingsFrm:theportisbusy."));

        tick = false;
        ShowStickyMessage("The port is busy.\nTry another one.", &owner);
        ShowStickyMessage("The  port is\tbusy.\nwhatever follows", &owner); // differs in blanks only
        QCOMPARE(shown, 2);
    }

    void realModalBoxClosesWithOk()
    {
        SetStickyBoxRunner({});
        bool sawBox = false;
        QTimer::singleShot(50, this, [&sawBox] {
            auto box = qobject_cast<TStickyForm *>(QApplication::activeModalWidget());
            if (!box)
                return;
            sawBox = true;
            box->DontShowChk->setChecked(true);
            box->OkBtn->click();
        });
        ShowStickyMessage("Modal message", nullptr);
        QVERIFY(sawBox);
        QVERIFY(SettingValueExists(SettingsGroup::Common, "Tarnwick.NoForm:modalmessage"));
        useRecordingRunner();
    }
};

TARNWICK_TEST_CLASS(TestStickyMessage)
#include "tst_stickymessage.moc"
