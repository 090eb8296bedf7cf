#include "runtime/ui/handlertable.h"

namespace tbk {

void HandlerTable::on(QObject *control, EventKind kind, Handler fn) {
    std::erase_if(entries_, [&](const Entry &e) {
        return e.kind == kind && (control ? e.control == control : e.anyControl);
    });
    if (fn)
        entries_.push_back(Entry{control, control == nullptr, kind, std::move(fn)});
}

const HandlerTable::Entry *HandlerTable::find(const Event &e) const {
    const Entry *fallback = nullptr;
    for (const Entry &h : entries_) {
        if (h.kind != e.kind)
            continue;
        if (h.anyControl)
            fallback = &h;
        else if (e.control && h.control == e.control)
            return &h;
    }
    return fallback;
}

bool HandlerTable::dispatch(const Event &e) const {
    const Entry *h = find(e);
    if (!h)
        return false;
    // The handler may replace itself (or others) while it runs.
    const Handler fn = h->fn;
    fn(e);
    return true;
}

void HandlerTable::forgetControls() {
    std::erase_if(entries_, [](const Entry &e) { return !e.anyControl; });
}

} // namespace tbk
