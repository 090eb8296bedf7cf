#pragma once
// The label tests' fixture for fonts and label printing: the song tests' files and thread
// calls, with real Fonts and Labels files in the test's folder and the shared printer writing
// a PDF file.
#include "core/programsettings.h"
#include "runtime/threads/printersetup.h"
#include "songs/songtest.h"

#include <QDir>
#include <QPrinter>

namespace fontstest {

using namespace songtest;


class FontsTest : public SongTest {
protected:
    void SetUp() override {
        SongTest::SetUp();
        openForUse(FON);
        openForUse(LAB);
        GlobalResponse = 0;
        AltCasFmt = 0;
        sharedPrinter().setOutputFormat(QPrinter::PdfFormat);
        sharedPrinter().setOutputFileName(pdf());
        sharedPrinter().setCopyCount(1);
    }
    void TearDown() override {
        SongTest::TearDown();
        sharedPrinter().setOutputFileName({});
    }

    static QString pdf() { return QDir::current().absoluteFilePath("out.pdf"); }

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
        return rows(FON, FON.KeyFontID, [] {
            return QStringLiteral("%1:%2/%3/%4/%5")
                .arg(qint64(FON.FONTID.value()))
                .arg(FON.TYPEFACE.str(), FON.SIZE.str(), FON.COLOUR.str(), FON.STYLE.str());
        });
    }
};

} // namespace fontstest
