#pragma once
// What the album wizards' tests share: real data files with the media "CD" and one other, the
// simulated drive, the wizard run on its own thread and driven as a user drives it.
#include "core/datafiles.h"
#include "core/fileaccess.h"
#include "runtime/data/record.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/threads/scheduler.h"
#include "runtime/ui/listcontrol.h"
#include "support/catalogue/cataloguetest.h"
#include "support/cdlookup/lookupfixture.h"
#include "support/windows/controltesting.h"
#include "support/windows/threadcall.h"
#include "support/windows/windowtesting.h"

#include <QTabWidget>
#include <QWidget>

#include <memory>

namespace wizardtest {

using namespace tbk;
using namespace tbk::windowtest;

// Two tracks from frames 150 and 25000 to the lead-out at 50000.
inline const char *const kTwoTrackDisc = "tracks 150 25000\nleadout 50000\n";

class WizardTest : public cdlookuptest::DiscLookupTest {
protected:
    // `otherMedia`: the media file's second name, after "CD".
    void setUpWizard(const char *otherMedia) {
        DiscLookupTest::SetUp();
        openForUse(MED);
        for (const char *m : {"CD", otherMedia})
            cataloguetest::addMedia(m);
        GlobalRequest = 0;
        NavigationRequest = 0;
        ALB.clear();
    }

    void startWizard(void (*wizard)()) {
        run = startOnThread([this, wizard] {
            wizard();
            album = ALB.record();
        });
    }
    QWidget *window() const { return windowtest::window(run); }
    int page() const {
        const auto *sheet = window() ? window()->findChild<QTabWidget *>() : nullptr;
        return sheet ? sheet->currentIndex() + 1 : 0;
    }
    ListControl *songList() const { return qobject_cast<ListControl *>(findControl(window(), "Browse:2")); }
    bool press(const QString &button) const { return windowtest::press(run, button); }
    bool type(const QString &field, const QString &text) const { return windowtest::type(run, field, text); }
    bool finished() const { return runUntil([this] { return run->done; }); }

    Started run;
    data::Record album;   // the buffer the wizard left
};

} // namespace wizardtest
