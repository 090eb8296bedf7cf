// The conversation with the server. States of the exchange:
//   0 waiting for the greeting (also: no exchange)   3 hello sent
//   4 query sent                                     2 query reply taken into the list
//   5 read sent                                      6 receiving the list of matches
//   7 receiving the database entry                   8 "quit" sent: the next reply ends it all
#include "agent/cddbtokens.h"
#include "agent/fmcddb.h"
#include "agent/extlistview.h"

#include <QComboBox>
#include <QHostInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTcpSocket>

namespace tbk::agent {

namespace {

const QString kTryAnotherServer = QStringLiteral("Error - try a different server");

QByteArray helloHostName() {
    return QHostInfo::localHostName().toUtf8().replace(' ', '.');
}

// Blanks and control characters at either end go; nothing else is looked at.
QString trimLogon(const QString &s) {
    qsizetype b = 0, e = s.size();
    while (b < e && s.at(b).unicode() <= ' ')
        ++b;
    while (e > b && s.at(e - 1).unicode() <= ' ')
        --e;
    return s.mid(b, e - b);
}

// Where the line "." that ends a list starts, or -1 while the list is still open. Servers
// end lines in CR LF; a bare LF is taken as well so that such a server does not stall us.
qsizetype listEnd(const QByteArray &buf) {
    qsizetype dot;
    if (buf.endsWith(".\r\n"))
        dot = buf.size() - 3;
    else if (buf.endsWith(".\n"))
        dot = buf.size() - 2;
    else
        return -1;
    return dot == 0 || buf.at(dot - 1) == '\n' ? dot : -1;
}

} // namespace

void TfmCDDB::bConnectClick() {
    setStatus(QStringLiteral("Please wait..."));
    QString logon = trimLogon(edLogin->text());
    if (logon.isEmpty() || logon.contains(QLatin1Char(' ')))
        logon = QStringLiteral("tbkanonymous");
    edLogin->setText(logon);

    if (!socket_) {
        socket_ = new QTcpSocket(this);
        connect(socket_, &QAbstractSocket::stateChanged, this,
                [this](QAbstractSocket::SocketState s) {
                    if (s == QAbstractSocket::HostLookupState)
                        CDDBLookup();
                    else if (s == QAbstractSocket::ConnectingState)
                        CDDBConnecting();
                });
        connect(socket_, &QAbstractSocket::connected, this, &TfmCDDB::CDDBConnect);
        connect(socket_, &QAbstractSocket::disconnected, this, &TfmCDDB::CDDBDisconnect);
        connect(socket_, &QIODevice::readyRead, this, &TfmCDDB::CDDBRead);
        connect(socket_, &QIODevice::bytesWritten, this, &TfmCDDB::CDDBWrite);
        connect(socket_, &QAbstractSocket::errorOccurred, this, &TfmCDDB::CDDBError);
    }

    const QByteArray server = Servers->currentText().toUtf8();
    TextCursor c{server};
    const QByteArray host = EatToken(c);
    EatToken(c);
    setStatus(QStringLiteral("Working..."));
    const std::optional<qint32> port = EatNum(c);
    // A port out of range would otherwise be wrapped into some other port.
    if (!port || *port < 1 || *port > 65535 || host.isEmpty()) {
        setStatus(QStringLiteral("Error in hosts file"));
        return;
    }
    if (socket_->state() != QAbstractSocket::UnconnectedState)
        ResetConnection();
    bConnect->setEnabled(false);
    ResetConn->setEnabled(true);
    socket_->connectToHost(QString::fromUtf8(host), quint16(*port));
}

void TfmCDDB::ResetConnClick() {
    ResetConnection();
    setStatus(QString());
    ResetConn->setEnabled(false);
}

void TfmCDDB::ResetConnection() {
    if (socket_) {
        // abort() reports the disconnection at once; that is no news to us.
        resetting_ = true;
        socket_->abort();
        resetting_ = false;
    }
    state_ = 0;
    recv_.clear();
    unlogged_.clear();
    pending_.clear();
    bConnect->setEnabled(true);
}

void TfmCDDB::CDDBLookup() { setStatus(QStringLiteral("Looking up host address...")); }

void TfmCDDB::CDDBConnecting() { setStatus(QStringLiteral("Connecting to server...")); }

void TfmCDDB::CDDBConnect() {
    setStatus(QStringLiteral("Connected.  Waiting for welcome message..."));
    CDDBWrite();
}

void TfmCDDB::CDDBDisconnect() {
    if (resetting_)
        return;
    const bool finished = state_ == 8;
    ResetConnection();
    if (finished) {
        // "quit" was sent: the server closing is as good as its last reply.
        setStatus(QString());
        close();
        return;
    }
    setStatus(kTryAnotherServer);
}

void TfmCDDB::CDDBError(QAbstractSocket::SocketError error) {
    if (error == QAbstractSocket::RemoteHostClosedError)
        return;  // the disconnection that follows is handled there
    const QString detail = socket_ ? socket_->errorString() : QString();
    ResetConnClick();
    setStatus(kTryAnotherServer);
    auto *box = new QMessageBox(QMessageBox::Critical, windowTitle(),
                                QStringLiteral("Asynchronous socket error %1").arg(int(error)),
                                QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("SocketErrorBox"));
    box->setInformativeText(detail);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

void TfmCDDB::CDDBWrite() {
    if (pending_.isEmpty() || !socket_ || socket_->state() != QAbstractSocket::ConnectedState)
        return;
    const qint64 taken = socket_->write(pending_);
    if (taken > 0)
        pending_.remove(0, taken);
}

// Commands queue up behind one the socket has not taken yet instead of waiting for it here:
// the order on the wire is the same, and nothing blocks the window.
void TfmCDDB::SendText(const QByteArray &command) {
    const QByteArray line = command + "\r\n";
    pending_ += line;
    writeLog(line);
    CDDBWrite();
}

void TfmCDDB::CDDBRead() {
    if (!socket_ || socket_->state() == QAbstractSocket::UnconnectedState)
        return;
    const QByteArray data = socket_->readAll();
    if (recv_.size() + data.size() > kMaxReceive) {
        // No reply of the protocol is this long: the server is broken or hostile.
        ResetConnClick();
        setStatus(kTryAnotherServer);
        return;
    }
    recv_ += data;
    unlogged_ += data;
    if (recv_.size() < 2 || !recv_.endsWith('\n'))
        return;  // the rest of the line is still to come
    // Only what is new goes to the log, so no line of a long reply is logged twice.
    writeLog(unlogged_);
    unlogged_.clear();
    handleReply();
}

void TfmCDDB::handleReply() {
    switch (state_) {
    case 0:
        if (!recv_.startsWith('2'))
            return replyError();
        state_ = 3;
        recv_.clear();
        SendText("cddb hello " + edLogin->text().toUtf8() + ' ' + helloHostName() + " DiscSk 2.0");
        setStatus(QStringLiteral("Saying hello..."));
        return;
    case 3:
        if (!recv_.startsWith('2'))
            return replyError();
        state_ = 4;
        recv_.clear();
        SendText("cddb query " + query_.toUtf8());
        setStatus(QStringLiteral("Performing query..."));
        return;
    case 4:
    case 5: {
        TextCursor c{recv_};
        const QByteArray code = FirstToken(c);
        // "200" answers a query only: taken for a match after the read, it would have the
        // same read sent again for as long as the server answers so.
        if (code == "200" && state_ == 4) {
            state_ = 2;
            ProcessCDDBQuery(true);
        } else if (code == "211" || code == "210") {
            recv_.remove(0, recv_.indexOf('\n') + 1);
            state_ = state_ == 4 ? 6 : 7;
            takeListIfComplete();
        } else {
            setStatus(QStringLiteral("Quit"));
            state_ = 8;
            recv_.clear();
            SendText("quit");
        }
        return;
    }
    case 6:
    case 7:
        takeListIfComplete();
        return;
    case 8:
        ResetConnection();
        setStatus(QString());
        close();
        return;
    default:
        return;
    }
}

void TfmCDDB::takeListIfComplete() {
    const qsizetype dot = listEnd(recv_);
    if (dot < 0)
        return;
    recv_.truncate(dot);
    if (state_ == 6)
        ProcessCDDBQuery(false);
    else
        ProcessCDDBRead();
}

void TfmCDDB::replyError() {
    setStatus(QStringLiteral("Error ") + QString::fromUtf8(recv_));
    ResetConnection();
}

} // namespace tbk::agent
