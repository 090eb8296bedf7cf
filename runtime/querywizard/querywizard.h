#pragma once
// The query wizard: the calls a list or a report makes to let its user build, save and run a
// query over the fields it lists. The wizard's windows are modal to the calling thread only.
//
//     QueryFieldQueue queue;                       // when the caller's window opens
//     qint32 error = 0;
//     QW_ADDFIELDSQUEUEDATA(queue, error, fieldList);
//     QW_INITFIELDSQUEUE(queue, "SONGS");
//     ...
//     QW_WIZARD(queue, "SONGS", filter, {0, 0, 0, 1, 0, 0, 0, 0, 0});   // the search button
//     if (QW_Response) { list.setQueryFilter(filter); ... }
#include "runtime/querywizard/displaytexts.h"
#include "runtime/querywizard/queryfields.h"

#include <QString>

#include <array>

namespace tbk {

// Non-zero after QW_WIZARD when the user ran a query ($QW:Response).
extern qint32 QW_Response;

// Runs the wizard for the query name: the user picks a saved query or builds one. When a
// query is run, the filter text (at most 1024 characters, over the queue's bound names) is
// left in `filter` and QW_Response is 1; otherwise `filter` is left as it was and QW_Response
// is 0. The nine values of the call sites are accepted as they are and change nothing.
void QW_WIZARD(QueryFieldQueue &queue, const QString &queryName, QString &filter,
               const std::array<qint32, 9> &fixed);

} // namespace tbk
