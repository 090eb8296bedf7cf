// The token readers and the server lists.
#include "agent/cddbtokens.h"
#include "agent/serverlist.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace tbk::agent;

TEST(CddbTokens, EatTokenAndFirstToken) {
    struct Case {
        QByteArray text;
        QByteArray eat, restAfterEat, first, restAfterFirst;
    };
    const Case cases[] = {
        {"200 rock 12345678 Title", "200", "rock 12345678 Title", "200", "rock 12345678 Title"},
        {"a   b", "a", "b", "a", "  b"},
        {"  lead", "", "lead", "lead", ""},
        {"\r\n210 x", "", "\n210 x", "210", "x"},
        {"word\tnext", "word", "next", "word", "next"},
        {"last", "last", "", "last", ""},
        {"", "", "", "", ""},
        {"tab\t\tx", "tab", "\tx", "tab", "\tx"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        TextCursor a{c.text};
        EXPECT_EQ(EatToken(a), c.eat);
        EXPECT_EQ(c.text.mid(a.pos), c.restAfterEat);
        TextCursor b{c.text};
        EXPECT_EQ(FirstToken(b), c.first);
        EXPECT_EQ(c.text.mid(b.pos), c.restAfterFirst);
    }
}

TEST(CddbTokens, EatNum) {
    struct Case {
        QByteArray text;
        std::optional<qint32> value;
        QByteArray rest;
    };
    const Case cases[] = {
        {"888 - N037", 888, "- N037"},     {"+888", 888, ""},
        {"-12x", -12, "x"},                {"+ 888", std::nullopt, ""},
        {"- 5 a", std::nullopt, "a"},      {"port", std::nullopt, "port"},
        {"", std::nullopt, ""},            {"2147483647", 2147483647, ""},
        {"-2147483648", -2147483647 - 1, ""}, {"2147483648", std::nullopt, ""},
        {"99999999999999999999", std::nullopt, ""}, {"0088", 88, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        TextCursor t{c.text};
        EXPECT_EQ(EatNum(t), c.value);
        EXPECT_EQ(c.text.mid(t.pos), c.rest);
    }
}

TEST(CddbTokens, EatLine) {
    struct Case {
        QByteArray text;
        QByteArray line, rest;
    };
    const Case cases[] = {
        {"The Artist / The Album\r\nnext", "The Artist / The Album", "next"},
        {"one\n\nthree", "one", "three"},
        {"one\r\n\r\nthree", "one", "\r\nthree"},
        {"no end", "no end", ""},
        {"\rx", "", "x"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        TextCursor t{c.text};
        EXPECT_EQ(EatLine(t), c.line);
        EXPECT_EQ(c.text.mid(t.pos), c.rest);
    }
}

TEST(ServerList, BuiltInLinesHaveTheSitesForm) {
    const QStringList &servers = builtInServers();
    ASSERT_EQ(servers.size(), 18);
    const QRegularExpression form(
        QStringLiteral(R"(^[a-z0-9.-]+ cddbp (\d+) - [NS]\d{3}\.\d{2} [EW]\d{3}\.\d{2} # .+$)"));
    QStringList hosts;
    for (int i = 0; i < servers.size(); ++i) {
        SCOPED_TRACE(servers[i].toStdString());
        const auto m = form.match(servers[i]);
        ASSERT_TRUE(m.hasMatch());
        EXPECT_EQ(m.captured(1), i == 1 ? "8880" : "888");
        hosts << servers[i].section(' ', 0, 0);
    }
    hosts.removeDuplicates();
    EXPECT_EQ(hosts.size(), 18);  // the two Montreal lines are two hosts
    EXPECT_TRUE(servers[0].endsWith("N041.17 E174.47 # New Zealand - Palmerstown North"));
    EXPECT_TRUE(servers[10].contains("S025.33 E028.00"));
    EXPECT_TRUE(servers[17].endsWith("N039.05 W077.48 # USA - Rockville, MD (unofficial)"));
    // The default names a server that answers the protocol on the port it is given.
    EXPECT_EQ(servers[1], "gnudb.gnudb.org cddbp 8880 - N037.23 W122.01 # USA - Fremont, CA");
    EXPECT_EQ(initialServerText(), servers[1]);
    for (int i = 0; i < servers.size(); ++i) {
        if (i != 1) {
            EXPECT_TRUE(servers[i].section(' ', 0, 0).endsWith(".example.net")) << servers[i].toStdString();
        }
    }
}

TEST(ServerList, HostsFileKeepsOnlyCddbpLines) {
    const QByteArray file = "210 OK, site list follows (until terminating `.')\r\n"
                            "a.example.org cddbp 888 - N001.00 E001.00 # A\r\n"
                            "b.example.org http 80 /~cddb/cddb.cgi N001.00 E001.00 # B\r\n"
                            "c.example.org CDDBP 8880 - N001.00 E001.00 # C\r\n"
                            "\r\n"
                            "lonely\r\n"
                            "\x01\xff\xfe junk cddbp\r\n"
                            "d.example.org  cddbp 888 - N001.00 E001.00 # D\n"
                            ".\r\n";
    EXPECT_EQ(serversFromHostsFile(file),
              QStringList({"a.example.org cddbp 888 - N001.00 E001.00 # A",
                           "c.example.org CDDBP 8880 - N001.00 E001.00 # C",
                           "d.example.org  cddbp 888 - N001.00 E001.00 # D"}));
    // The first line is the reply header and is never taken, whatever it holds.
    EXPECT_EQ(serversFromHostsFile("x.example.org cddbp 888 - N001.00 E001.00 # X\n"), QStringList());
    EXPECT_EQ(serversFromHostsFile(""), QStringList());
}
