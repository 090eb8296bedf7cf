#include "runtime/expr/fieldnames.h"

#include "runtime/data/datafile.h"

#include <algorithm>

namespace tbk::expr {

std::optional<Binding> DeclaredFields::resolve(const QString &name) const {
    const data::FieldRef ref = data::findField(name);
    if (!ref.valid())
        return std::nullopt;
    const data::RecordBuffer *file = ref.file();
    const int index = ref.index();
    Binding b;
    if (ref.isText()) {
        b.type = Type::Text;
        b.get = [file, index] { return Value(file->cell(index).s); };
    } else {
        b.type = Type::Number;
        b.get = [file, index] { return Value(double(file->cell(index).n)); };
    }
    if (file_ && file == file_) {
        b.perRow = true;
        b.sqlColumn = data::DataFile::columnName(file->structure().fields()[size_t(index)]);
    } else if (std::find(joined_.begin(), joined_.end(), file) != joined_.end()) {
        b.perRow = true;
    }
    return b;
}

} // namespace tbk::expr
