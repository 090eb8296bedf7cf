#pragma once
// Names that expressions may use: fields and memos of the declarations, and variables that
// windows and reports bind by name and release again.
#include "runtime/expr/value.h"

#include <QHash>
#include <QList>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace tbk::expr {

struct Binding {
    Type type = Type::Text;
    // The value now: a field reads its record buffer, a variable its storage.
    std::function<Value()> get;
    // Set for a field of the row a view is reading: its value changes from row to row. Any
    // other name keeps one value for a whole pass over a view.
    bool perRow = false;
    // For a per-row field that is a column of the view's own table: the column as the driver
    // writes it in SQL (an identifier it vouches for). Empty: the field cannot be read in SQL.
    QString sqlColumn;
};

class Resolver {
public:
    virtual ~Resolver() = default;
    // The binding of a name as written in an expression (matched without case), if known.
    virtual std::optional<Binding> resolve(const QString &name) const = 0;
};

// Variables bound by name. The latest binding of a name hides earlier ones until released.
class VariableScope : public Resolver {
public:
    using Id = quint64;

    Id bind(const QString &name, Type type, std::function<Value()> get);
    // Convenience for variables that outlive their binding.
    Id bindText(const QString &name, const QString *variable);
    Id bindNumber(const QString &name, const double *variable);
    Id bindNumber(const QString &name, const qint32 *variable);
    Id bindNumber(const QString &name, const qint64 *variable);
    void unbind(Id id);
    bool isBound(const QString &name) const;

    std::optional<Binding> resolve(const QString &name) const override;

private:
    struct Entry {
        Id id;
        Binding binding;
    };
    QHash<QString, QList<Entry>> names_;
    Id next_ = 1;
};

// Releases what it bound when it goes: a window's or a report run's own names.
class BoundNames {
public:
    explicit BoundNames(VariableScope &scope) : scope_(scope) {}
    ~BoundNames() { release(); }
    BoundNames(const BoundNames &) = delete;
    BoundNames &operator=(const BoundNames &) = delete;

    void add(VariableScope::Id id) { ids_.push_back(id); }
    void release();

private:
    VariableScope &scope_;
    std::vector<VariableScope::Id> ids_;
};

// Looks names up in each resolver in turn; the first that knows a name wins.
class ResolverChain : public Resolver {
public:
    ResolverChain() = default;
    ResolverChain(std::initializer_list<const Resolver *> list) : list_(list) {}
    void append(const Resolver *r) { list_.push_back(r); }
    std::optional<Binding> resolve(const QString &name) const override;

private:
    std::vector<const Resolver *> list_;
};

// Names bound for the whole program (the report criteria globals and the like). A window's
// own names (reset fields, ThreadInstance) belong in a scope of the window, since two windows
// on two threads bind the same names to different values.
VariableScope &programScope();

} // namespace tbk::expr
