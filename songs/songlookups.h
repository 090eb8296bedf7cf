#pragma once
// The media and category drop lists of a window that edits a song's header values (the song
// form, the add wizards): filled from their files, and the checks their accepted values pass.
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QtGlobal>

#include <functional>
#include <vector>

class QWidget;

namespace tbk {

class SongLookups {
public:
    // The two lookups, and where the checks leave MUS:CategoryID and MUS:Media (the window's
    // own copy of the song).
    SongLookups(QWidget *media, QWidget *category, std::function<void(const QString &, const QVariant &)> setField);

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
    // Blank: no category. A name not in the list asks to add it.
    int checkCategory(const QString &name);
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
    QStringList media_;
    std::vector<Category> categories_;
};

} // namespace tbk
