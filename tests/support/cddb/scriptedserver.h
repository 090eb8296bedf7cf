#pragma once
// A CDDB server on 127.0.0.1 that answers each command line from a script, sending each reply
// in the pieces given (a short pause between pieces so that they tend to arrive apart).
#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

#include <functional>
#include <utility>
#include <vector>

namespace agenttest {

struct Reply {
    QList<QByteArray> pieces;
    bool closeAfter = false;
};

class ScriptedCddbServer : public QObject {
    Q_OBJECT
public:
    ScriptedCddbServer();
    ~ScriptedCddbServer() override;

    quint16 port() const { return server_.serverPort(); }
    // A server line of the agent's list that names this server.
    QByteArray serverLine(const QByteArray &port = {}) const;

    Reply greeting;
    // Replies by the start of the command line; a command without one is left unanswered.
    std::vector<std::pair<QByteArray, Reply>> replies;
    void on(const QByteArray &commandStart, Reply reply) {
        replies.emplace_back(commandStart, std::move(reply));
    }

    QByteArray received;      // every byte the client sent
    QList<QByteArray> lines;  // the complete lines the client sent, without line ends
    int connections = 0;
    bool clientClosed = false;

    void send(const QByteArray &bytes);
    void closeClient();

private:
    void sendPieces(QList<QByteArray> pieces, bool closeAfter);
    void onReadable();

    QTcpServer server_;
    QPointer<QTcpSocket> client_;
    QByteArray partial_;
};

// Runs the event loop until cond holds or ms have passed; returns cond.
bool waitFor(const std::function<bool()> &cond, int ms = 5000);
// The standard replies of a lookup that finds one disc.
void scriptSuccess(ScriptedCddbServer &s);

} // namespace agenttest
