#include "cdaudio/cdplayer.h"

#include "records/procedurecall.h"
#include "core/programsettings.h"
#include "setup/settingswindow.h"
#include "runtime/ui/windowbuilder.h"

#include <QAbstractButton>
#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>

namespace tbk {

namespace {

class CDSetupWindow : public SettingsWindow {
public:
    CDSetupWindow() : SettingsWindow(QStringLiteral("CDSetup")) {}

protected:
    QWidget *createWindow() override {
        WindowBuilder b(*this, QStringLiteral("CD Player Preferences"));
        QGroupBox *group = b.option(QStringLiteral("Check CD Status Every n 100ths of a Second"), QStringLiteral("CDTimer"),
                                    {QStringLiteral("100"), QStringLiteral("250"), QStringLiteral("1000"),
                                     QStringLiteral("150"), QStringLiteral("300"), QStringLiteral("Do Not Check"),
                                     QStringLiteral("200"), QStringLiteral("500")},
                                    {}, {100, 250, 1000, 150, 300, 0, 200, 500});
        arrangeInRows(group, 3);
        QPushButton *ok = b.button(QStringLiteral("&Ok"));
        QPushButton *cancel = b.button(QStringLiteral("Cancel"));
        ok->setDefault(true);
        QWidget *w = b.finish();
        bindSettings();
        on(ok, EventKind::Accepted, [this] {
            SettingsWriter writer;
            writer.put("CDTimer", QString::number(CDTimer));
            writer.reportFailure();
            closeWindow();
        });
        on(cancel, EventKind::Accepted, [this] {
            LoadProgramSettings();
            closeWindow();
        });
        return w;
    }

private:
    // The choices read across, so many to a row, in their order.
    static void arrangeInRows(QGroupBox *group, int perRow) {
        const QList<QAbstractButton *> buttons = group->findChildren<QAbstractButton *>(Qt::FindDirectChildrenOnly);
        const int spacing = group->layout()->spacing();
        delete group->layout();
        auto *grid = new QGridLayout(group);
        grid->setVerticalSpacing(spacing);
        for (int i = 0; i < buttons.size(); ++i)
            grid->addWidget(buttons[i], i / perRow, i % perRow);
    }
};

} // namespace

void CDSetup() {
    ProcedureCall call;
    call.setResponse(RequestCancelled);
    CDSetupWindow().run();
}

} // namespace tbk
