#include "songs/lookuplists.h"

#include "core/datafiles.h"
#include "core/standardwarnings.h"
#include "runtime/data/errors.h"
#include "runtime/threads/messagebox.h"
#include "runtime/ui/fieldcontrol.h"
#include "runtime/values/text.h"

#include <QWidget>

namespace tbk {

namespace {
void offer(QWidget *combo, const QStringList &names) {
    if (auto *lookup = dynamic_cast<LookupField *>(FieldControl::of(combo)))
        lookup->setChoices(names);
}
} // namespace

LookupLists::LookupLists(QWidget *media, QWidget *category,
                         std::function<void(const QString &, const QVariant &)> setField, LookupFields fields)
    : mediaCombo_(media), categoryCombo_(category), setField_(std::move(setField)), fields_(std::move(fields)) {}

bool LookupLists::fill() { return fillMedia() && fillCategories(); }

bool LookupLists::fillMedia() {
    const data::Record kept = MED.record();
    media_.clear();
    MED.set(MED.KeyMedia);
    while (MED.next())
        media_ << MED.Media.str();
    const bool read = data::errorCode() == data::RecordNotAvailable;
    MED.setRecord(kept);
    if (!read) {
        ShowStandardWarningWithText(35, QStringLiteral("Media"));
        return false;
    }
    offer(mediaCombo_, media_);
    return true;
}

bool LookupLists::fillCategories() {
    const data::Record kept = CAT.record();
    categories_.clear();
    CAT.set(CAT.KeyCategory);
    while (CAT.next())
        categories_.push_back({CAT.Category.str(), CAT.CategoryID.value()});
    const bool read = data::errorCode() == data::RecordNotAvailable;
    CAT.setRecord(kept);
    if (!read) {
        ShowStandardWarningWithText(35, QStringLiteral("Categories"));
        return false;
    }
    QStringList names;
    for (const Category &c : categories_)
        names << c.name;
    offer(categoryCombo_, names);
    return true;
}

int LookupLists::checkMedia(const QString &name) {
    const data::Record kept = MED.record();
    MED.clear();
    MED.Media = name;
    const bool found = !name.isEmpty() && MED.get(MED.KeyMedia);
    MED.setRecord(kept);
    return found ? 0 : ShowStandardWarning(11, QStringLiteral("Media"), QStringLiteral("Media"));
}

int LookupLists::checkMediaInList(const QString &name) {
    for (const QString &m : media_)
        if (sameText(m, name, Qt::CaseInsensitive)) {
            setField_(fields_.media, m);
            return 0;
        }
    return 1;
}

int LookupLists::findCategory(const QString &name) {
    if (name.isEmpty()) {
        setField_(fields_.categoryID, 0);
        return 0;
    }
    for (const Category &c : categories_)
        if (sameText(c.name, name, Qt::CaseInsensitive)) {
            setField_(fields_.categoryID, c.id);
            return 0;
        }
    return 1;
}

int LookupLists::checkCategory(const QString &name) {
    if (findCategory(name) == 0)
        return 0;
    if (message(QStringLiteral("Add new category?"), QStringLiteral("Category not found"), MessageIcon::Question,
                ButtonYes | ButtonNo, ButtonYes) != ButtonYes)
        return 1;
    if (!addCategory(name))
        message(QStringLiteral("Unable to add category - ") + errorDescription(currentError()), QStringLiteral("Error!"),
                MessageIcon::Exclamation, ButtonOK);
    if (!fillCategories())
        return 1;
    return checkCategory(name);
}

bool LookupLists::addCategory(const QString &name) {
    const data::Record kept = CAT.record();
    qint64 last = 0;
    CAT.set(CAT.KeyCategoryID);
    if (CAT.previous())
        last = CAT.CategoryID.value();
    else if (data::errorCode() != data::RecordNotAvailable) {
        CAT.setRecord(kept);
        return false;
    }
    CAT.clear();
    CAT.CategoryID = last + 1;
    CAT.Category = name;
    const bool added = CAT.add();
    CAT.setRecord(kept);
    return added;
}

void LookupLists::showCategory(qint64 id) {
    if (!categoryCombo_ || categoryCombo_->hasFocus())
        return;
    FieldControl::of(categoryCombo_)->setValue(categoryName(id));
}

QString LookupLists::categoryName(qint64 id) const {
    QString name;
    for (const Category &c : categories_)
        if (c.id == id)
            name = c.name;
    return name;
}

} // namespace tbk
