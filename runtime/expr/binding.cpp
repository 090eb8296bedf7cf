#include "runtime/expr/binding.h"

namespace tbk::expr {

VariableScope::Id VariableScope::bind(const QString &name, Type type, std::function<Value()> get) {
    const Id id = next_++;
    Binding b;
    b.type = type;
    b.get = std::move(get);
    names_[name.toUpper()].append(Entry{id, std::move(b)});
    return id;
}

VariableScope::Id VariableScope::bindText(const QString &name, const QString *variable) {
    return bind(name, Type::Text, [variable] { return Value(*variable); });
}

VariableScope::Id VariableScope::bindNumber(const QString &name, const double *variable) {
    return bind(name, Type::Number, [variable] { return Value(*variable); });
}

VariableScope::Id VariableScope::bindNumber(const QString &name, const qint32 *variable) {
    return bind(name, Type::Number, [variable] { return Value(double(*variable)); });
}

VariableScope::Id VariableScope::bindNumber(const QString &name, const qint64 *variable) {
    return bind(name, Type::Number, [variable] { return Value(double(*variable)); });
}

void VariableScope::unbind(Id id) {
    for (auto it = names_.begin(); it != names_.end(); ++it) {
        QList<Entry> &list = it.value();
        for (qsizetype i = 0; i < list.size(); ++i) {
            if (list[i].id == id) {
                list.removeAt(i);
                if (list.isEmpty())
                    names_.erase(it);
                return;
            }
        }
    }
}

bool VariableScope::isBound(const QString &name) const {
    return names_.contains(name.toUpper());
}

std::optional<Binding> VariableScope::resolve(const QString &name) const {
    const auto it = names_.constFind(name.toUpper());
    if (it == names_.constEnd() || it->isEmpty())
        return std::nullopt;
    return it->last().binding;
}

void BoundNames::release() {
    for (auto it = ids_.rbegin(); it != ids_.rend(); ++it)
        scope_.unbind(*it);
    ids_.clear();
}

std::optional<Binding> ResolverChain::resolve(const QString &name) const {
    for (const Resolver *r : list_)
        if (r)
            if (auto b = r->resolve(name))
                return b;
    return std::nullopt;
}

VariableScope &programScope() {
    static VariableScope scope;
    return scope;
}

} // namespace tbk::expr
