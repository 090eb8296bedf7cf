#pragma once
// How a caller and the procedure it calls meet: the caller sets the request just before the
// call, the callee takes and clears it on entry and leaves its response on the way out.
// Shared by all threads; safe because a thread is never interrupted between these steps.
#include <QtGlobal>

#include <functional>

namespace tbk {

enum RequestCode : qint32 {
    NoRequest = 0,
    InsertRecord = 1,
    ChangeRecord = 2,
    DeleteRecord = 3,
    SelectRecord = 4,   // select for a browse, copy for a form
};

enum ResponseCode : qint32 {
    RequestCompleted = 1,
    RequestCancelled = 2,
};

extern qint32 GlobalRequest;
extern qint32 GlobalResponse;
extern qint32 NavigationRequest;

// On entry of a called procedure: the request, with request and response cleared.
qint32 takeGlobalRequest();
// On every way out of a called procedure; 0 (nothing done) is stored as cancelled.
void storeGlobalResponse(qint32 localResponse);
// Calls a procedure modally on the calling thread with the request and returns its response.
qint32 callWithRequest(qint32 request, const std::function<void()> &procedure);

} // namespace tbk
