#include "setup/settingswindow.h"

#include "setup/housekeeping.h"
#include "core/programsettings.h"
#include "runtime/settings/profile.h"
#include "runtime/threads/messagebox.h"
#include "runtime/ui/fieldcontrol.h"
#include "runtime/values/text.h"

#include <QComboBox>
#include <QLineEdit>

#include <array>
#include <functional>
#include <utility>
#include <vector>

namespace tbk {

namespace {

struct DateChoice {
    const char *text;
    const char *format;
};

constexpr std::array<DateChoice, 15> kDateChoices{{
    {"Windows Default", "d17"},
    {"Year Only", "n4b"},
    {"October 31, 1959", "d4"},
    {"OCT 31,1959", "d3"},
    {"10/31/59", "d1"},
    {"10/31/1959", "d2"},
    {"31 OCT 59", "d7"},
    {"31 OCT 1959", "d8"},
    {"31/10/59", "d5"},
    {"31/10/1959", "d6"},
    {"59/10", "d15"},
    {"1959/10", "d16"},
    {"10/59", "d13"},
    {"10/1959", "d14"},
    {"Windows Default 2", "d18"},
}};

// A setting as a control holds it.
struct Binding {
    const char *field;
    std::function<QVariant()> get;
    std::function<void(const QVariant &)> set;
};

template <int N>
Binding text(const char *field, FixedString<N> &setting) {
    return {field, [&setting] { return QVariant(setting.str()); },
            [&setting](const QVariant &v) { setting = v.toString(); }};
}

Binding byte(const char *field, quint8 &setting) {
    return {field, [&setting] { return QVariant(int(setting != 0)); },
            [&setting](const QVariant &v) { setting = v.toInt() != 0 ? 1 : 0; }};
}

const std::vector<Binding> &bindings() {
    static const std::vector<Binding> table{
        text("Interface", Interface),
        text("UDKPrompt", UDKPrompt),
        text("NotesLabel", NotesLabel),
        byte("SU_Albums", SU_Albums),
        byte("SU_Songs", SU_Songs),
        byte("SU_Labels", SU_Labels),
        byte("SU_Playlists", SU_Playlists),
        byte("ShowTips", ShowTips),
        byte("SaveLastTab", SaveLastTab),
        text("AddMode", AddMode),
        byte("DefaultWizardCompilation", DefaultWizardCompilation),
        // Every reader takes a value that is not blank as on, "0" included: off is empty.
        {"AutoAddToAlbums", [] { return QVariant(int(!AutoAddToAlbums.empty())); },
         [](const QVariant &v) { AutoAddToAlbums = v.toInt() ? QStringLiteral("1") : QString(); }},
        text("LabelArtistTitleOrder", LabelArtistTitleOrder),
        text("GLO:Delimiter", GLO.Delimiter),
        byte("AltCasFmt", AltCasFmt),
        byte("AutomaticLookup", AutomaticLookup),
        byte("UseLog", UseLog),
        text("Logo", Logo),
        {"CDTimer", [] { return QVariant(CDTimer); }, [](const QVariant &v) { CDTimer = v.toInt(); }},
    };
    return table;
}

} // namespace

QStringList dateTexts() {
    QStringList out;
    for (const DateChoice &c : kDateChoices)
        out << QString::fromLatin1(c.text);
    return out;
}

QString dateTextFor(const QString &format) {
    for (const DateChoice &c : kDateChoices)
        if (sameText(format, QString::fromLatin1(c.format), Qt::CaseInsensitive))
            return QString::fromLatin1(c.text);
    return format;
}

std::optional<QString> dateFormatFor(const QString &text) {
    for (const DateChoice &c : kDateChoices)
        if (text == QLatin1String(c.text))
            return QString::fromLatin1(c.format);
    return std::nullopt;
}

void readStartupSettings() {
    const auto read = [](const char *entry) {
        return numberInRange<quint8>(numericValue(getIni(QString::fromLatin1(kSettingsSection),
                                                         QString::fromLatin1(entry), QStringLiteral("0"),
                                                         ProgramIniFile)));
    };
    SU_Albums = read("SU_Albums");
    SU_Songs = read("SU_Songs");
    SU_Playlists = read("SU_Playlists");
    SU_Labels = read("SU_Labels");
}

void offerYearOnlyConversion() {
    const int answer =
        message(QStringLiteral("Convert existing entries to Year Only format (day and month information will be lost!)?"),
                QStringLiteral("Basic Format Changed"), MessageIcon::Exclamation, ButtonYes | ButtonNo);
    if (answer != ButtonYes)
        return;
    ConvertSongDates();
    ConvertAlbumDates();
}

void SettingsWriter::put(const char *entry, const QString &value) {
    if (!putIni(QString::fromLatin1(kSettingsSection), QString::fromLatin1(entry), value, ProgramIniFile) &&
        error_.isEmpty())
        error_ = iniWriteError();
}

void SettingsWriter::putShared() {
    put("AutoAddToAlbums", AutoAddToAlbums.str());
    put("AddMode", AddMode.str());
    put("LabelArtistTitleOrder", LabelArtistTitleOrder.str());
    put("GLO:Delimiter", GLO.Delimiter.str());
    put("UDKPrompt", UDKPrompt.str());
    put("NotesLabel", NotesLabel.str());
    put("Setup", QStringLiteral("1"));
    put("Interface", Interface.str());
    putByte("SU_Albums", SU_Albums);
    putByte("SU_Songs", SU_Songs);
    putByte("SU_Playlists", SU_Playlists);
    putByte("SU_Labels", SU_Labels);
    put("Logo", Logo.str());
}

void SettingsWriter::putDateFormat(const QString &dateText) {
    if (const std::optional<QString> format = dateFormatFor(dateText))
        DateFormat = *format;
    put("DateFormat", DateFormat.str());
}

void SettingsWriter::reportFailure() const {
    if (error_.isEmpty())
        return;
    message(QStringLiteral("The settings could not be saved (%1).\nYour choices apply until TuneBank Pro ends.").arg(error_),
            QStringLiteral("Settings Not Saved"), MessageIcon::Exclamation);
}

void SettingsWindow::bindSettings() {
    for (const Binding &b : bindings()) {
        const QString field = QString::fromLatin1(b.field);
        QWidget *control = controls().control(field);
        if (!control)
            continue;
        controls().setValue(field, b.get());
        on(control, EventKind::Accepted, [this, field, set = b.set] { set(controls().value(field)); });
    }
}

void SettingsWindow::takeSettings() {
    controls().validateAll();
    for (const Binding &b : bindings())
        if (controls().control(QString::fromLatin1(b.field)))
            b.set(controls().value(QString::fromLatin1(b.field)));
}

void SettingsWindow::fillDateList(QComboBox *list, const QString &emptyAs) {
    // A drop list: the user chooses, but a format of no text still shows as it is.
    list->lineEdit()->setReadOnly(true);
    if (auto *field = qobject_cast<LookupField *>(FieldControl::of(list)))
        field->setChoices(dateTexts());
    const QString shown = dateTextFor(DateFormat.str());
    controls().setValue(QString::fromLatin1(kDateTextField), shown.isEmpty() ? emptyAs : shown);
}

QString SettingsWindow::dateText() { return controls().value(QString::fromLatin1(kDateTextField)).toString(); }

} // namespace tbk
