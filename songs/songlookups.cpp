#include "songs/songlookups.h"

#include "core/datafiles.h"
#include "core/standardwarnings.h"
#include "runtime/data/errors.h"
#include "runtime/threads/messagebox.h"
#include "runtime/ui/fieldcontrol.h"
#include "runtime/values/text.h"

#include <QWidget>

namespace tbk {

namespace {
const QString kMediaField = QStringLiteral("MUS:Media");
const QString kCategoryID = QStringLiteral("MUS:CategoryID");

void offer(QWidget *combo, const QStringList &names) {
    if (auto *lookup = dynamic_cast<LookupField *>(FieldControl::of(combo)))
        lookup->setChoices(names);
}
} // namespace

SongLookups::SongLookups(QWidget *media, QWidget *category,
                         std::function<void(const QString &, const QVariant &)> setField)
    : mediaCombo_(media), categoryCombo_(category), setField_(std::move(setField)) {}

bool SongLookups::fill() { return fillMedia() && fillCategories(); }

bool SongLookups::fillMedia() {
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

bool SongLookups::fillCategories() {
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

int SongLookups::checkMedia(const QString &name) {
    const data::Record kept = MED.record();
    MED.clear();
    MED.Media = name;
    const bool found = !name.isEmpty() && MED.get(MED.KeyMedia);
    MED.setRecord(kept);
    return found ? 0 : ShowStandardWarning(11, QStringLiteral("Media"), QStringLiteral("Media"));
}

int SongLookups::checkMediaInList(const QString &name) {
    for (const QString &m : media_)
        if (sameText(m, name, Qt::CaseInsensitive)) {
            setField_(kMediaField, m);
            return 0;
        }
    return 1;
}

int SongLookups::checkCategory(const QString &name) {
    if (name.isEmpty()) {
        setField_(kCategoryID, 0);
        return 0;
    }
    for (const Category &c : categories_)
        if (sameText(c.name, name, Qt::CaseInsensitive)) {
            setField_(kCategoryID, c.id);
            return 0;
        }
    if (message(QStringLiteral("Add new category?"), QStringLiteral("Category not found"), MessageIcon::Question,
                ButtonYes | ButtonNo, ButtonYes) != ButtonYes)
        return 1;
    if (!addCategory(name))
        message(QStringLiteral("Unable to add category - ") + data::errorText(), QStringLiteral("Error!"),
                MessageIcon::Exclamation, ButtonOK);
    if (!fillCategories())
        return 1;
    return checkCategory(name);
}

bool SongLookups::addCategory(const QString &name) {
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

void SongLookups::showCategory(qint64 id) {
    if (!categoryCombo_ || categoryCombo_->hasFocus())
        return;
    QString name;
    for (const Category &c : categories_)
        if (c.id == id)
            name = c.name;
    FieldControl::of(categoryCombo_)->setValue(name);
}

} // namespace tbk
