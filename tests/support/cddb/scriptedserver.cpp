#include "support/cddb/scriptedserver.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

namespace agenttest {

ScriptedCddbServer::ScriptedCddbServer() {
    server_.listen(QHostAddress::LocalHost, 0);
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *s = server_.nextPendingConnection()) {
            ++connections;
            client_ = s;
            clientClosed = false;
            partial_.clear();
            connect(s, &QTcpSocket::readyRead, this, &ScriptedCddbServer::onReadable);
            connect(s, &QTcpSocket::disconnected, this, [this, s] {
                if (s == client_)
                    clientClosed = true;
                s->deleteLater();
            });
            sendPieces(greeting.pieces, greeting.closeAfter);
        }
    });
}

// The sockets go with server_, after this object's own part: their last signals must not reach it.
ScriptedCddbServer::~ScriptedCddbServer() {
    for (QTcpSocket *s : server_.findChildren<QTcpSocket *>())
        s->disconnect(this);
}

QByteArray ScriptedCddbServer::serverLine(const QByteArray &portText) const {
    const QByteArray p = portText.isEmpty() ? QByteArray::number(port()) : portText;
    return "127.0.0.1 cddbp " + p + " - N000.00 E000.00 # Test server";
}

void ScriptedCddbServer::send(const QByteArray &bytes) {
    if (client_) {
        client_->write(bytes);
        client_->flush();
    }
}

void ScriptedCddbServer::closeClient() {
    if (client_)
        client_->disconnectFromHost();
}

void ScriptedCddbServer::sendPieces(QList<QByteArray> pieces, bool closeAfter) {
    if (pieces.isEmpty()) {
        if (closeAfter)
            closeClient();
        return;
    }
    send(pieces.takeFirst());
    QTimer::singleShot(20, this, [this, pieces, closeAfter] { sendPieces(pieces, closeAfter); });
}

void ScriptedCddbServer::onReadable() {
    auto *s = qobject_cast<QTcpSocket *>(sender());
    const QByteArray data = s->readAll();
    received += data;
    partial_ += data;
    qsizetype nl;
    while ((nl = partial_.indexOf('\n')) >= 0) {
        QByteArray line = partial_.left(nl);
        partial_.remove(0, nl + 1);
        if (line.endsWith('\r'))
            line.chop(1);
        lines << line;
        for (const auto &[start, reply] : replies) {
            if (line.startsWith(start)) {
                sendPieces(reply.pieces, reply.closeAfter);
                break;
            }
        }
    }
}

bool waitFor(const std::function<bool()> &cond, int ms) {
    QDeadlineTimer deadline(ms);
    while (!cond() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 10);
    return cond();
}

void scriptSuccess(ScriptedCddbServer &s) {
    s.greeting = {{"201 test CDDBP server v1.5PL0 ready at Wed Dec 09 05:00:00 2026\r\n"}};
    s.on("cddb hello", {{"200 Hello and welcome yourname@test running DiscSk 2.0.\r\n"}});
    s.on("cddb query", {{"200 rock 0801f802 The Artist / The Album\r\n"}});
    s.on("cddb read",
         {{"210 rock 0801f802 CD database entry follows (until terminating `.')\r\n",
           "# xmcd\r\n#\r\nDISCID=0801f802\r\nDTITLE=The Artist / The Album\r\n",
           "TTITLE0=First Song\r\nTTITLE1=A Second Song With A Very Long Na",
           "me\r\nTTITLE1= That Goes On\r\nEXTD=Recorded live\r\nEXTD= in one take\r\n",
           "EXTT0=\r\nEXTT1=\r\nPLAYORDER=\r\n.\r\n"}});
    s.on("sites", {{"210 OK, site list follows (until terminating `.')\r\n"
                    "cddb.example.org cddbp 888 - N000.00 W000.00 Test\r\n.\r\n"}});
    // No answer to "quit": the agent must be gone after the reply to "sites".
}

} // namespace agenttest
