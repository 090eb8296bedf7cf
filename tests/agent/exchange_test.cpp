// The conversation with a scripted server: what is sent, what is logged, what is left behind.
#include "agentfixture.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

using namespace agenttest;
using tbk::agent::TfmCDDB;

namespace {

const QByteArray kReadReply =
    "210 rock 0801f802 CD database entry follows (until terminating `.')\r\n"
    "# xmcd\r\n#\r\nDISCID=0801f802\r\nDTITLE=The Artist / The Album\r\n"
    "TTITLE0=First Song\r\nTTITLE1=A Second Song With A Very Long Name\r\n"
    "TTITLE1= That Goes On\r\nEXTD=Recorded live\r\nEXTD= in one take\r\n"
    "EXTT0=\r\nEXTT1=\r\nPLAYORDER=\r\n.\r\n";
const QByteArray kSitesReply = "210 OK, site list follows (until terminating `.')\r\n"
                               "cddb.example.org cddbp 888 - N000.00 W000.00 Test\r\n.\r\n";

} // namespace

TEST_F(AgentTest, FullLookupSendsLogsAndWritesBack) {
    scriptSuccess(server);
    prepareIni(server.serverLine());
    QStringList statuses;
    TfmCDDB &f = start([&](TfmCDDB &f) {
        QObject::connect(&f, &TfmCDDB::statusChanged, [&](const QString &s) { statuses << s; });
    });
    ASSERT_TRUE(waitClosed());

    const QByteArray hello = helloLine();
    EXPECT_EQ(server.received, hello + "\r\ncddb query " + kQuery +
                                   "\r\ncddb read rock 0801f802\r\nsites\r\nquit\r\n");
    EXPECT_EQ(logText(),
              "201 test CDDBP server v1.5PL0 ready at Wed Dec 09 05:00:00 2026\r\n" + hello +
                  "\r\n200 Hello and welcome yourname@test running DiscSk 2.0.\r\n"
                  "cddb query " + kQuery + "\r\n200 rock 0801f802 The Artist / The Album\r\n"
                  "cddb read rock 0801f802\r\n" + kReadReply + "sites\r\nquit\r\n" + kSitesReply);

    ASSERT_EQ(f.Results->rowCount(), 1);
    EXPECT_EQ(f.Results->row(0)->caption, "rock");
    EXPECT_EQ(f.Results->row(0)->subItems, QStringList({"0801f802", "The Artist / The Album"}));
    EXPECT_EQ(f.Results->selectedRow()->caption, "rock");
    EXPECT_EQ(f.lbHelp->text(), "3. Select the closest match then click Retrieve");
    EXPECT_EQ(f.ModeLabel->text(), "Automatic Mode");
    EXPECT_EQ(f.CDDBReq->text(), "Disc CDDB ID: 0801f802");
    EXPECT_EQ(f.exchangeState(), 0);
    EXPECT_TRUE(f.statusText().isEmpty());
    const QStringList tail = statuses.mid(statuses.indexOf("Saying hello..."));
    EXPECT_EQ(tail, QStringList({"Saying hello...", "Performing query...", "1 match(es) found",
                                 "Retrieving CD info...", "Closing Connection", ""}));
    EXPECT_EQ(statuses.value(0), "");
    EXPECT_EQ(statuses.value(1), "Please wait...");
    EXPECT_TRUE(statuses.contains("Connected.  Waiting for welcome message..."));

    EXPECT_EQ(ini("Default", "Host"), QString::fromUtf8(server.serverLine()));
    EXPECT_EQ(ini("Default", "Logon"), "yourname");
    EXPECT_EQ(ini("CDDB", "Category"), "rock");
    EXPECT_EQ(ini("CDDB", "Status"), "Read");
    EXPECT_EQ(ini("CDDB", "CDDBCategory"), "rock");
    EXPECT_EQ(ini("CDDB", "Result"), "<none>");
    EXPECT_EQ(ini("Default", "AutomaticMode"), "Y");
}

