#pragma once
// The agent's one window: looks one disc up on a CD database server and hands the answer back
// through ".\discseek.ini" and "cddb_log.txt".
#include <QAbstractSocket>
#include <QByteArray>
#include <QDialog>
#include <QFile>
#include <QString>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTcpSocket;

namespace tbk::agent {

class ExtendedListView;

class TfmCDDB : public QDialog {
    Q_OBJECT
public:
    explicit TfmCDDB(QWidget *parent = nullptr);
    ~TfmCDDB() override;

    // The exchange with the server (states in cddbclient.cpp).
    quint8 exchangeState() const { return state_; }
    const QByteArray &receiveBuffer() const { return recv_; }
    const QString &query() const { return query_; }
    QString statusText() const;

    // Controls, named as in the form resource.
    QLabel *Label4;
    QLineEdit *edLogin;
    QLabel *Label2;
    QLabel *ModeLabel;
    QLabel *Label1;
    QComboBox *Servers;
    QFrame *Bevel2;
    QLabel *CDDBReq;
    QPushButton *bConnect;
    QPushButton *ResetConn;
    QPushButton *bCancel;
    QFrame *Bevel1;
    QLabel *StatusBar;
    ExtendedListView *Results;
    QLabel *lbHelp;

    // More than this many bytes of unfinished reply is taken as a server fault.
    static constexpr qsizetype kMaxReceive = 1024 * 1024;

signals:
    void statusChanged(const QString &text);
    // The form has closed and written its settings back.
    void closed();

public slots:
    void bConnectClick();
    void ResetConnClick();
    void bCancelClick();

protected:
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void reject() override;

private:
    void buildControls();
    void FormCreate();
    void FormActivate();
    void FormClose();

    void CDDBLookup();
    void CDDBConnecting();
    void CDDBConnect();
    void CDDBDisconnect();
    void CDDBRead();
    void CDDBWrite();
    void CDDBError(QAbstractSocket::SocketError error);

    void ResetConnection();
    void SendText(const QByteArray &command);
    void ProcessCDDBQuery(bool skipCode);
    void ProcessCDDBRead();

    void handleReply();
    void takeListIfComplete();
    void replyError();
    void setStatus(const QString &text);
    void setServerText(const QString &text);
    void setAutoSizedText(QLabel *label, const QString &text);
    void writeLog(const QByteArray &bytes);

    QString query_;
    QString mode_;
    quint8 state_ = 0;
    QByteArray recv_;
    QByteArray unlogged_;  // received but not yet in the log (no line ended yet)
    QByteArray pending_;
    QTcpSocket *socket_ = nullptr;
    QFile log_;
    bool activated_ = false;
    bool closed_ = false;
    bool resetting_ = false;
};

} // namespace tbk::agent
