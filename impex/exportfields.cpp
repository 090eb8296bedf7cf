#include "impex/exportfields.h"

#include <algorithm>

namespace tbk {

int ExportFieldList::indexOf(const QString &field) const {
    for (int i = 0; i < rows.size(); ++i)
        if (rows[i].field == field)
            return i;
    return -1;
}

const QList<ExportField> &exportableFields() {
    static const QList<ExportField> fields = [] {
        const char *const table[][2] = {
            {"MUS:Artist", "@s50"},
            {"MUS:Title", "@s50"},
            {"MUS:Mix", "@s30"},
            {"MUS:Album", "@s50"},
            {"MUS:Media", "@s20"},
            {"MUS:FileNumber", "@s20"},
            {"MUS:ReleaseDate", "@d2"},
            {"MUS:CategoryID", "@n-13"},
            {"MUS:ChartNumber", "@n3"},
            {"MUS:TrackNumber", "@n3"},
            {"MUS:Side", "@n2b"},
            {"MUS:Time", "@t4"},
            {"MUS:UserDefinedKeyField", "@s30"},
            {"MUS:AdditionalInformation1", "@s80"},
            {"MUS:AdditionalInformation2", "@s80"},
            {"MUS:AdditionalInformation3", "@s80"},
            {"MUS:BeatsPerMinute", "@n_4b"},
            {"MUS:Style", "@s30"},
            {"MUS:Recording", "@s255"},
            {"MUS:Composer", "@s80"},
            {"MUS:PerformanceNotes", "@s255"},
            {"MUS:LastPlayed", "@d17-"},
            {"MUS:Skips", "@n3"},
            {"MUS:EndType", "@s6"},
            {"MUS:InOut", "@s20"},
            {"MUS:Notes", "@s255"},
            {"MUS:Rating", "@n2"},
            {"MUS:Live", "@n3"},
            {"MUS:DoNotPlay", "@n3"},
            {"CAT:Category", "@s30"},
        };
        QList<ExportField> out;
        for (const auto &row : table)
            out.append({false, QString::fromLatin1(row[0]), QString::fromLatin1(row[1])});
        return out;
    }();
    return fields;
}

QString defaultExportPicture(const QString &field) {
    for (const ExportField &f : exportableFields())
        if (f.field == field)
            return f.picture;
    return {};
}

MarkAction markActionFor(bool leftClick, int key, Qt::KeyboardModifiers modifiers) {
    const Qt::KeyboardModifiers held =
        modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const bool plain = held == Qt::NoModifier;
    const bool shift = held == Qt::ShiftModifier;
    const bool ctrl = held == Qt::ControlModifier;
    const bool ctrlShift = held == (Qt::ShiftModifier | Qt::ControlModifier);
    if (leftClick)
        return plain ? MarkAction::Click : ctrl ? MarkAction::Toggle : shift ? MarkAction::Extend : MarkAction::None;
    switch (key) {
    case Qt::Key_Space:
        return plain ? MarkAction::Toggle : MarkAction::None;
    // A modifier key by itself may come with or without its own modifier flag.
    case Qt::Key_Control:
        return plain || ctrl ? MarkAction::Toggle : MarkAction::None;
    case Qt::Key_Shift:
        return plain || shift ? MarkAction::Extend : MarkAction::None;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Up:
    case Qt::Key_Down:
        return shift ? MarkAction::Extend : MarkAction::None;
    case Qt::Key_Home:
    case Qt::Key_End:
        return shift || ctrlShift ? MarkAction::Extend : MarkAction::None;
    default:
        return MarkAction::None;
    }
}

int rowAfterKey(int row, int rowCount, int pageRows, int key) {
    if (rowCount <= 0)
        return -1;
    const int step = std::max(1, pageRows);
    switch (key) {
    case Qt::Key_Up: row -= 1; break;
    case Qt::Key_Down: row += 1; break;
    case Qt::Key_PageUp: row -= step; break;
    case Qt::Key_PageDown: row += step; break;
    case Qt::Key_Home: row = 0; break;
    case Qt::Key_End: row = rowCount - 1; break;
    default: return row;
    }
    return std::clamp(row, 0, rowCount - 1);
}

void SelectListRows(ExportFieldList &list, int current, MarkAction action) {
    if (current < 0 || current >= list.rows.size())
        return;
    list.highlight = current;
    if (action == MarkAction::Extend && (list.anchor < 0 || list.anchor >= list.rows.size()))
        action = MarkAction::Click;
    switch (action) {
    case MarkAction::None:
        return;
    case MarkAction::Click:
        for (ExportField &f : list.rows)
            f.mark = false;
        list.rows[current].mark = true;
        list.anchor = current;
        return;
    case MarkAction::Toggle:
        list.rows[current].mark = !list.rows[current].mark;
        list.anchor = current;
        return;
    case MarkAction::Extend: {
        const int from = std::min(list.anchor, current);
        const int to = std::max(list.anchor, current);
        for (int i = 0; i < list.rows.size(); ++i)
            list.rows[i].mark = i >= from && i <= to;
        return;
    }
    }
}

void AddExportFields(const ExportFieldList &all, ExportFieldList &chosen) {
    for (const ExportField &f : all.rows) {
        if (!f.mark)
            continue;
        const int at = chosen.indexOf(f.field);
        if (at >= 0) {
            chosen.rows[at].mark = true;
            continue;
        }
        chosen.rows.append(f);
        if (chosen.rows.size() == 1)
            chosen.highlight = 0;
    }
}

void RemoveExportFields(ExportFieldList &chosen) {
    // The highlight and the anchor stay on the row above each deleted one at or above them.
    for (int i = int(chosen.rows.size()) - 1; i >= 0; --i) {
        if (!chosen.rows[i].mark)
            continue;
        chosen.rows.removeAt(i);
        if (i <= chosen.highlight)
            --chosen.highlight;
        if (i <= chosen.anchor)
            --chosen.anchor;
    }
}

void MoveExportFieldUp(ExportFieldList &chosen) {
    const int h = chosen.highlight;
    if (h <= 0 || h >= chosen.rows.size())
        return;
    chosen.rows.swapItemsAt(h, h - 1);
    chosen.highlight = h - 1;
}

void MoveExportFieldDown(ExportFieldList &chosen) {
    const int h = chosen.highlight;
    if (h < 0 || h + 1 >= chosen.rows.size())
        return;
    chosen.rows.swapItemsAt(h, h + 1);
    chosen.highlight = h + 1;
}

QString ShowPictureKind(const QString &picture) { return pictureKind(picture, QStringLiteral("Alpha-numeric")); }

QString pictureKind(const QString &picture, const QString &text) {
    const QChar type = picture.size() > 1 ? picture[1].toLower() : QChar();
    if (type == QLatin1Char('s'))
        return text;
    if (type == QLatin1Char('n'))
        return QStringLiteral("Numeric");
    return picture;
}

} // namespace tbk
