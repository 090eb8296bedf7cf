#pragma once
// The media and category drop lists of a window that edits a record with a media name and a
// category identifier (the song form, the add wizards, the album form): filled from their
// files, and the checks their accepted values pass.
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QtGlobal>

#include <functional>
#include <vector>

class QWidget;

namespace tbk {

struct LookupFields {
    QString media = QStringLiteral("MUS:Media");
    QString categoryID = QStringLiteral("MUS:CategoryID");
};

class LookupLists {
public:
    // The two lookups, the record's fields they stand for and how the checks set those in the
    // window's own copy of the record.
    LookupLists(QWidget *media, QWidget *category, std::function<void(const QString &, const QVariant &)> setField,
                LookupFields fields = {});

    // Both lists from their files, sorted by name; false after standard warning 35 (the window
    // closes: its checks could not work).
    bool fill();
    bool fillMedia();
    bool fillCategories();
    const QStringList &mediaNames() const { return media_; }

    // The media name must be one of the file's: standard warning 11 otherwise.
    int checkMedia(const QString &name);
    // A media name the list holds is taken in the list's spelling; else non-zero, no warning.
    int checkMediaInList(const QString &name);
    // Blank: no category; a name of the list: its identifier; else non-zero, no question.
    int findCategory(const QString &name);
    // As findCategory, but a name not in the list asks to add it.
    int checkCategory(const QString &name);
    // The list's name of the category with this identifier; blank for none.
    QString categoryName(qint64 id) const;
    // Shows the name of the category with this identifier (blank for none) unless the user is
    // in the combo.
    void showCategory(qint64 id);

private:
    bool addCategory(const QString &name);

    struct Category {
        QString name;
        qint64 id;
    };
    QPointer<QWidget> mediaCombo_, categoryCombo_;
    std::function<void(const QString &, const QVariant &)> setField_;
    LookupFields fields_;
    QStringList media_;
    std::vector<Category> categories_;
};

} // namespace tbk
