#include "records/formrecord.h"

#include "records/keyrangewalk.h"
#include "core/standardwarnings.h"
#include "runtime/threads/messagebox.h"
#include "runtime/ui/feedback.h"

namespace tbk {

using namespace tbk::data;

FormRecord::FormRecord(FormFile file, std::vector<DataFile *> otherFiles)
    : file_(std::move(file)), otherFiles_(std::move(otherFiles)) {}

FormRecord::~FormRecord() {
    try {
        close();
    } catch (...) {
        // A destructor must not throw, not even the unwinding of a halt.
    }
}

FormRecord::Next FormRecord::open(qint32 request, const Prime &primes, const Prime &furtherPrimes) {
    // The caller's record, before anything can wait.
    working_ = file_.file->record();
    entryRequest_ = request;
    copying_ = request == SelectRecord;
    request_ = copying_ ? qint32(InsertRecord) : request;
    if (request_ != InsertRecord && request_ != DeleteRecord)
        request_ = ChangeRecord;
    files_ = std::make_unique<FilesInUse>();
    files_->add(*file_.file);
    for (DataFile *f : otherFiles_)
        files_->add(*f);
    if (!file_.file->isOpen())
        return Next::Close;   // the program is ending
    switch (request_) {
    case InsertRecord:
        return prime(primes, furtherPrimes);
    case DeleteRecord:
        return removeRecord();
    default:
        toBuffer();
        keepLinks();
        savedImage_ = working_;
        return Next::OpenWindow;
    }
}

int FormRecord::identifierField() const { return file_.identifierKey->decl().fields.back(); }

void FormRecord::keepLinks() {
    if (file_.captureLinks)
        file_.captureLinks();
    links_ = RISave;
}

FormRecord::Next FormRecord::prime(const Prime &primes, const Prime &furtherPrimes) {
    Record image = working_;
    image.position = 0;
    image.version = 0;
    file_.file->setRecord(image);
    if (primes)
        primes();
    image = file_.file->record();
    if (!file_.identifierKey) {
        if (furtherPrimes)
            furtherPrimes();
        fromBuffer();
        savedImage_ = working_;
        return Next::OpenWindow;
    }
    for (int failures = 0;;) {
        switch (primeOnce(image, furtherPrimes)) {
        case Primed::Added:
            savedImage_ = working_;
            return Next::OpenWindow;
        case Primed::ReadError:
            ShowStandardWarningWithText(35, file_.file->label());
            return Next::Close;
        case Primed::Failed:
            if (++failures % 3 == 0 && ShowStandardWarningPlain(25) != ButtonRetry)
                return Next::Close;
            break;
        }
    }
}

// Each try reads the last identifier again: another window (or station) may have taken the one
// an earlier try computed.
FormRecord::Primed FormRecord::primeOnce(const Record &image, const Prime &furtherPrimes) {
    DataFile &f = *file_.file;
    qint64 last = 0;
    if (!lastInRange(f, *file_.identifierKey, image, last))
        return Primed::ReadError;
    FieldRef(&f, identifierField()).setNumber(last + 1);
    if (furtherPrimes)
        furtherPrimes();
    if (f.add()) {
        fromBuffer();
        primed_ = working_.position;
        // As added: the further primes may set the identifier's field themselves.
        primedId_ = f.cell(identifierField()).n;
        return Primed::Added;
    }
    if (errorCode() != DuplicateKey || isIdentifierKey(errorKey()))
        return Primed::Failed;
    // A copy meets its original on another unique key: the file holds only the identifier until
    // the form completes, and a duplicate left then is reported as any other.
    const Record values = f.record();
    f.clear();
    for (int field : file_.identifierKey->decl().fields)
        f.cell(field) = values.cells[size_t(field)];
    if (!f.add())
        return Primed::Failed;
    working_ = values;
    working_.position = f.position();
    working_.version = f.record().version;
    primed_ = working_.position;
    primedId_ = last + 1;
    return Primed::Added;
}

bool FormRecord::isIdentifierKey(const QString &name) const {
    return file_.identifierKey && file_.identifierKey->decl().name.compare(name, Qt::CaseInsensitive) == 0;
}

FormRecord::Next FormRecord::removeRecord() {
    if (ShowStandardWarningPlain(32) != ButtonOK)
        return Next::Close;
    for (;;) {
        int refused;
        {
            WaitCursor wait;
            toBuffer();
            refused = file_.deleteRule();
        }
        if (refused == 0) {
            response_ = RequestCompleted;
            return Next::Close;
        }
        if (ShowStandardWarningPlain(18) != ButtonYes)
            return Next::Close;
    }
}

FormRecord::Next FormRecord::primeNext() {
    if (request_ != InsertRecord || primed_ != 0 || response_ != RequestCompleted)
        return Next::Stay;
    written_ = working_.position;
    working_ = savedImage_;
    response_ = 0;
    return prime({}, {});
}

FormRecord::Next FormRecord::complete() {
    if (ditto_ && dittoBeforeWrite_)
        *ditto_ = DittoStore{true, working_};
    return request_ == InsertRecord ? writeInsert() : writeChange();
}

// The first of the unique keys, in the form's order, that another record holds the working
// copy's value of; the key the driver names when none is found (it stops at the first it meets,
// which need not be the form's first).
QString FormRecord::duplicateDescription() {
    std::vector<std::pair<const Key *, QString>> keys;
    if (file_.identifierKey)
        keys.emplace_back(file_.identifierKey, file_.identifierKeyDescription);
    keys.insert(keys.end(), file_.duplicateKeys.begin(), file_.duplicateKeys.end());
    const QString named = errorKey();
    DataFile &f = *file_.file;
    const Record kept = f.record();
    QString found, fallback;
    for (const auto &[k, text] : keys) {
        if (fallback.isNull() && k->decl().name.compare(named, Qt::CaseInsensitive) == 0)
            fallback = text;
        bool blank = true;
        for (int field : k->decl().fields)
            blank = blank && working_.cells[size_t(field)].n == 0 && working_.cells[size_t(field)].s.trimmed().isEmpty();
        if (found.isNull() && !(blank && k->decl().excludesBlanks())) {
            f.setRecord(working_);
            if (f.get(*k) && f.position() != primed_ && f.position() != working_.position)
                found = text;
        }
    }
    f.setRecord(kept);
    return found.isNull() ? fallback : found;
}

FormRecord::Next FormRecord::writeInsert() {
    DataFile &f = *file_.file;
    toBuffer();
    if (primed_ != 0 ? f.put() : f.add()) {
        fromBuffer();
        primed_ = 0;
        response_ = RequestCompleted;
        if (ditto_)
            *ditto_ = DittoStore{true, working_};
        return Next::Close;
    }
    const QString description = errorCode() == DuplicateKey ? duplicateDescription() : QString();
    const int answer = description.isNull() ? ShowStandardWarningPlain(14) : ShowStandardWarningWithText(24, description);
    return answer != 0 ? Next::SelectFirst : Next::Stay;
}

FormRecord::Next FormRecord::writeChange() {
    for (;;) {
        bool unchanged;
        {
            WaitCursor wait;
            unchanged = working_.sameValues(savedImage_);
        }
        if (unchanged) {
            if (NavigationRequest == 0)
                response_ = RequestCompleted;
            return Next::Close;
        }
        toBuffer();
        RISave = links_;
        const int written = file_.updateRule(ditto_ != nullptr);
        if (written == 0) {
            fromBuffer();
            response_ = RequestCompleted;
            if (ditto_)
                *ditto_ = DittoStore{true, working_};
            return Next::Close;
        }
        if (written == 2) {
            // The rule read the other window's version into the buffer: show that one, and keep
            // the user's for ditto to recall.
            const Record mine = working_;
            fromBuffer();
            savedImage_ = working_;
            keepLinks();
            if (ditto_)
                *ditto_ = DittoStore{true, mine};
            return Next::Reload;
        }
        const int answer = ShowStandardWarningPlain(16);
        if (answer == ButtonNo)
            return Next::Close;
        if (answer != ButtonYes)
            return Next::Stay;
    }
}

void FormRecord::close() {
    if (closed_)
        return;
    closed_ = true;
    DataFile &f = *file_.file;
    // A written record is no longer primed, whatever the response says.
    if (entryRequest_ != 0 && request_ == InsertRecord && primed_ != 0 && f.isOpen()) {
        const Record kept = f.record();
        // Only while it still holds its identifier: another window may have deleted it and its
        // place gone to another record since.
        if (f.get(primed_) && f.cell(identifierField()).n == primedId_)
            f.remove();
        f.setRecord(kept);
        primed_ = 0;
    }
    if (written_ != 0 && f.isOpen() && f.get(written_))
        working_ = f.record();
    files_.reset();
}

QVariant FormRecord::valueIn(const Record &r, const QString &field) const {
    const FieldRef ref = file_.file->field(field);
    if (!ref.valid() || size_t(ref.index()) >= r.cells.size())
        return {};
    const Cell &c = r.cells[size_t(ref.index())];
    return ref.isText() ? QVariant(c.s) : QVariant(qlonglong(c.n));
}

QVariant FormRecord::value(const QString &field) const { return valueIn(working_, field); }

QVariant FormRecord::dittoValue(const QString &field) const {
    return ditto_ && ditto_->filled ? valueIn(ditto_->record, field) : QVariant();
}

bool FormRecord::setValue(const QString &field, const QVariant &value) {
    DataFile &f = *file_.file;
    const FieldRef ref = f.field(field);
    if (!ref.valid())
        return false;
    // The buffer's own fitting, on the working copy: the buffer is put back before anything
    // else can run.
    const Record kept = f.record();
    f.setRecord(working_);
    ref.setValue(value);
    working_ = f.record();
    f.setRecord(kept);
    return true;
}

} // namespace tbk
