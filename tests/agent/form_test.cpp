// The form as it opens: controls, settings read on showing, the "Hosts" file, file names.
#include "agentfixture.h"

#include "agent/serverlist.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using namespace agenttest;
using tbk::agent::TfmCDDB;

TEST_F(AgentTest, FrameTabOrderAndKeys) {
    TfmCDDB &f = start();
    EXPECT_EQ(f.windowTitle(), "Disc Seeker");
    EXPECT_EQ(f.size(), QSize(417, 307));
    EXPECT_EQ(f.minimumSize(), f.maximumSize());
    EXPECT_FALSE(f.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(f.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(f.windowIcon().isNull());

    EXPECT_TRUE(f.bConnect->isDefault());
    EXPECT_FALSE(f.ResetConn->isEnabled());
    // Tab order: logon, server, Connect, list, Exit, Reset.
    QList<QWidget *> order;
    QWidget *w = f.edLogin;
    do {
        order << w;
        w = w->nextInFocusChain();
    } while (w != f.edLogin && order.size() < 40);
    QList<QWidget *> stops;
    for (QWidget *x : order)
        if (x->focusPolicy() & Qt::TabFocus && (x == f.edLogin || x == f.Servers ||
                                                x == f.bConnect || x == f.Results ||
                                                x == f.bCancel || x == f.ResetConn))
            stops << x;
    EXPECT_EQ(stops, (QList<QWidget *>{f.edLogin, f.Servers, f.bConnect, f.Results, f.bCancel,
                                       f.ResetConn}));
    // The help line lies under the list.
    const QObjectList kids = f.children();
    EXPECT_LT(kids.indexOf(f.lbHelp), kids.indexOf(f.Results));

    // Enter presses Connect wherever the focus is but on another button; Escape does nothing.
    f.edLogin->setFocus();
    f.Servers->setEditText("x.example.org cddbp port");
    QTest::keyClick(f.edLogin, Qt::Key_Return);
    EXPECT_EQ(f.statusText(), "Error in hosts file");
    QTest::keyClick(&f, Qt::Key_Escape);
    EXPECT_EQ(closedSpy->count(), 0);
    EXPECT_TRUE(f.isVisible());
}

TEST_F(AgentTest, StartsWithDefaultsWithoutSettings) {
    TfmCDDB &f = start();
    EXPECT_EQ(f.edLogin->text(), "yourname");
    EXPECT_EQ(f.Servers->count(), 18);
    EXPECT_EQ(f.Servers->currentText(), tbk::agent::initialServerText());
    EXPECT_TRUE(f.Servers->currentText().startsWith("gnudb.gnudb.org cddbp 8880 - N037.23 W122.01 "));
    EXPECT_EQ(f.CDDBReq->text(), "Disc CDDB ID: ");
    EXPECT_EQ(f.ModeLabel->text(), "");
    EXPECT_EQ(f.query(), "");
    EXPECT_TRUE(f.bConnect->isEnabled());
    EXPECT_TRUE(QFile::exists("cddb_log.txt"));
    EXPECT_EQ(logText(), "");
    f.close();
    EXPECT_EQ(ini("Default", "Logon"), "yourname");
    EXPECT_EQ(ini("Default", "Host"), tbk::agent::initialServerText());
    EXPECT_EQ(ini("CDDB", "Category"), "");
    EXPECT_EQ(ini("CDDB", "Status"), "<none>");
}

TEST_F(AgentTest, AutomaticModeNeedsACapitalY) {
    struct Case {
        const char *value;
        bool automatic;
    };
    const Case cases[] = {{"Y", true}, {"Yes", true}, {"y", false}, {"N", false}, {"", false}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.value);
        ScriptedCddbServer s;
        s.greeting = {{"201 ready\r\n"}};
        prepareIni(s.serverLine());
        tbk::putIni("Default", "AutomaticMode", c.value, kIni);
        TfmCDDB &f = start();
        EXPECT_EQ(f.ModeLabel->text(), c.automatic ? "Automatic Mode" : "");
        if (c.automatic) {
            EXPECT_TRUE(waitFor([&] { return s.lines.size() == 1; }));
        } else {
            waitFor([] { return false; }, 50);
            EXPECT_EQ(s.connections, 0);
            EXPECT_EQ(f.statusText(), "");
        }
        form.reset();
    }
}

TEST_F(AgentTest, SettingsAreReadWhenShown) {
    tbk::putIni("Default", "Logon", "keen.listener", kIni);
    tbk::putIni("Default", "Host", "x.example.org cddbp 8880 - N001.00 E002.00 # X", kIni);
    tbk::putIni("CDDB", "CDDB", "ab12", kIni);
    form = std::make_unique<TfmCDDB>();
    EXPECT_EQ(form->edLogin->text(), "yourname");  // nothing read before the form is shown
    form->show();
    EXPECT_EQ(form->edLogin->text(), "keen.listener");
    EXPECT_EQ(form->Servers->currentText(), "x.example.org cddbp 8880 - N001.00 E002.00 # X");
    EXPECT_EQ(form->CDDBReq->text(), "Disc CDDB ID: ab12");
    EXPECT_EQ(form->query(), "ab12");
}

TEST_F(AgentTest, HostsFileReplacesTheList) {
    QFile hosts("HOSTS");  // found whatever the case of its name
    ASSERT_TRUE(hosts.open(QIODevice::WriteOnly));
    hosts.write("210 OK, site list follows\r\n"
                "one.example.org cddbp 888 - N001.00 E001.00 # One\r\n"
                "two.example.org cddbp 8880 - N001.00 E001.00 # Two\r\n"
                "web.example.org http 80 /~cddb/cddb.cgi N001.00 E001.00 # Web\r\n"
                "three.example.org cddbp 888 - N001.00 E001.00 # Three\r\n"
                ".\r\n");
    hosts.close();
    TfmCDDB &f = start();
    ASSERT_EQ(f.Servers->count(), 3);
    EXPECT_EQ(f.Servers->itemText(0), "one.example.org cddbp 888 - N001.00 E001.00 # One");
    EXPECT_EQ(f.Servers->itemText(2), "three.example.org cddbp 888 - N001.00 E001.00 # Three");
    EXPECT_EQ(f.Servers->currentText(), f.Servers->itemText(0));
}

TEST_F(AgentTest, HostsFileWithoutServersLeavesNothingToConnectTo) {
    QFile hosts("Hosts");
    ASSERT_TRUE(hosts.open(QIODevice::WriteOnly));
    hosts.write("210 OK\r\nweb.example.org http 80 /cgi # Web\r\n\x01\x02\xff\r\n.\r\n");
    hosts.close();
    TfmCDDB &f = start();
    EXPECT_EQ(f.Servers->count(), 0);
    EXPECT_EQ(f.Servers->currentText(), "");
    f.bConnect->click();
    EXPECT_EQ(f.statusText(), "Error in hosts file");
    EXPECT_TRUE(f.bConnect->isEnabled());
}

TEST_F(AgentTest, CatalogueSpellingOfTheFilesIsUsed) {
    // The catalogue writes ".\DISCSEEK.INI" and reads "CDDB_LOG.TXT": one file each, not two.
    scriptSuccess(server);
    const QString upperIni = QStringLiteral(".\\DISCSEEK.INI");
    tbk::putIni("Default", "Host", QString::fromUtf8(server.serverLine()), upperIni);
    tbk::putIni("Default", "AutomaticMode", "Y", upperIni);
    tbk::putIni("CDDB", "CDDB", QString::fromLatin1(kQuery), upperIni);
    QFile oldLog("CDDB_LOG.TXT");
    ASSERT_TRUE(oldLog.open(QIODevice::WriteOnly));
    oldLog.write("DTITLE=Old / Disc\r\n");
    oldLog.close();
    start();
    ASSERT_TRUE(waitClosed());
    const QStringList files = QDir::current().entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(files, QStringList({"CDDB_LOG.TXT", "DISCSEEK.INI"}));
    EXPECT_EQ(tbk::getIni("CDDB", "Category", "", upperIni), "rock");
    const QByteArray log = readFile("CDDB_LOG.TXT");
    EXPECT_FALSE(log.contains("Old / Disc"));
    EXPECT_TRUE(log.contains("DTITLE=The Artist / The Album\r\n"));
}
