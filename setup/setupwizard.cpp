#include "setup/setupwizard.h"

#include "core/artwork.h"
#include "records/procedurecall.h"
#include "core/programsettings.h"
#include "setup/settingswindow.h"
#include "records/wizardsteps.h"
#include "runtime/threads/halt.h"
#include "runtime/ui/windowbuilder.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

namespace tbk {

namespace {

const char *const kWelcome[] = {
    "Welcome to TuneBank Pro 98, the best way to organize your",
    "music collection.",
    "Features Include:",
    "- Quick locators that help you find what you want fast!",
    "- Query Wizards for detailed searching.",
    "- Many reporting options.",
    "The way TuneBank Pro 98 works can be easily customized.",
    "Please tell us your wishes for some of the basics...  press Next.",
};
const char *const kDate[] = {
    "Your reports and screen can use a common date format for ",
    "release dates.   Please select a format:",
};
const char *const kKeyField[] = {
    "TuneBank Pro 98 lets you track everything from basic song",
    "information like the artist and title to detailed background",
    "information such as beats per minute, performance notes",
    "and more!  There are also four \"additional information\" fields",
    "that you can use to track things we didn't think of...",
    "You can use one of the four \"user defined fields\" as part of a",
    "quick locator / tab order window.  If you'd like to, enter a name ",
    "for this field here (you can always change or name it later):",
};
const char *const kStartUp[] = {
    "When you start TuneBank Pro 98, you can have information",
    "automatically displayed.  Which would you like to see?",
};
const char *const kDone[] = {
    "That's it!  You are now ready to start using TuneBank Pro 98!",
    "Further customization can be done by selecting \"File\" and",
    "then \"Preferences\" from the main menu.",
    "Categories and media formats can be changed by selecting",
    "\"Browse\" then \"Categories\" or \"Media Formats\" from the main",
    "menu.",
    "Press Finish to complete your setup.",
};

template <size_t N>
QString lines(const char *const (&text)[N]) {
    QStringList out;
    for (const char *line : text)
        out << QString::fromLatin1(line);
    return out.join(QLatin1Char('\n'));
}

class WizardWindow : public SettingsWindow {
public:
    WizardWindow() : SettingsWindow(QStringLiteral("SetupWizard")) { setKeepsPlace(false); }

protected:
    QWidget *createWindow() override {
        WindowBuilder b(*this, QStringLiteral("Setup Wizard"), {300, 150});
        page(b, "Welcome", "001.GIF");
        b.text(lines(kWelcome));
        b.endTab();
        page(b, "Date", "BS00847A.GIF");
        b.text(lines(kDate));
        auto *dates = b.lookup({}, QString::fromLatin1(kDateTextField), QStringLiteral("@s20"));
        b.endTab();
        page(b, "User Defined Key Field", "001.GIF");
        b.text(lines(kKeyField));
        b.entry({}, QStringLiteral("UDKPrompt"), QStringLiteral("@s24"));
        b.endTab();
        page(b, "Start Up", "001.GIF");
        b.text(lines(kStartUp));
        b.check(QStringLiteral("Albums"), QStringLiteral("SU_Albums"));
        b.check(QStringLiteral("Songs"), QStringLiteral("SU_Songs"));
        b.check(QStringLiteral("Labels that you've created for cassettes and CDs"), QStringLiteral("SU_Labels"));
        b.check(QStringLiteral("Customized \"Playlists\""), QStringLiteral("SU_Playlists"));
        b.check(QStringLiteral("Tips"), QStringLiteral("ShowTips"), QStringLiteral("Show tip at startup"));
        b.endTab();
        page(b, "Done", "FINISH.BMP");
        b.text(lines(kDone));
        b.endTab();
        QPushButton *cancel = steps_.addButtons(b);
        QWidget *w = b.finish();
        steps_.sheet = w->findChild<QTabWidget *>();
        fillDateList(dates, QString::fromLatin1(kYearOnlyText));
        bindSettings();
        on(steps_.next, EventKind::Accepted, [this] { turnTo(page_ + 1); });
        on(steps_.back, EventKind::Accepted, [this] { turnTo(page_ - 1); });
        on(steps_.finish, EventKind::Accepted, [this] { finishPressed(); });
        on(cancel, EventKind::Accepted, [] { halt({}, 0); });
        turnTo(1);
        return w;
    }

private:
    static void page(WindowBuilder &b, const char *title, const char *picture) {
        b.tab(QString::fromLatin1(title));
        b.picture(artwork(QString::fromLatin1(picture)));
        b.column();
    }

    void turnTo(int page) { page_ = steps_.show(page); }

    void finishPressed() {
        takeSettings();
        const QString oldFormat = DateFormat.str();
        SettingsWriter writer;
        writer.putShared();
        writer.putByte("DefaultWizardCompilation", DefaultWizardCompilation);
        writer.putByte("ShowTips", ShowTips);
        writer.putByte("SetupWizardComplete", 1);
        SetupWizardComplete = 1;
        // A first run has no dates of another format to convert.
        if (!oldFormat.isEmpty() && oldFormat != QLatin1String(kYearOnlyFormat) &&
            dateText() == QLatin1String(kYearOnlyText))
            offerYearOnlyConversion();
        writer.putDateFormat(dateText());
        writer.reportFailure();
        closeWindow();
    }

    WizardSteps steps_;
    int page_ = 1;
};

} // namespace

void SetupWizard() {
    ProcedureCall call;
    call.setResponse(RequestCancelled);
    LoadProgramSettings();
    readStartupSettings();
    WizardWindow().run();
}

} // namespace tbk
