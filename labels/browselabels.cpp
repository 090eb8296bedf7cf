#include "records/browse.h"
#include "core/datafiles.h"
#include "core/procedures.h"
#include "labels/labelwindows.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/ui/listcontrol.h"
#include "runtime/ui/windowbuilder.h"

#include <QPushButton>
#include <QTabWidget>

namespace tbk {

namespace {

const QString kPrint = QStringLiteral("PrintLabelReport");
const QString kFormat = QStringLiteral(
    "120L(2)|M~Label Description~@s30@40L(2)|M~Label Type~@s9@160L(2)|M~Cassette Title~@s255@"
    "120L(2)|M~CD Title~@s60@");

class BrowseLabelsWindow : public Browse {
public:
    BrowseLabelsWindow() : Browse(QStringLiteral("BrowseLabels"), {&FON, &LAB}) {
        setForm(QStringLiteral("UpdateLabels"));
        // Copy is an insert over the highlighted label.
        setCopyRequest(InsertRecord);
    }

protected:
    QWidget *buildWindow() override {
        WindowBuilder b(*this, QStringLiteral("Labels"), {340, 170});
        b.tab(QStringLiteral("By Description"));
        b.endTab();
        b.tab(QStringLiteral("By Type"));
        b.endTab();
        ListControl *l = b.list(QStringLiteral("Browse:1"), kFormat, 110, QStringLiteral("Right-Click for Options"));
        wizard_ = b.button(QStringLiteral("Wi&zard"));
        Buttons buttons;
        buttons.add = b.button(QStringLiteral("&Add"), QStringLiteral("Add a blank label"));
        buttons.copy = b.button(QStringLiteral("Cop&y"), QStringLiteral("Copy label"));
        buttons.change = b.button(QStringLiteral("&Change"), QStringLiteral("Modify the highlighted label"));
        buttons.remove = b.button(QStringLiteral("&Delete"), QStringLiteral("Delete the highlighted label"));
        print_ = b.button(QStringLiteral("&Print"), QStringLiteral("Print the highlighted label"));
        buttons.close = b.button(QStringLiteral("Cl&ose"));
        setButtons(buttons);
        setPopup({{QStringLiteral("&Add"), buttons.add},
                  {QStringLiteral("&Change"), buttons.change},
                  {QStringLiteral("&Delete"), buttons.remove},
                  {},
                  {QStringLiteral("Cop&y"), buttons.copy},
                  {},
                  {wizard_->text(), nullptr, [this] { runWizard(); }, [this] { return wizard_->isEnabled(); }},
                  {print_->text(), nullptr, [this] { print(); }, [this] { return print_->isEnabled(); }}});

        BrowseList &list = makeList(l, LAB, [] {
            return std::vector<QVariant>{LAB.LABELDESCRIPTION.str(), LAB.LABELTYPE.str(),
                                         LAB.CassetteTitle.str().left(255), LAB.CDTITLE.str().left(60),
                                         LAB.LabelID.value()};
        });
        list.addSortOrder({&LAB.KeyLabelDescription, {}, {}, LocatorKind::FirstLetter, 0, {0, 30, StopLetters | StopDigits}});
        list.addSortOrder({&LAB.KEYLABELTYPE, {}, {}, LocatorKind::FirstLetter, 0, {0, 9, StopLetters | StopDigits}});
        on(wizard_, EventKind::Accepted, [this] { runWizard(); });
        on(print_, EventKind::Accepted, [this] { print(); });
        QWidget *w = b.finish();
        setSortTabs(w->findChild<QTabWidget *>());
        l->setFocus();
        return w;
    }

    void refreshed() override {
        wizard_->setEnabled(procedureRegistered(QStringLiteral("LabelWizard")));
        print_->setEnabled(!list().empty() && procedureRegistered(kPrint));
    }

private:
    // The wizard primes its label over the highlighted one, as the form's Copy does.
    void runWizard() {
        const Procedure wizard = findProcedure(QStringLiteral("LabelWizard"));
        if (!wizard || (!list().empty() && !list().rereadCurrent()))
            return;
        const ListFormCall call = callListForm(list(), InsertRecord, wizard, true);
        if (list().failed())
            return;
        reloadAfterForm(list(), call);
        refresh();
    }

    void print() {
        const Procedure report = findProcedure(kPrint);
        if (!report || list().empty() || !list().rereadCurrent())
            return;
        report();
    }

    QPushButton *wizard_ = nullptr;
    QPushButton *print_ = nullptr;
};

} // namespace

void BrowseLabels() { BrowseLabelsWindow().run(); }

} // namespace tbk
