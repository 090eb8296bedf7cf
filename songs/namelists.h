#pragma once
// The two small files of names, categories and media formats, share one shape: a one-column
// list over the name key with a first-letter locator, and a one-entry form with ditto. The
// windows differ only in their texts, buttons and the file's own rules.
#include "records/browse.h"
#include "records/form.h"
#include "runtime/ui/listcontrol.h"

#include <QSize>
#include <QString>

#include <functional>

namespace tbk {

struct NameBrowseDesign {
    QString procedure;
    QString title;
    QSize minimumUnits;          // empty: the design size
    QString listName;            // the list control's name in ".\POSITION.INI"
    QString format;
    bool keepsFormat = false;
    data::DataFile *file = nullptr;
    const data::Key *key = nullptr;
    int nameLength = 0;          // the thumb's stops are names of this length
    // Buttons in window order; Add comes first for the media list, Select for the categories.
    QString add, change, remove, select, close;
    bool selectFirst = false;
    std::function<void()> form;
};

class NameBrowse : public Browse {
public:
    explicit NameBrowse(NameBrowseDesign design);

protected:
    QWidget *buildWindow() override;

private:
    NameBrowseDesign design_;
};

struct NameFormDesign {
    QString procedure;
    FormFile file;
    QString prompt;
    QString field;
    QString picture;
    QString addingTitle;
    QString changingTitle;
    DittoStore *ditto = nullptr;
    int dittoKey = 0;
};

class NameForm : public Form {
public:
    explicit NameForm(NameFormDesign design);

protected:
    QWidget *createForm() override;
    void formOpened() override;

private:
    NameFormDesign design_;
};

} // namespace tbk