TEST_F(AgentTest, GreetingAndHelloReplies) {
    struct Case {
        QByteArray greeting, helloReply;
        bool queried;
        QString status;
    };
    const Case cases[] = {
        {"200 server ready, posting allowed\r\n", "200 Hello\r\n", true, "Performing query..."},
        {"201 server ready\r\n", "200 Hello\r\n", true, "Performing query..."},
        {"432 No connections allowed: permission denied\r\n", "", false,
         "Error 432 No connections allowed: permission denied\r\n"},
        {"201 server ready\r\n", "431 Handshake not successful, closing connection\r\n", false,
         "Error 431 Handshake not successful, closing connection\r\n"},
        {"garbage\r\n", "", false, "Error garbage\r\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.greeting.toStdString() + c.helloReply.toStdString());
        ScriptedCddbServer s;
        s.greeting = {{c.greeting}};
        s.on("cddb hello", {{c.helloReply}});
        prepareIni(s.serverLine());
        TfmCDDB &f = start();
        ASSERT_TRUE(waitFor([&] { return f.statusText() == c.status; })) << f.statusText().toStdString();
        EXPECT_EQ(s.received.contains("cddb query " + kQuery + "\r\n"), c.queried);
        if (!c.queried) {
            EXPECT_EQ(f.exchangeState(), 0);
            EXPECT_TRUE(f.bConnect->isEnabled());
            EXPECT_TRUE(f.isVisible());
            EXPECT_TRUE(logText().endsWith(c.helloReply.isEmpty() ? c.greeting : c.helloReply));
        } else {
            EXPECT_EQ(f.exchangeState(), 4);
        }
        form->close();
        form.reset();
    }
}

TEST_F(AgentTest, MatchListInPiecesIsTakenOnlyWhenComplete) {
    for (const QByteArray code : {"211", "210"}) {
        SCOPED_TRACE(code.toStdString());
        ScriptedCddbServer s;
        scriptSuccess(s);
        s.replies.erase(s.replies.begin() + 1);  // the query is answered by hand below
        prepareIni(s.serverLine());
        TfmCDDB &f = start();
        ASSERT_TRUE(waitFor([&] { return s.lines.size() == 2; }));

        const QByteArray header = code + " Found inexact matches, list follows (until terminating `.')\r\n";
        s.send(header + "rock 0801f802 First Artist / First Album\r\nblues 0801f8");
        // A piece that ends mid-line is neither acted on nor logged.
        ASSERT_TRUE(waitFor([&] { return f.receiveBuffer().endsWith("0801f8"); }));
        EXPECT_EQ(f.exchangeState(), 4);
        EXPECT_FALSE(logText().contains("First Album"));

        s.send("02 Second Artist / Second Album\r\n");
        ASSERT_TRUE(waitFor([&] { return logText().endsWith("Second Album\r\n"); }));
        EXPECT_EQ(f.exchangeState(), 6);
        EXPECT_EQ(f.Results->rowCount(), 0);

        s.send("jazz 12345678 Third\r\n.\r\n");
        ASSERT_TRUE(waitClosed());
        ASSERT_EQ(f.Results->rowCount(), 3);
        EXPECT_EQ(f.Results->row(1)->caption, "blues");
        EXPECT_EQ(f.Results->row(1)->subItems, QStringList({"0801f802", "Second Artist / Second Album"}));
        EXPECT_EQ(f.Results->row(2)->subItems, QStringList({"12345678", "Third"}));
        EXPECT_FALSE(f.Results->row(3).has_value());
        EXPECT_EQ(f.lbHelp->text(), "3. Select the closest match then click Retrieve");
        EXPECT_TRUE(s.received.contains("\r\ncddb read rock 0801f802\r\n"));
        // Every line of the list once, in order.
        EXPECT_TRUE(logText().contains("cddb query " + kQuery + "\r\n" + header +
                                       "rock 0801f802 First Artist / First Album\r\n"
                                       "blues 0801f802 Second Artist / Second Album\r\n"
                                       "jazz 12345678 Third\r\n.\r\ncddb read rock 0801f802\r\n"));
        EXPECT_EQ(ini("CDDB", "Category"), "rock");
        form.reset();
    }
}

TEST_F(AgentTest, NoMatchQuitsAndLeavesCategoryEmpty) {
    struct Case {
        const char *name;
        QList<QByteArray> reply;
        QString result;
    };
    // 202 is "no match"; a list that ends at once is no match either and must not stall.
    const Case cases[] = {
        {"202", {"202 No match for disc ID 0801f802.\r\n"}, "<none>"},
        {"empty list", {"211 Found inexact matches, list follows (until terminating `.')\r\n.\r\n"},
         "Your CD is not in the database."},
        {"empty list in pieces", {"210 Found exact matches, list follows\r\n", ".\r\n"},
         "Your CD is not in the database."},
        {"unknown code", {"abc what?\r\n"}, "<none>"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(QStringLiteral("discseek.ini"));
        tbk::putIni("CDDB", "Category", "left over", kIni);
        ScriptedCddbServer s;
        scriptSuccess(s);
        s.replies[1].second = {c.reply};
        s.on("quit", {{"230 test Closing connection.  Goodbye.\r\n"}, true});
        prepareIni(s.serverLine());
        TfmCDDB &f = start();
        ASSERT_TRUE(waitClosed());
        EXPECT_FALSE(s.received.contains("cddb read"));
        EXPECT_TRUE(s.received.endsWith("cddb query " + kQuery + "\r\nquit\r\n"));
        EXPECT_EQ(f.Results->rowCount(), 0);
        EXPECT_EQ(ini("CDDB", "Category"), "");
        EXPECT_EQ(ini("CDDB", "Result"), c.result);
        EXPECT_EQ(ini("CDDB", "Status"), "<none>");
        EXPECT_TRUE(logText().endsWith(c.reply.join() + "quit\r\n230 test Closing connection.  Goodbye.\r\n"));
        form.reset();
    }
}

TEST_F(AgentTest, ReadRefusedQuits) {
    scriptSuccess(server);
    server.replies[2].second = {{"401 rock 0801f802 No such CD entry in database.\r\n"}};
    server.on("quit", {{"230 Goodbye.\r\n"}});
    prepareIni(server.serverLine());
    start();
    ASSERT_TRUE(waitClosed());
    EXPECT_TRUE(server.received.endsWith("cddb read rock 0801f802\r\nquit\r\n"));
    EXPECT_TRUE(logText().endsWith("cddb read rock 0801f802\r\n"
                                   "401 rock 0801f802 No such CD entry in database.\r\n"
                                   "quit\r\n230 Goodbye.\r\n"));
    EXPECT_EQ(ini("CDDB", "Status"), "Read");
    EXPECT_EQ(ini("CDDB", "CDDBCategory"), "rock");
    EXPECT_EQ(ini("CDDB", "Category"), "rock");
}

// A server that answers the read as it answers a query gets one read and then "quit".
TEST_F(AgentTest, ReadAnsweredLikeAQueryIsReadOnce) {
    scriptSuccess(server);
    server.replies[2].second = {{"200 rock 0801f802 The Artist / The Album\r\n"}};
    server.on("quit", {{"230 Goodbye.\r\n"}});
    prepareIni(server.serverLine());
    start();
    ASSERT_TRUE(waitClosed());
    EXPECT_EQ(server.received.count("cddb read"), 1);
    EXPECT_TRUE(server.received.endsWith("cddb read rock 0801f802\r\nquit\r\n"));
    EXPECT_EQ(logText().count("cddb read"), 1);
}

// A category or disc identifier that is not one printable token goes neither into the settings
// file nor back to the server.
TEST_F(AgentTest, MatchLinesWithControlCharactersAreNoMatch) {
    const QByteArray nul(1, '\0');
    struct Case {
        const char *name;
        QByteArray reply;
        QByteArray read;   // the read sent, or empty for none
    };
    const Case cases[] = {
        {"control character", "200 ro\x01" "ck 0801f802 The Artist / The Album\r\n", {}},
        {"NUL in the identifier", "200 rock 0801" + nul + "f802 The Artist / The Album\r\n", {}},
        {"only a category", "211 list\r\nrock\r\n.\r\n", {}},
        {"one bad of two", "211 list\r\nro\x7f" "ck 0801f802 A / B\r\nblues 0801f802 C / D\r\n.\r\n",
         "cddb read blues 0801f802"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(QStringLiteral("discseek.ini"));
        ScriptedCddbServer s;
        scriptSuccess(s);
        s.replies[1].second = {{c.reply}};
        s.on("quit", {{"230 Goodbye.\r\n"}, true});
        prepareIni(s.serverLine());
        TfmCDDB &f = start();
        ASSERT_TRUE(waitClosed());
        if (c.read.isEmpty()) {
            EXPECT_FALSE(s.received.contains("cddb read"));
            EXPECT_EQ(f.Results->rowCount(), 0);
            EXPECT_EQ(ini("CDDB", "Category"), "");
            EXPECT_EQ(ini("CDDB", "CDDBCategory"), "<none>");
            EXPECT_EQ(ini("CDDB", "Result"), "Your CD is not in the database.");
        } else {
            EXPECT_TRUE(s.received.contains(c.read + "\r\n"));
            EXPECT_EQ(f.Results->rowCount(), 1);
            EXPECT_EQ(ini("CDDB", "Category"), "blues");
        }
        form.reset();
    }
}

TEST_F(AgentTest, LineFeedOnlyServerCompletes) {
    server.greeting = {{"201 ready\n"}};
    server.on("cddb hello", {{"200 hi\n"}});
    server.on("cddb query", {{"211 list\nrock 0801f802 A / B\n", ".\n"}});
    server.on("cddb read", {{"210 rock 0801f802 entry\nDTITLE=A / B\n.\n"}});
    server.on("sites", {{"401 no sites\n"}});
    prepareIni(server.serverLine());
    start();
    ASSERT_TRUE(waitClosed());
    EXPECT_TRUE(logText().endsWith("sites\r\nquit\r\n401 no sites\n"));
    EXPECT_EQ(ini("CDDB", "Category"), "rock");
}

TEST_F(AgentTest, ServerClosingMidwayLeavesFormOpenWithClearStatus) {
    struct Case {
        const char *name;
        Reply greeting;
        QList<QByteArray> query;  // the query reply, closing after it
        QByteArray logEnd;
    };
    const Case cases[] = {
        {"at once", {{}, true}, {}, ""},
        {"mid greeting", {{"201 rea"}, true}, {}, ""},
        {"after greeting", {{"201 ready\r\n"}, true}, {}, "201 ready\r\n" + helloLine() + "\r\n"},
        {"mid list", {{"201 ready\r\n"}}, {"211 list\r\nrock 0801f802 A / B\r\n"}, "A / B\r\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedCddbServer s;
        s.greeting = c.greeting;
        if (!c.query.isEmpty()) {
            s.on("cddb hello", {{"200 hi\r\n"}});
            s.on("cddb query", {c.query, true});
        }
        prepareIni(s.serverLine());
        TfmCDDB &f = start();
        ASSERT_TRUE(waitFor([&] { return f.statusText() == "Error - try a different server"; }))
            << f.statusText().toStdString();
        EXPECT_EQ(f.exchangeState(), 0);
        EXPECT_TRUE(f.bConnect->isEnabled());
        EXPECT_TRUE(f.receiveBuffer().isEmpty());
        EXPECT_TRUE(f.isVisible());
        EXPECT_TRUE(logText().endsWith(c.logEnd)) << logText().toStdString();
        form->close();
        EXPECT_EQ(ini("CDDB", "Category"), "");
        form.reset();
    }
}

TEST_F(AgentTest, ServerClosingAfterQuitEndsTheLookup) {
    scriptSuccess(server);
    server.replies.pop_back();
    server.on("sites", {{}, true});  // no reply, just gone
    prepareIni(server.serverLine());
    start();
    ASSERT_TRUE(waitClosed());
    EXPECT_TRUE(logText().endsWith("sites\r\nquit\r\n"));
    EXPECT_EQ(ini("CDDB", "Category"), "rock");
}

TEST_F(AgentTest, OverlongReplyIsAServerError) {
    server.greeting = {{"201 " + QByteArray(600 * 1024, 'x'), QByteArray(600 * 1024, 'y')}};
    prepareIni(server.serverLine());
    TfmCDDB &f = start();
    ASSERT_TRUE(waitFor([&] { return f.statusText() == "Error - try a different server"; }));
    EXPECT_TRUE(f.receiveBuffer().isEmpty());
    EXPECT_TRUE(f.bConnect->isEnabled());
    EXPECT_EQ(logText(), "");
    EXPECT_FALSE(server.received.contains("hello"));
}

TEST_F(AgentTest, PortAndServerTextChecks) {
    struct Case {
        QByteArray port;
        bool connects;
    };
    const QByteArray good = QByteArray::number(server.port());
    const Case cases[] = {{good, true},       {"+" + good, true}, {"+ " + good, false},
                          {"port", false},    {"0", false},       {"65536", false},
                          {"-888", false},    {"4294968184", false}, {"-", false}};
    server.greeting = {{"201 ready\r\n"}};
    int expectedConnections = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.port.toStdString());
        prepareIni(server.serverLine(c.port), false);
        TfmCDDB &f = start();
        f.bConnect->click();
        if (c.connects) {
            ++expectedConnections;
            ASSERT_TRUE(waitFor([&] { return f.exchangeState() == 3; }));
            EXPECT_FALSE(f.bConnect->isEnabled());
            EXPECT_TRUE(f.ResetConn->isEnabled());
        } else {
            EXPECT_EQ(f.statusText(), "Error in hosts file");
            EXPECT_TRUE(f.bConnect->isEnabled());
            EXPECT_FALSE(f.ResetConn->isEnabled());
        }
        waitFor([] { return false; }, 50);  // time for a connection that should not come
        EXPECT_EQ(server.connections, expectedConnections);
        form.reset();
    }
    EXPECT_EQ(server.connections, expectedConnections);
}

TEST_F(AgentTest, LogonIsTidiedBeforeHello) {
    struct Case {
        QString typed;
        QByteArray sent;
    };
    const Case cases[] = {{"  word \t", "word"},
                          {"two words", "tbkanonymous"},
                          {"", "tbkanonymous"},
                          {"   ", "tbkanonymous"},
                          {QString("\x01name\x1f"), "name"},
                          {"odd.name-1", "odd.name-1"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        ScriptedCddbServer s;
        s.greeting = {{"201 ready\r\n"}};
        prepareIni(s.serverLine(), false);
        TfmCDDB &f = start();
        f.edLogin->setText(c.typed);
        f.bConnect->click();
        EXPECT_EQ(f.edLogin->text(), QString::fromUtf8(c.sent));
        ASSERT_TRUE(waitFor([&] { return !s.lines.isEmpty(); }));
        EXPECT_EQ(s.lines.first(), helloLine(c.sent));
        form->close();
        EXPECT_EQ(ini("Default", "Logon"), QString::fromUtf8(c.sent));
        form.reset();
    }
}

TEST_F(AgentTest, LongQueryIsSentWhole) {
    QByteArray query = "a10b5e63 99";
    for (int t = 0; t < 99; ++t)
        query += ' ' + QByteArray::number(150 + t * 16000);
    query += " 21475";
    ASSERT_GT(query.size(), 600);
    scriptSuccess(server);
    prepareIni(server.serverLine(), true, query);
    TfmCDDB &f = start();
    ASSERT_TRUE(waitClosed());
    EXPECT_EQ(f.query(), QString::fromLatin1(query));
    EXPECT_TRUE(server.lines.contains("cddb query " + query));
}

TEST_F(AgentTest, RefusedConnectionShowsErrorAndAllowsRetry) {
    quint16 closedPort;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        closedPort = probe.serverPort();
    }
    prepareIni(server.serverLine(QByteArray::number(closedPort)));
    TfmCDDB &f = start();
    ASSERT_TRUE(waitFor([&] { return f.statusText() == "Error - try a different server"; }));
    EXPECT_TRUE(f.bConnect->isEnabled());
    EXPECT_FALSE(f.ResetConn->isEnabled());
    auto *box = f.findChild<QMessageBox *>("SocketErrorBox");
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->text().startsWith("Asynchronous socket error "));
    EXPECT_TRUE(f.isVisible());
    box->close();

    // The user picks a working server and tries again on the same form.
    scriptSuccess(server);
    f.Servers->setEditText(QString::fromUtf8(server.serverLine()));
    f.bConnect->click();
    ASSERT_TRUE(waitClosed());
    EXPECT_EQ(ini("CDDB", "Category"), "rock");
}

TEST_F(AgentTest, UnknownHostShowsError) {
    const QByteArray host = "no..such..host";
    // A name that cannot even be written as a DNS query: nothing leaves the machine.
    ASSERT_TRUE(QUrl::toAce(QString::fromLatin1(host)).isEmpty());
    prepareIni(host + " cddbp 888 - N000.00 E000.00 # nowhere");
    TfmCDDB &f = start();
    ASSERT_TRUE(waitFor([&] { return f.statusText() == "Error - try a different server"; }));
    EXPECT_TRUE(f.bConnect->isEnabled());
    EXPECT_EQ(logText(), "");
}

TEST_F(AgentTest, ResetAndExitDuringExchange) {
    server.greeting = {{"201 ready\r\n"}};
    server.on("cddb hello", {{"200 hi\r\n"}});
    prepareIni(server.serverLine());
    TfmCDDB &f = start();
    ASSERT_TRUE(waitFor([&] { return f.exchangeState() == 4; }));
    f.ResetConn->click();
    EXPECT_EQ(f.exchangeState(), 0);
    EXPECT_TRUE(f.statusText().isEmpty());
    EXPECT_FALSE(f.ResetConn->isEnabled());
    EXPECT_TRUE(f.bConnect->isEnabled());
    ASSERT_TRUE(waitFor([&] { return server.clientClosed; }));

    f.bConnect->click();
    ASSERT_TRUE(waitFor([&] { return f.exchangeState() == 4; }));
    f.bCancel->click();
    EXPECT_TRUE(closedSpy->count() == 1);
    ASSERT_TRUE(waitFor([&] { return server.clientClosed; }));
    EXPECT_FALSE(server.received.contains("quit"));
    // One log for the whole run of the form: both exchanges, no "quit" for either.
    EXPECT_EQ(logText(), "201 ready\r\n" + helloLine() + "\r\n200 hi\r\ncddb query " + kQuery +
                             "\r\n201 ready\r\n" + helloLine() + "\r\n200 hi\r\ncddb query " +
                             kQuery + "\r\n");
    EXPECT_EQ(ini("Default", "Logon"), "yourname");
    EXPECT_EQ(ini("Default", "Host"), QString::fromUtf8(server.serverLine()));
}
