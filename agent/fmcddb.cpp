#include "agent/fmcddb.h"

#include "agent/cddbtokens.h"
#include "agent/discicon.h"
#include "agent/extlistview.h"
#include "agent/serverlist.h"
#include "runtime/settings/profile.h"
#include "runtime/values/text.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTcpSocket>

namespace tbk::agent {

namespace {

const QString kIniFile = QStringLiteral(".\\discseek.ini");
const QString kLogFile = QStringLiteral("cddb_log.txt");
const QString kHostsFile = QStringLiteral("Hosts");
const QString kDefault = QStringLiteral("Default");
const QString kCDDB = QStringLiteral("CDDB");
const QString kNotInDatabase = QStringLiteral("Your CD is not in the database.");

// One token of printable ASCII characters (no blank, no control character, no NUL).
bool isPrintableToken(const QByteArray &token) {
    if (token.isEmpty())
        return false;
    for (char ch : token)
        if (uchar(ch) <= ' ' || uchar(ch) >= 0x7F)
            return false;
    return true;
}

QFont formFont(int pixels, bool bold) {
    // Where the form's own face is missing, a narrow one keeps the texts inside their places.
    QFont f;
    f.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                   QStringLiteral("Liberation Sans Narrow"), QStringLiteral("DejaVu Sans Condensed")});
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

} // namespace

TfmCDDB::TfmCDDB(QWidget *parent) : QDialog(parent) {
    buildControls();
    FormCreate();
}

TfmCDDB::~TfmCDDB() {
    // The socket's last signals must not reach a half-destroyed form.
    if (socket_)
        socket_->disconnect(this);
}

void TfmCDDB::buildControls() {
    setObjectName(QStringLiteral("fmCDDB"));
    setWindowTitle(QStringLiteral("Disc Seeker"));
    setWindowIcon(discSeekIcon());
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFont(formFont(11, false));
    setFixedSize(417, 307);
    move(221, 98);

    auto label = [this](const char *name, const QRect &r, const QString &text, bool bold) {
        auto *l = new QLabel(text, this);
        l->setObjectName(QLatin1String(name));
        l->setGeometry(r);
        if (bold)
            l->setFont(formFont(11, true));
        return l;
    };
    auto button = [this](const char *name, const QRect &r, const QString &text) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(r);
        return b;
    };

    Bevel2 = new QFrame(this);
    Bevel2->setObjectName(QStringLiteral("Bevel2"));
    Bevel2->setGeometry(8, 8, 401, 105);
    Bevel2->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setGeometry(8, 152, 401, 145);
    Bevel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    Label4 = label("Label4", {16, 16, 76, 13}, QStringLiteral("Logon Name:"), true);
    Label4->setWordWrap(true);
    edLogin = new QLineEdit(QStringLiteral("yourname"), this);
    edLogin->setObjectName(QStringLiteral("edLogin"));
    edLogin->setGeometry(16, 36, 137, 21);
    edLogin->setToolTip(QStringLiteral(
        "This logon name is used along with your IP address to uniquely identify you."));
    Label2 = label("Label2", {160, 40, 224, 13},
                   QStringLiteral("(no spaces or punctuation, required information)"), false);
    Label2->setWordWrap(true);
    // A word-wrapped label grows downwards when its text needs a second line.
    Label2->resize(Label2->width(), std::max(13, Label2->heightForWidth(Label2->width())));
    ModeLabel = label("ModeLabel", {304, 16, 5, 13}, QString(), true);
    ModeLabel->setStyleSheet(QStringLiteral("color: blue;"));
    Label1 = label("Label1", {16, 64, 42, 13}, QStringLiteral("Server:"), true);

    Servers = new QComboBox(this);
    Servers->setObjectName(QStringLiteral("Servers"));
    Servers->setGeometry(16, 80, 385, 21);
    Servers->setEditable(true);
    Servers->setInsertPolicy(QComboBox::NoInsert);
    Servers->setToolTip(QStringLiteral("Select servers geographically close to you."));
    Servers->setStyleSheet(QStringLiteral("QComboBox QAbstractItemView::item { height: 13px; }"));
    Servers->addItems(builtInServers());
    setServerText(initialServerText());

    CDDBReq = label("CDDBReq", {8, 128, 3, 13}, QString(), false);
    bConnect = button("bConnect", {176, 120, 73, 25}, QStringLiteral("&Connect"));
    bConnect->setDefault(true);
    ResetConn = button("ResetConn", {256, 120, 73, 25}, QStringLiteral("&Reset"));
    ResetConn->setEnabled(false);
    bCancel = button("bCancel", {336, 120, 73, 25}, QStringLiteral("E&xit"));

    StatusBar = new QLabel(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setGeometry(16, 158, 385, 27);
    StatusBar->setAlignment(Qt::AlignCenter);
    StatusBar->setFont(formFont(13, true));
    StatusBar->setStyleSheet(QStringLiteral(
        "QLabel { background: #0000ff; color: white; border: 1px solid black;"
        " border-top: 2px solid #000080; border-left: 2px solid #000080; }"));

    lbHelp = label("lbHelp", {98, 246, 3, 13}, QString(), false);

    Results = new ExtendedListView(this);
    Results->setObjectName(QStringLiteral("Results"));
    Results->setGeometry(16, 191, 385, 98);
    Results->setColumns({QStringLiteral("Category"), QStringLiteral("Disc ID"),
                         QStringLiteral("Title")},
                        {100, 100, 300});
    Results->setExtendedStyles(lvxGridLines | lvxFullRowSelect);
    Results->setLastColumnClicked(0);
    Results->Loaded();

    // The help line lies under the list, and both bevels under everything.
    lbHelp->stackUnder(Results);
    Bevel1->lower();
    Bevel2->lower();

    for (QWidget *w : {static_cast<QWidget *>(StatusBar), static_cast<QWidget *>(Label4),
                       static_cast<QWidget *>(Label2)})
        w->setFocusPolicy(Qt::NoFocus);
    setTabOrder(edLogin, Servers);
    setTabOrder(Servers, bConnect);
    setTabOrder(bConnect, Results);
    setTabOrder(Results, bCancel);
    setTabOrder(bCancel, ResetConn);

    connect(bConnect, &QPushButton::clicked, this, &TfmCDDB::bConnectClick);
    connect(ResetConn, &QPushButton::clicked, this, &TfmCDDB::ResetConnClick);
    connect(bCancel, &QPushButton::clicked, this, &TfmCDDB::bCancelClick);
}

