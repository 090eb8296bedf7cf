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
    t.record.clear();
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

void ExportWriteField(Transfer &t, const QVariant &value, const QString &picture, bool header) {
    if (!t.firstField)
        t.record += QLatin1Char(',');
    const QString pic = clip(picture);
    const QChar type = pic.size() > 1 ? pic[1].toLower() : QChar();
    if (type == QLatin1Char('s')) {
        t.fieldText = fit(value.toString(), kFieldTextSize);
        t.fieldText = clip(QuoteFieldText(t.fieldText, header));
        t.record += kQuote + t.fieldText + kQuote;
    } else if (type == QLatin1Char('n')) {
        t.record += plainNumber(value).trimmed();
    } else {
        t.record += kQuote + formatPicture(pic, value) + kQuote;
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
