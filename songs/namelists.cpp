#include "songs/namelists.h"

#include "runtime/ui/listcontrol.h"
#include "runtime/ui/windowbuilder.h"

#include <QPushButton>
#include <QWidget>

namespace tbk {

NameBrowse::NameBrowse(NameBrowseDesign design)
    : Browse(design.procedure, {design.file}), design_(std::move(design)) {
    setKeepsListFormat(design_.keepsFormat);
    setForm(design_.form);
}

QWidget *NameBrowse::buildWindow() {
    WindowBuilder b(*this, design_.title, design_.minimumUnits);
    ListControl *l = b.list(design_.listName, design_.format);
    Buttons buttons;
    if (design_.selectFirst)
        buttons.select = b.button(design_.select);
    buttons.add = b.button(design_.add);
    buttons.change = b.button(design_.change);
    buttons.remove = b.button(design_.remove);
    if (!design_.selectFirst)
        buttons.select = b.button(design_.select);
    buttons.close = b.button(design_.close);
    setButtons(buttons);
    setPopup({{design_.add, buttons.add},
              {design_.change, buttons.change},
              {design_.remove, buttons.remove},
              {},
              {design_.select, buttons.select}});
    data::DataFile &file = *design_.file;
    const int nameField = design_.key->decl().fields.front();
    makeList(l, file, [&file, nameField] { return std::vector<QVariant>{data::FieldRef(&file, nameField).text()}; })
        .addSortOrder({design_.key, {}, {}, LocatorKind::FirstLetter, 0,
                       {0, design_.nameLength, StopLetters | StopDigits}});
    return b.finish();
}

NameForm::NameForm(NameFormDesign design) : Form(design.procedure, design.file), design_(std::move(design)) {
    if (design_.ditto)
        useDitto(*design_.ditto, design_.dittoKey);
}

QWidget *NameForm::createForm() {
    WindowBuilder b(*this, {});
    b.entry(design_.prompt, design_.field, design_.picture);
    QPushButton *ok = b.button(QStringLiteral("&Ok"));
    QPushButton *cancel = b.button(QStringLiteral("Cancel"));
    setFormButtons(ok, cancel);
    return b.finish();
}

void NameForm::formOpened() {
    widget()->setWindowTitle(record().inserting() ? design_.addingTitle : design_.changingTitle);
}

} // namespace tbk
