#include "impex/transfer.h"

#include "runtime/data/errors.h"
#include "runtime/threads/messagebox.h"
#include "runtime/values/picture.h"
#include "runtime/values/text.h"

namespace tbk {

namespace {

constexpr int kFieldTextSize = 4000;
const QChar kQuote = QLatin1Char('"');

QString plainNumber(const QVariant &value) {
    if (value.typeId() == QMetaType::QString) {
        const double n = numericValue(value.toString());
        return QString::number(n, 'g', 15);
    }
    return QString::number(value.toLongLong());
}

} // namespace

Transfer::Transfer() : file(QStringLiteral("TransferFile"), QString()) {}

void ExportStartLine(Transfer &t) {
    t.record.resize(0);   // keeps its room for the next line
    t.linePosition = 1;
    t.firstField = true;
}

QString QuoteFieldText(const QString &text, bool header) {
    QString out = text;
    if (!header)
        return fit(out.replace(kQuote, QStringLiteral("\"\"")), kFieldTextSize);
    if (out.contains(QLatin1Char('['))) {
        out.replace(QLatin1Char(','), QLatin1Char('_'));
        out.replace(QLatin1Char('['), QLatin1Char('_'));
        out.replace(QLatin1Char(']'), QLatin1Char(' '));
    }
    return out;
}

FieldForm fieldFormOf(const QString &picture) {
    const QChar type = picture.size() > 1 ? picture[1] : QChar();
    if (type == QLatin1Char('s') || type == QLatin1Char('S'))
        return FieldForm::Text;
    if (type == QLatin1Char('n') || type == QLatin1Char('N'))
        return FieldForm::Number;
    return FieldForm::Formatted;
}

void ExportWriteField(Transfer &t, const QVariant &value, const QString &picture, bool header) {
    const QString pic = clip(picture);
    writeField(t, value, pic, fieldFormOf(pic), header);
}

void writeField(Transfer &t, const QVariant &value, const QString &picture, FieldForm form, bool header) {
    if (!t.firstField)
        t.record += QLatin1Char(',');
    switch (form) {
    case FieldForm::Text: {
        t.fieldText = value.toString();
        if (t.fieldText.size() > kFieldTextSize)
            t.fieldText.truncate(kFieldTextSize);
        if (header || t.fieldText.contains(kQuote))
            t.fieldText = QuoteFieldText(t.fieldText, header);
        t.record += kQuote;
        t.record += QStringView(t.fieldText).first(clippedLength(t.fieldText));
        t.record += kQuote;
        break;
    }
    case FieldForm::Number:
        t.record += plainNumber(value).trimmed();
        break;
    case FieldForm::Formatted:
        t.record += kQuote;
        t.record += formatPicture(picture, value);
        t.record += kQuote;
        break;
    }
    t.linePosition = int(t.record.size()) + 1;
    t.firstField = false;
}

QString transferErrorText() {
    const bool system = data::errorCode() == data::DriverError;
    const int code = system ? data::driverErrorCode() : data::errorCode();
    const QString text = system ? data::driverErrorText() : data::errorText();
    return QStringLiteral("Error #%1 - %2").arg(code).arg(text);
}

int showTransferError(const Transfer &t, const QString &action, int buttons, int defaultButton) {
    return message(transferErrorText(), action + clip(t.fileName), MessageIcon::Question, buttons, defaultButton);
}

bool ExportAddRecord(Transfer &t) {
    t.file.RECORD = t.record;
    while (!t.file.add())
        if (showTransferError(t, QStringLiteral("Cannot ADD to "), ButtonRetry | ButtonAbort, ButtonAbort) != ButtonRetry)
            return false;
    return true;
}

void ExportCloseFile(Transfer &t) {
    t.file.close();
    if (data::errorCode() != data::NoError)
        showTransferError(t, QStringLiteral("Cannot CLOSE "), ButtonOK);
}

} // namespace tbk
