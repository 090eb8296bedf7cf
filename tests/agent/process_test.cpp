// The built program, run as the catalogue runs it: in the exchange folder, no arguments.
#include "agentfixture.h"

#include <QProcess>

using namespace agenttest;

TEST_F(AgentTest, ProgramLooksUpAndEndsByItself) {
    scriptSuccess(server);
    prepareIni(server.serverLine());
    tbk::putIni("Default", "Logon", "  collector  ", kIni);
    tbk::putIni("CDDB", "Category", "from the last disc", kIni);

    QProcess agent;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    agent.setProcessEnvironment(env);
    agent.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    agent.start(QStringLiteral(DISCSEEK_BIN), {});
    ASSERT_TRUE(agent.waitForStarted(10000));
    const bool ended = waitFor([&] { return agent.state() == QProcess::NotRunning; }, 20000);
    if (!ended) {
        agent.kill();
        agent.waitForFinished(5000);
    }
    ASSERT_TRUE(ended) << "the agent did not end by itself";
    EXPECT_EQ(agent.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(agent.exitCode(), 0);

    const QByteArray hello = helloLine("collector");
    EXPECT_EQ(server.received, hello + "\r\ncddb query " + kQuery +
                                   "\r\ncddb read rock 0801f802\r\nsites\r\nquit\r\n");
    const QByteArray log = logText();
    EXPECT_TRUE(log.startsWith("201 test CDDBP server v1.5PL0 ready at Wed Dec 09 05:00:00 2026\r\n" +
                               hello + "\r\n"));
    EXPECT_TRUE(log.contains("DTITLE=The Artist / The Album\r\nTTITLE0=First Song\r\n"
                             "TTITLE1=A Second Song With A Very Long Name\r\nTTITLE1= That Goes On\r\n"));
    EXPECT_TRUE(log.endsWith("PLAYORDER=\r\n.\r\nsites\r\nquit\r\n"
                             "210 OK, site list follows (until terminating `.')\r\n"
                             "cddb.example.org cddbp 888 - N000.00 W000.00 Test\r\n.\r\n"));
    EXPECT_EQ(log.count("DTITLE="), 1);

    EXPECT_EQ(ini("Default", "Logon"), "collector");
    EXPECT_EQ(ini("Default", "Host"), QString::fromUtf8(server.serverLine()));
    EXPECT_EQ(ini("CDDB", "Category"), "rock");
    EXPECT_EQ(ini("CDDB", "Status"), "Read");
    EXPECT_EQ(ini("CDDB", "CDDBCategory"), "rock");
    EXPECT_EQ(ini("CDDB", "CDDB"), QString::fromLatin1(kQuery));
}
