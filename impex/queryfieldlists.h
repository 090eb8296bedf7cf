#pragma once
// The song fields a query may be built on, as the field-list text each caller hands the query
// wizard, and the preparation of a caller's field queue when its window opens.
#include "runtime/querywizard/queryfields.h"

#include <QString>

#include <initializer_list>

namespace tbk {

// The song field list's rows (1 to 31) as one field-list text, in the order given.
QString songQueryFieldList(std::initializer_list<int> rows);
// All 31 rows: the song browse and the song explorer.
QString songQueryFields();
// Rows 1 and 3 to 31 (no "MED:Media"): the DJ log.
QString djLogQueryFields();
// Rows 3 to 31 (no category, no media file): the paper-saver song lists.
QString paperSaverQueryFields();

// Empties the queue and fills it from the field list for the query name. Unless an earlier
// preparation in the same window failed (`failed`, kept by the window), the list is added;
// a refused list is reported to the user and leaves `failed` set.
void prepareQueryFields(QueryFieldQueue &queue, const QString &fieldList, const QString &queryName, bool &failed);

} // namespace tbk