void TfmCDDB::FormCreate() {
    const QString hosts = findFileNoCase(kHostsFile);
    QFile file(hosts);
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return;
    const QStringList servers = serversFromHostsFile(file.readAll());
    Servers->setUpdatesEnabled(false);
    Servers->clear();
    Servers->addItems(servers);
    setServerText(servers.isEmpty() ? QString() : servers.first());
    Servers->setUpdatesEnabled(true);
}

void TfmCDDB::showEvent(QShowEvent *e) {
    QDialog::showEvent(e);
    if (!activated_) {
        activated_ = true;
        FormActivate();
    }
}

void TfmCDDB::FormActivate() {
    setServerText(getIni(kDefault, QStringLiteral("Host"), Servers->currentText(), kIniFile));
    edLogin->setText(getIni(kDefault, QStringLiteral("Logon"), edLogin->text(), kIniFile));
    mode_ = getIni(kDefault, QStringLiteral("AutomaticMode"), QStringLiteral("N"), kIniFile).left(1);
    // The whole line: a disc of many tracks has a query of more than 255 characters.
    query_ = getIni(kCDDB, QStringLiteral("CDDB"), query_, kIniFile);
    setAutoSizedText(CDDBReq, QStringLiteral("Disc CDDB ID: ") + query_.left(8));
    Results->clearRows();
    ResetConnection();
    setStatus(QString());

    log_.close();
    log_.setFileName(findFileNoCase(kLogFile));
    if (!log_.open(QIODevice::WriteOnly | QIODevice::Truncate))
        setStatus(QStringLiteral("Cannot create ") + kLogFile);

    if (mode_ == QLatin1String("Y")) {
        setAutoSizedText(ModeLabel, QStringLiteral("Automatic Mode"));
        bConnectClick();
    }
}

