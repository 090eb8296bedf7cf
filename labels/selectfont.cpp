#include "labels/fonts.h"

#include "records/browse.h"
#include "core/datafiles.h"
#include "core/fileaccess.h"
#include "runtime/ui/listcontrol.h"
#include "runtime/ui/windowbuilder.h"

#include <QPushButton>

namespace tbk {

namespace {

class SelectFontWindow : public Browse {
public:
    SelectFontWindow() : Browse(QStringLiteral("SelectFont"), {&FON}) { setForm(UpdateFonts); }

    // The font the user chose with "&Select"; 0 when none was.
    qint32 chosen() const { return chosen_; }

protected:
    QWidget *buildWindow() override {
        WindowBuilder b(*this, QStringLiteral("Favorite Fonts"), {260, 140});
        ListControl *l = b.list(QStringLiteral("Browse:1"),
                                QStringLiteral("100L(2)|M~Type Face~@s32@40L(2)|M~Size~@S32@"
                                               "50L(2)|M~Colour~@S32@40L(2)|M~Style~@S32@"));
        Buttons buttons;
        buttons.select = b.button(QStringLiteral("&Select"));
        buttons.add = b.button(QStringLiteral("&Add"));
        buttons.change = b.button(QStringLiteral("&Change"));
        buttons.remove = b.button(QStringLiteral("&Delete"));
        QPushButton *freeform = b.button(QStringLiteral("&Freeform"));
        buttons.close = b.button(QStringLiteral("Cancel"));
        setButtons(buttons);
        setPopup({{QStringLiteral("&Add"), buttons.add},
                  {QStringLiteral("&Change"), buttons.change},
                  {QStringLiteral("&Delete"), buttons.remove},
                  {},
                  {QStringLiteral("&Freeform"), freeform},
                  {QStringLiteral("&Select"), buttons.select}});
        makeList(l, FON, [] {
            return std::vector<QVariant>{FON.TYPEFACE.str(), FON.SIZE.str(), FON.COLOUR.str(), FON.STYLE.str()};
        }).addSortOrder({&FON.KeyTypeFace, {}, {}, LocatorKind::FirstLetter, 0, {0, 32, StopLetters | StopDigits}});
        on(freeform, EventKind::Accepted, [this] {
            if (list().empty())
                return;
            callListForm(list(), ChangeRecord, UpdateFontFreeform);
            if (!list().failed())
                refresh(true);
        });
        return b.finish();
    }

    void refreshed() override {
        if (QPushButton *f = qobject_cast<QPushButton *>(controls().control(QStringLiteral("Freeform"))))
            f->setEnabled(!list().empty());
    }

    void closeRoutine() override {
        if (selectMode() && response() == RequestCompleted)
            chosen_ = qint32(FON.FONTID.value());
        Browse::closeRoutine();
    }

private:
    qint32 chosen_ = 0;
};

} // namespace

void SelectFont(qint32 &fontReference) {
    // Held across the window's run: the list opens on the font the reference names.
    FilesInUse files{&FON};
    if (GlobalRequest == SelectRecord) {
        FON.clear();
        FON.FONTID = fontReference;
        if (fontReference == 0 || !FON.get(FON.KeyFontID))
            FON.clear();
    }
    SelectFontWindow w;
    w.run();
    if (w.chosen() != 0)
        fontReference = w.chosen();
}

void SelectFont() {
    qint32 unused = 0;
    SelectFont(unused);
}

} // namespace tbk
