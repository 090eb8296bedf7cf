#pragma once
// What the album wizards' tests share: real data files with the media "CD" and one other, the
// simulated drive, the wizard run on its own thread and driven as a user drives it.
#include "core/datafiles.h"
#include "core/fileaccess.h"
#include "runtime/data/record.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/threads/scheduler.h"
#include "runtime/ui/listcontrol.h"
#include "support/cdlookup/lookupfixture.h"
#include "support/windows/controltesting.h"
#include "support/windows/windowtesting.h"

#include <QTabWidget>
#include <QWidget>

#include <memory>

namespace wizardtest {

using namespace tbk;
using namespace tbk::windowtest;

struct WizardRun {
    int thread = 0;
    bool done = false;
    qint32 response = -1;
    data::Record album;   // the buffer the wizard left
};

class WizardTest : public cdlookuptest::DiscLookupTest {
protected:
    // `otherMedia`: the media file's second name, after "CD".
    void setUpWizard(const char *otherMedia) {
        DiscLookupTest::SetUp();
        openForUse(MED);
        for (const char *m : {"CD", otherMedia}) {
            MED.clear();
            MED.Media = m;
            ASSERT_TRUE(MED.add());
        }
        GlobalRequest = 0;
        NavigationRequest = 0;
        ALB.clear();
    }

    void startWizard(void (*wizard)()) {
        run = std::make_shared<WizardRun>();
        run->thread = startThread(
            [r = run, wizard] {
                wizard();
                r->response = GlobalResponse;
                r->album = ALB.record();
                r->done = true;
            },
            kMinimumThreadStack);
        ASSERT_TRUE(runUntilIdle());
    }
    QWidget *window() const { return activeWindow(run->thread); }
    int page() const {
        const auto *sheet = window() ? window()->findChild<QTabWidget *>() : nullptr;
        return sheet ? sheet->currentIndex() + 1 : 0;
    }
    ListControl *songList() const { return qobject_cast<ListControl *>(findControl(window(), "Browse:2")); }
    bool press(const QString &button) const { return pressButton(run->thread, button) && runUntilIdle(); }
    bool type(const QString &field, const QString &text) const {
        return typeInto(run->thread, field, text) && runUntilIdle();
    }
    bool finished() const { return runUntil([this] { return run->done; }); }

    std::shared_ptr<WizardRun> run;
};

} // namespace wizardtest
