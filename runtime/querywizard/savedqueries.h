#pragma once
// The wizard's saved-query file: a data file of the catalogue named by $QW:FileName in the
// current directory (the catalogue's folder), holding each query under its caller's query name
// with its description, its filter text and its conditions (so that it can be changed later).
#include "runtime/data/datafile.h"
#include "runtime/querywizard/query.h"

#include <QList>
#include <QString>

#include <optional>

namespace tbk::qw {

class SavedQueryFile : public data::DataFile {
public:
    SavedQueryFile();
    enum Field { f_QueryName, f_Description, f_Filter, f_Conditions };
    data::TextField QueryName{this, f_QueryName};
    data::TextField Description{this, f_Description};
    data::TextField Filter{this, f_Filter};
    data::MemoField Conditions{this, f_Conditions};
    const data::Key &KeyDescription{keyAt(0)};   // query name, description: unique
};

extern SavedQueryFile QWQ;

struct SavedQuery {
    data::Position position = 0;   // 0: not saved yet
    QString description;
    QString filter;
    Query query;
    bool damaged = false;          // its conditions could not be read back
};

// The saved queries of a query name, in order of description; nullopt when the file cannot
// be read (the runtime error says why). A missing file is made empty.
std::optional<QList<SavedQuery>> savedQueries(const QString &queryName);
// Adds the query, or writes over the one it was read from; false with the runtime error set.
bool saveQuery(const QString &queryName, SavedQuery &q);
bool removeQuery(data::Position position);

} // namespace tbk::qw
