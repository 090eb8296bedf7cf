#pragma once
// Starts the agent's form in the test's folder against a scripted server.
#include "agent/fmcddb.h"
#include "agent/extlistview.h"
#include "runtime/settings/profile.h"
#include "support/cddb/scriptedserver.h"

#include <QFile>
#include <QHostInfo>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include <memory>

namespace agenttest {

inline const QString kIni = QStringLiteral(".\\discseek.ini");
inline const QByteArray kQuery = "0801f802 2 150 18000 506";

inline QString ini(const char *section, const char *key) {
    return tbk::getIni(QLatin1String(section), QLatin1String(key), QStringLiteral("<none>"), kIni);
}

inline QByteArray readFile(const QString &name) {
    QFile f(tbk::findFileNoCase(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

inline QByteArray logText() { return readFile(QStringLiteral("cddb_log.txt")); }

inline QByteArray helloLine(const QByteArray &logon = "yourname") {
    return "cddb hello " + logon + ' ' + QHostInfo::localHostName().toUtf8().replace(' ', '.') +
           " DiscSk 2.0";
}

class AgentTest : public testing::Test {
protected:
    // Writes what the catalogue writes before it starts the agent.
    void prepareIni(const QByteArray &host, bool automatic = true, const QByteArray &query = kQuery) {
        tbk::putIni(QStringLiteral("Default"), QStringLiteral("Host"), QString::fromUtf8(host), kIni);
        tbk::putIni(QStringLiteral("Default"), QStringLiteral("AutomaticMode"),
                    automatic ? QStringLiteral("Y") : QStringLiteral("N"), kIni);
        tbk::putIni(QStringLiteral("CDDB"), QStringLiteral("CDDB"), QString::fromUtf8(query), kIni);
    }

    tbk::agent::TfmCDDB &start(const std::function<void(tbk::agent::TfmCDDB &)> &beforeShow = {}) {
        form = std::make_unique<tbk::agent::TfmCDDB>();
        closedSpy = std::make_unique<QSignalSpy>(form.get(), &tbk::agent::TfmCDDB::closed);
        if (beforeShow)
            beforeShow(*form);
        form->show();
        return *form;
    }

    bool waitClosed(int ms = 5000) {
        return waitFor([this] { return closedSpy->count() > 0; }, ms);
    }

    void TearDown() override {
        if (form && form->isVisible())
            form->close();
        form.reset();
    }

    ScriptedCddbServer server;
    std::unique_ptr<tbk::agent::TfmCDDB> form;
    std::unique_ptr<QSignalSpy> closedSpy;
};

} // namespace agenttest
