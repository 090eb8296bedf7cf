#include "runtime/threads/callprotocol.h"

namespace tbk {

qint32 GlobalRequest = 0;
qint32 GlobalResponse = 0;
qint32 NavigationRequest = 0;

qint32 takeGlobalRequest() {
    const qint32 request = GlobalRequest;
    GlobalRequest = 0;
    GlobalResponse = 0;
    return request;
}

void storeGlobalResponse(qint32 localResponse) {
    GlobalResponse = localResponse == 0 ? RequestCancelled : localResponse;
}

qint32 callWithRequest(qint32 request, const std::function<void()> &procedure) {
    GlobalRequest = request;
    procedure();
    return GlobalResponse;
}

} // namespace tbk
