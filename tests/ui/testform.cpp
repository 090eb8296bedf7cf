#include "testform.h"

#include "runtime/ui/fieldcontrol.h"
#include "runtime/ui/windowbuilder.h"

#include <QComboBox>
#include <QPushButton>

namespace tbk::windowtest {

TestForm::TestForm() : Window(QStringLiteral("UpdateTest")) {}

const QStringList &TestForm::fields() {
    static const QStringList names{
        "MUS:Artist",     "MUS:Title",      "MUS:Media",     "MUS:Time",        "MUS:ReleaseDate",
        "CAT:Category",   "MUS:TrackNumber", "MUS:Side",     "MUS:BeatsPerMinute", "MUS:ChartNumber",
        "MUS:Rating",     "MUS:Skips",      "MUS:DoNotPlay", "MUS:Live",        "MUS:EndType",
        "MUS:Recording",  "MUS:Composer",   "MUS:PerformanceNotes", "MUS:Notes"};
    return names;
}

QWidget *TestForm::createWindow() {
    WindowBuilder b(*this, QStringLiteral("Update the TuneBank Database"), {330, 210});
    b.tab("&General");
    b.entry("&Artist:", "MUS:Artist", "@s40");
    b.entry("&Title:", "MUS:Title", "@s40");
    QComboBox *media = b.lookup("&Media:", "MUS:Media", "@s20");
    b.entry("T&ime:", "MUS:Time", "@t1");
    b.entry("&Release Date:", "MUS:ReleaseDate", "@d6");
    QComboBox *category = b.lookup("&Category:", "CAT:Category", "@s30");
    b.spin("Track &Number:", "MUS:TrackNumber", 0, 255);
    b.entry("Side/&Disc:", "MUS:Side", "@n2b");
    b.entry("&Beats Per Minute:", "MUS:BeatsPerMinute", "@n_4b");
    b.column();
    b.entry("Highest C&hart Number:", "MUS:ChartNumber", "@n3b");
    b.entry("Rati&ng:", "MUS:Rating", "@n2b");
    b.check("&Skips", "MUS:Skips");
    b.check("Do Not &Play", "MUS:DoNotPlay");
    b.check("&Live", "MUS:Live");
    b.option("Type of &Ending", "MUS:EndType", {"Slow", "Fast", "Abrupt"});
    b.endTab();
    b.tab("Recording/Performance");
    b.memo("Recording &Information:", "MUS:Recording", 30, "Recording Information (Engineer, Producer, Etc)");
    b.entry("C&omposer:", "MUS:Composer", "@s40");
    b.memo("Performance N&otes:", "MUS:PerformanceNotes", 30);
    b.endTab();
    b.tab("&Notes");
    b.memo("Notes:", "MUS:Notes");
    b.endTab();
    QPushButton *ok = b.button("&OK");
    QPushButton *cancel = b.button("Cancel");
    QWidget *w = b.finish();

    qobject_cast<LookupField *>(FieldControl::of(media))->setChoices({"CD", "LP", "Cassette", "Other"});
    qobject_cast<LookupField *>(FieldControl::of(category))->setChoices({"Disco", "Pop", "Rock"});
    on(ok, EventKind::Accepted, [this] {
        ++passes;
        failed = controls().validateAll();
    });
    on(cancel, EventKind::Accepted, [this] { closeWindow(); });
    return w;
}

bool TestForm::openRoutine() {
    if (onOpen)
        onOpen(*this);
    return true;
}

void TestForm::takeEvent(const Event &e) {
    events << e;
    Window::takeEvent(e);
}

int TestForm::accepted(const QString &name) const {
    int n = 0;
    for (const Event &e : events)
        n += e.kind == EventKind::Accepted && e.control && e.control->objectName() == name;
    return n;
}

} // namespace tbk::windowtest
