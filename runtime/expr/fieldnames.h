#pragma once
// Every field and memo of the declarations by its name ("MUS:Artist", case-blind), read from
// the declaration's record buffer.
#include "runtime/expr/binding.h"

#include <vector>

namespace tbk::data {
class DataFile;
class RecordBuffer;
}

namespace tbk::expr {

class DeclaredFields : public Resolver {
public:
    // Without a view: every field keeps its buffer's value for a whole pass.
    DeclaredFields() = default;
    // For a view over `file`: its fields change from row to row and are columns in SQL. The
    // fields of `joined` files (loaded for each row by the view's reader) change too but have
    // no column.
    explicit DeclaredFields(const data::DataFile *file,
                            std::vector<const data::RecordBuffer *> joined = {})
        : file_(file), joined_(std::move(joined)) {}

    std::optional<Binding> resolve(const QString &name) const override;

private:
    const data::DataFile *file_ = nullptr;
    std::vector<const data::RecordBuffer *> joined_;
};

} // namespace tbk::expr
