#pragma once
// The label tests' fixture for fonts and label printing: real Fonts and Labels files in the
// test's folder, windows and previews called on their own logical threads and driven as a user
// drives them, the shared printer writing a PDF file.
#include "core/datafiles.h"
#include "core/fileaccess.h"
#include "core/programsettings.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/threads/halt.h"
#include "runtime/threads/messagebox.h"
#include "runtime/threads/printersetup.h"
#include "runtime/threads/scheduler.h"
#include "support/windows/controltesting.h"
#include "support/windows/windowtesting.h"

#include <QDir>
#include <QPrinter>
#include <QString>
#include <QWidget>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace fontstest {

using namespace tbk;
using namespace tbk::windowtest;

struct Call {
    int thread = 0;
    bool done = false;
    qint32 response = -1;
};
using Started = std::shared_ptr<Call>;

class FontsTest : public testing::Test {
protected:
    void SetUp() override {
        setExitHook([](int) {});
        openForUse(FON);
        openForUse(LAB);
        GlobalRequest = 0;
        GlobalResponse = 0;
        AltCasFmt = 0;
        sharedPrinter().setOutputFormat(QPrinter::PdfFormat);
        sharedPrinter().setOutputFileName(pdf());
        sharedPrinter().setCopyCount(1);
    }
    void TearDown() override {
        endAllThreads();
        closeAllDataFiles();
        sharedPrinter().setOutputFileName({});
    }

    static QString pdf() { return QDir::current().absoluteFilePath("out.pdf"); }

    // Runs the procedure on a new thread with the request, after `load` has filled the buffers.
    static Started call(const std::function<void()> &procedure, qint32 request = 0, std::function<void()> load = {}) {
        auto c = std::make_shared<Call>();
        c->thread = startThread(
            [c, request, load, procedure] {
                if (load)
                    load();
                GlobalRequest = request;
                procedure();
                c->response = GlobalResponse;
                c->done = true;
            },
            kMinimumThreadStack);
        EXPECT_TRUE(runUntilIdle());
        return c;
    }
    static QWidget *window(const Started &c) { return activeWindow(c->thread); }
    static bool press(const Started &c, const QString &button) { return pressButton(c->thread, button) && runUntilIdle(); }
    static bool type(const Started &c, const QString &field, const QString &text) {
        return typeInto(c->thread, field, text) && runUntilIdle();
    }
    static bool answer(const Started &c, int button) { return answerMessage(c->thread, button) && runUntilIdle(); }

    static void addFont(qint64 id, const QString &face, const QString &size, const QString &colour,
                        const QString &style) {
        FON.clear();
        FON.FONTID = id;
        FON.TYPEFACE = face;
        FON.SIZE = size;
        FON.COLOUR = colour;
        FON.STYLE = style;
        ASSERT_TRUE(FON.add()) << data::errorCode();
    }
    // Every font as "id:face/size/colour/style", by identifier.
    static QStringList fonts() {
        QStringList out;
        FON.set(FON.KeyFontID);
        while (FON.next())
            out << QStringLiteral("%1:%2/%3/%4/%5")
                       .arg(qint64(FON.FONTID.value()))
                       .arg(FON.TYPEFACE.str(), FON.SIZE.str(), FON.COLOUR.str(), FON.STYLE.str());
        return out;
    }
};

} // namespace fontstest
