#include "impex/importsong.h"

#include "core/datafiles.h"
#include "core/programsettings.h"
#include "runtime/values/dates.h"
#include "runtime/values/picture.h"
#include "runtime/values/text.h"

#include <cmath>

namespace tbk {

using namespace tbk::data;

namespace {

constexpr int kCategoryNameSize = 30;

const struct {
    const char *letter;
    const char *media;
} kCassettes[] = {
    {"D", "Cassette (DBX)"},
    {"C", "Cassette (Dolby-C)"},
    {"B", "Cassette (Dolby-B)"},
};

// The identifier a whole number names, when the text is nothing but one.
std::optional<qint64> wholeNumber(const QString &text) {
    if (!isNumericText(text))
        return std::nullopt;
    const double n = numericValue(text);
    if (n < 1 || n != std::floor(n) || n > 1e15)
        return std::nullopt;
    return qint64(n);
}

// The year a text of nothing but digits names, 0 when it is none.
qint32 plainYear(const QString &text) {
    const QString digits = text.trimmed();
    if (digits.isEmpty() || digits.size() > 4)
        return 0;
    for (const QChar c : digits)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return 0;
    const qint32 year = digits.toInt();
    return isBareYear(year) ? year : 0;
}

qint64 nextCategoryId() {
    CAT.set(CAT.KeyCategoryID);
    return CAT.previous() ? CAT.CategoryID.value() + 1 : 1;
}

} // namespace

qint32 importCategoryId(const QString &text, bool &addFailed) {
    const QString name = fit(text, kCategoryNameSize);
    if (name.isEmpty())
        return 0;
    CAT.clear();
    CAT.Category = name;
    if (CAT.get(CAT.KeyCategory))
        return numberInRange<qint32>(double(CAT.CategoryID.value()));
    // What the export writes for a song without one.
    if (name == QLatin1String("0"))
        return 0;
    if (const std::optional<qint64> id = wholeNumber(name)) {
        CAT.CategoryID = *id;
        if (CAT.CategoryID.value() == *id && CAT.get(CAT.KeyCategoryID))
            return numberInRange<qint32>(double(*id));
    }
    const qint64 id = nextCategoryId();
    CAT.clear();
    CAT.CategoryID = id;
    CAT.Category = name;
    if (!CAT.add()) {
        addFailed = true;
        return 0;
    }
    return numberInRange<qint32>(double(id));
}

SongBuilder::SongBuilder(const ImportFieldLists &lists) : yearOnly_(yearOnlyDates()) {
    for (int c = 0; c < lists.columns.size(); ++c) {
        const ImportColumn &from = lists.columns[c];
        Column column;
        column.picture = clip(from.picture);
        const QChar family = pictureFamily(column.picture);
        column.shortTimes = from.exportPicture && family == QLatin1Char('t');
        column.numbers = from.exportPicture && family == QLatin1Char('d');
        for (const ImportTarget &target : lists.targets) {
            if (target.source != lists.columns[c].field)
                continue;
            const FieldRef ref = MUS.field(target.field);
            if (!ref.valid())
                continue;
            Feed f;
            f.field = ref.index();
            f.text = ref.isText();
            f.byte = ref.kind() == FieldKind::Byte;
            f.size = ref.size();
            f.category = f.field == MUS.CategoryID.index();
            f.releaseDate = f.field == MUS.ReleaseDate.index();
            column.years = column.years || f.releaseDate;
            column.feeds.push_back(f);
        }
        columns_.push_back(std::move(column));
    }
    while (!columns_.empty() && columns_.back().feeds.empty())
        columns_.pop_back();
}

qint32 SongBuilder::categoryId(const QString &text, bool &addFailed) {
    const auto known = categories_.constFind(text);
    if (known != categories_.cend())
        return *known;
    bool failed = false;
    const qint32 id = importCategoryId(text, failed);
    if (failed)
        addFailed = true;
    else
        categories_.insert(text, id);
    return id;
}

bool SongBuilder::build(ImportTransfer &t) {
    bool categoryFailed = false;
    MUS.clear();
    for (const Column &column : columns_) {
        if (ImportNextField(t) == 0)
            break;
        if (column.shortTimes)
            t.fieldText = shortTimeText(t.fieldText);
        else if (column.numbers && isNumericText(t.fieldText))
            t.fieldDeformatted = true;
        // Seen before a date picture reads the text.
        const qint32 year = column.years ? plainYear(t.fieldText) : 0;
        for (const Feed &f : column.feeds) {
            ImportDeformatField(t, column.picture);
            Cell &cell = MUS.cell(f.field);
            if (f.text) {
                cell.s = fit(t.fieldText, f.size);
                continue;
            }
            if (f.releaseDate && year != 0) {
                // January 1 of the years up to 1809 shares its day number with a bare year.
                const qint32 january = dayNumber(year, 1, 1);
                cell.n = yearOnly_ || january <= kLastBareYear ? year : january;
                continue;
            }
            const double n = numericValue(t.fieldText);
            if (f.category)
                cell.n = categoryId(t.fieldText, categoryFailed);
            else
                cell.n = f.byte ? qint64(numberInRange<quint8>(n)) : qint64(numberInRange<qint32>(n));
        }
    }
    for (const auto &c : kCassettes)
        if (MUS.Media.str() == QLatin1String(c.letter))
            MUS.Media = QString::fromLatin1(c.media);
    return !categoryFailed;
}

} // namespace tbk
