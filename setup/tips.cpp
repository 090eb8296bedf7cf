#include "setup/tips.h"

#include "core/artwork.h"
#include "records/browse.h"
#include "core/datafiles.h"
#include "records/form.h"
#include "core/programsettings.h"
#include "runtime/settings/profile.h"
#include "runtime/values/text.h"
#include "runtime/ui/listcontrol.h"
#include "runtime/ui/windowbuilder.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

namespace tbk {

qint32 nextTipTarget(qint32 shown, qint32 highest) {
    // Against the highest identifier, not the number of tips: after deletes they differ, and
    // the tips above the count would never be reached.
    return shown < highest && shown > 0 ? shown + 1 : 1;
}

qint32 backTipTarget(qint32 shown, qint32 highest) { return shown > 1 ? shown - 1 : highest; }

namespace {

const char *const kTipEntry = "Tip";
const char *const kShowTipsEntry = "ShowTips";

DittoStore &tipDitto() {
    static DittoStore store;
    return store;
}

// The highest tip identifier in the file; 0 when it has none.
qint32 highestTipId() {
    TIP.set(TIP.KEYID);
    return TIP.previous() ? TIP.ID.value() : 0;
}

// Reads the first tip at or above the identifier (forward) or the last at or below it.
bool readTip(qint32 id, bool forward) {
    TIP.clear();
    TIP.ID = id;
    TIP.setFromBuffer(TIP.KEYID);
    return forward ? TIP.next() : TIP.previous();
}

void putSetting(const char *entry, qint64 value) {
    putIni(QString::fromLatin1(kSettingsSection), QString::fromLatin1(entry), QString::number(value), ProgramIniFile);
}

class TipWindow : public Form {
public:
    TipWindow()
        : Form(QStringLiteral("UpdateTBKTips"), {&TIP, &TIP.KEYID, QStringLiteral("ID"), DeleteTipRecord,
                                                  UpdateTipRecord, CaptureTipLinks, {{&TIP.KEYTIP, QStringLiteral("Tips")}}}),
          editor_(DbgMode != 0) {
        setKeepsPlace(false);
        // Only the editor writes tips; the tip of the day's text is read-only.
        if (editor_)
            useDitto(tipDitto(), Qt::Key_Apostrophe);
    }

protected:
    QWidget *createForm() override {
        if (!editor_ && !showFirstTip())
            return nullptr;
        WindowBuilder b(*this, {}, {260, 110});
        b.picture(artwork(QStringLiteral("bulb.gif")));
        b.column();
        QLabel *caption = b.text(QStringLiteral("TuneBank Pro Tip of the Day..."));
        QFont font = caption->font();
        font.setBold(true);
        font.setPointSizeF(font.pointSizeF() * 1.3);
        caption->setFont(font);
        auto *text = b.memo({}, QStringLiteral("TIP:TIP"), 60);
        auto *show = b.check(QStringLiteral("Show tips at start up"), QString::fromLatin1(kShowTipsEntry),
                             QStringLiteral("Show tip at startup"));
        QPushButton *ok = b.button(QStringLiteral("&Ok"));
        QPushButton *close = b.button(QStringLiteral("Cl&ose"));
        QPushButton *back = b.button(QStringLiteral("&Back"));
        QPushButton *next = b.button(QStringLiteral("&Next"));
        QWidget *w = b.finish();

        setFormButtons(ok, nullptr);
        ok->setVisible(editor_);
        back->setVisible(!editor_);
        next->setVisible(!editor_);
        text->setReadOnly(!editor_);
        controls().setValue(QString::fromLatin1(kShowTipsEntry), int(ShowTips != 0));
        // The new choice holds for the rest of the run; only Close keeps it for the next.
        on(show, EventKind::Accepted, [show] { ShowTips = show->isChecked() ? 1 : 0; });
        on(close, EventKind::Accepted, [this] {
            putSetting(kShowTipsEntry, ShowTips);
            putSetting(kTipEntry, shownTip());
            cancelPressed();
        });
        on(back, EventKind::Accepted, [this] { step(false); });
        on(next, EventKind::Accepted, [this] { step(true); });
        return w;
    }

    void formOpened() override { widget()->setWindowTitle(QString()); }

    void takeEvent(const Event &e) override {
        // The tip of the day is for reading: its text is not left selected, Next has the focus.
        if (e.kind == EventKind::OpenWindow && !editor_) {
            if (auto *text = qobject_cast<QPlainTextEdit *>(controls().control(QStringLiteral("TIP:TIP"))))
                text->moveCursor(QTextCursor::Start);
            if (QWidget *next = controls().control(QStringLiteral("Next")))
                next->setFocus();
        }
        Form::takeEvent(e);
    }

private:
    qint32 shownTip() { return record().value(QStringLiteral("TIP:ID")).toInt(); }

    // The tip after the one shown last in an earlier run; false when there is none.
    bool showFirstTip() {
        const qint32 last = numberInRange<qint32>(numericValue(
            getIni(QString::fromLatin1(kSettingsSection), QString::fromLatin1(kTipEntry), QStringLiteral("1"), ProgramIniFile)));
        const qint32 highest = highestTipId();
        if (highest == 0 || !readTip(nextTipTarget(last, highest), true))
            return false;
        record().fromBuffer();
        return true;
    }

    void step(bool forward) {
        const qint32 highest = highestTipId();
        if (highest == 0)
            return;
        const qint32 shown = shownTip();
        const bool found = forward ? readTip(nextTipTarget(shown, highest), true)
                                   : readTip(backTipTarget(shown, highest), false) || readTip(highest, false);
        if (!found)
            return;
        record().fromBuffer();
        loadControls();
    }

    bool editor_;
};

class TipList : public Browse {
public:
    TipList() : Browse(QStringLiteral("BrowseTBKTips"), {&TIP}) {
        setKeepsPlace(false);
        setKeepsListFormat(false);
    }

protected:
    QWidget *buildWindow() override {
        WindowBuilder b(*this, QStringLiteral("Tips"), {260, 150});
        b.tab(QStringLiteral("Tips"));
        ListControl *list = b.list(QStringLiteral("Browse"), QStringLiteral("200L(2)|M~Tip~@s255@"), 110);
        b.endTab();
        Buttons buttons;
        buttons.add = b.button(QStringLiteral("&Add"));
        buttons.change = b.button(QStringLiteral("&Change"));
        buttons.remove = b.button(QStringLiteral("&Delete"));
        buttons.close = b.button(QStringLiteral("Cl&ose"));
        makeList(list, TIP, [] { return std::vector<QVariant>{TIP.TIP.str().left(255)}; })
            .addSortOrder({&TIP.KEYID, {}, {}, LocatorKind::None, 0, {0}});
        setButtons(buttons);
        setForm(QStringLiteral("UpdateTBKTips"));
        QWidget *w = b.finish();
        setSortTabs(w->findChild<QTabWidget *>());
        return w;
    }
};

} // namespace

void UpdateTBKTips() { TipWindow().run(); }
void BrowseTBKTips() { TipList().run(); }

} // namespace tbk
