#pragma once
// What Preferences and the Setup Wizard share: the date drop list and the formats its texts
// stand for, controls that edit the settings in memory as they are changed, and writing the
// settings with one report when the file cannot be written.
#include "runtime/ui/window.h"

#include <QString>
#include <QStringList>

#include <optional>

class QComboBox;

namespace tbk {

// The date drop list's texts, in their order.
QStringList dateTexts();
// The text that shows the format; a format without a text is shown as it is.
QString dateTextFor(const QString &format);
// The format a text stands for; none for a text of no format.
std::optional<QString> dateFormatFor(const QString &text);

inline const char *const kYearOnlyText = "Year Only";
inline const char *const kYearOnlyFormat = "n4b";
// The control of the date drop list; it edits a text of the window, not a setting.
inline const char *const kDateTextField = "DateFormatText";

// SU_Albums, SU_Songs, SU_Playlists and SU_Labels read afresh from the settings file.
void readStartupSettings();

// Asks whether dates become bare years; Yes converts the songs' and then the albums' dates.
void offerYearOnlyConversion();

// Collects writes to section "Settings"; the first failure is kept for one report.
class SettingsWriter {
public:
    void put(const char *entry, const QString &value);
    void putByte(const char *entry, quint8 value) { put(entry, QString::number(value ? 1 : 0)); }
    // The entries Preferences and the wizard both write, in their order, up to `Logo`.
    void putShared();
    // The display text's format into memory (a text of no format leaves it), then the file.
    void putDateFormat(const QString &dateText);
    // One message when a write failed: the values stay in memory for this run.
    void reportFailure() const;

private:
    QString error_;
};

class SettingsWindow : public Window {
public:
    using Window::Window;

protected:
    // Every control named after a setting shows it, and each change goes into memory at once.
    void bindSettings();
    // Pending edits taken into memory, as if every control had been left.
    void takeSettings();
    // The date drop list: its texts, showing the format's text (`emptyAs` for no format).
    void fillDateList(QComboBox *list, const QString &emptyAs = {});
    QString dateText();
};

} // namespace tbk