void TfmCDDB::closeEvent(QCloseEvent *e) {
    e->accept();
    QWidget::closeEvent(e);
    if (!closed_) {
        closed_ = true;
        FormClose();
        emit closed();
    }
}

void TfmCDDB::FormClose() {
    ResetConnection();
    if (socket_) {
        socket_->disconnect(this);
        // We may be inside one of the socket's own signals.
        socket_->deleteLater();
        socket_ = nullptr;
    }
    log_.close();
    putIni(kDefault, QStringLiteral("Host"), Servers->currentText(), kIniFile);
    putIni(kDefault, QStringLiteral("Logon"), edLogin->text(), kIniFile);
    // Written even without a match: a value left by an earlier disc would be taken for this one.
    const std::optional<ListRow> first = Results->row(0);
    putIni(kCDDB, QStringLiteral("Category"), first ? first->caption : QString(), kIniFile);
}

void TfmCDDB::bCancelClick() { close(); }

void TfmCDDB::reject() { close(); }

void TfmCDDB::keyPressEvent(QKeyEvent *e) {
    if (e->key() == Qt::Key_Escape) {
        e->ignore();  // the form has no cancel key
        return;
    }
    QDialog::keyPressEvent(e);
}

void TfmCDDB::setServerText(const QString &text) {
    Servers->setEditText(text);
    Servers->lineEdit()->setCursorPosition(0);  // show the host, not the tail of the line
}

QString TfmCDDB::statusText() const { return StatusBar->text(); }

void TfmCDDB::setStatus(const QString &text) {
    StatusBar->setText(text);
    emit statusChanged(text);
}

void TfmCDDB::setAutoSizedText(QLabel *label, const QString &text) {
    label->setText(text);
    label->resize(std::max(3, label->sizeHint().width()), label->height());
}

void TfmCDDB::writeLog(const QByteArray &bytes) {
    if (!log_.isOpen())
        return;
    log_.write(bytes);
    log_.flush();
}

void TfmCDDB::ProcessCDDBQuery(bool skipCode) {
    TextCursor c{recv_};
    if (skipCode)
        EatToken(c);
    Results->clearRows();
    while (c.peek() == '\r' || c.peek() == '\n')
        ++c.pos;
    while (!c.atEnd()) {
        const QByteArray category = EatToken(c);
        const QByteArray discId = EatToken(c);
        const QByteArray title = EatLine(c);
        // Both go into the settings file and back to the server in the read command.
        if (isPrintableToken(category) && isPrintableToken(discId))
            Results->addRow(QString::fromLatin1(category), {QString::fromLatin1(discId), fromUtf8OrLatin1(title)});
        while (c.peek() == '\r' || c.peek() == '\n')
            ++c.pos;
    }
    const int rows = Results->rowCount();
    setStatus(QString::number(rows) + QStringLiteral(" match(es) found"));
    if (rows > 0) {
        setAutoSizedText(lbHelp, QStringLiteral("3. Select the closest match then click Retrieve"));
    } else {
        setAutoSizedText(lbHelp, kNotInDatabase);
        putIni(kCDDB, QStringLiteral("Result"), kNotInDatabase, kIniFile);
    }
    recv_.clear();
    state_ = 2;
    if (rows == 0) {
        // Nothing to read: leave the server as after a query that found nothing.
        state_ = 8;
        SendText("quit");
        return;
    }
    Results->selectRow(0);
    const ListRow match = *Results->row(0);
    state_ = 5;
    recv_.clear();
    SendText("cddb read " + match.caption.toLatin1() + ' ' + match.subItems.value(0).toLatin1());
    putIni(kCDDB, QStringLiteral("Status"), QStringLiteral("Read"), kIniFile);
    putIni(kCDDB, QStringLiteral("CDDBCategory"), match.caption, kIniFile);
    setStatus(QStringLiteral("Retrieving CD info..."));
}

void TfmCDDB::ProcessCDDBRead() {
    recv_.clear();
    state_ = 5;
    SendText("sites");
    state_ = 8;
    setStatus(QStringLiteral("Closing Connection"));
    SendText("quit");
}

} // namespace tbk::agent
