#pragma once
// What every called window procedure does on entry and on every way out, whichever way it
// leaves (a halt unwinds through here too): the request is taken and cleared with the response,
// the list-format context is stored, and the local response is left for the caller.
#include "records/listformats.h"
#include "runtime/threads/callprotocol.h"

namespace tbk {

class ProcedureCall {
public:
    ProcedureCall() : request_(takeGlobalRequest()) { storeListFormatContext(); }
    ~ProcedureCall() { storeGlobalResponse(response_); }
    ProcedureCall(const ProcedureCall &) = delete;
    ProcedureCall &operator=(const ProcedureCall &) = delete;

    // The request as the caller set it.
    qint32 request() const { return request_; }
    // 0 until the procedure sets one; stored as cancelled.
    qint32 response() const { return response_; }
    void setResponse(qint32 response) { response_ = response; }

private:
    qint32 request_;
    qint32 response_ = 0;
};

} // namespace tbk
