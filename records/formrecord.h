#pragma once
// The record half of every update form, without widgets: priming a new record, deleting without
// a window, writing an insert or a change, and the closing rules.
//
// The form works on its own copy of the record (working()), taken from the file's buffer when it
// opens: another window reading the same file meanwhile cannot change what the form writes. The
// shared buffer is used only between two waits (the driver and the integrity rules work on it).
// A completed insert or change leaves the written record, with its position, in the buffer.
#include "core/fileaccess.h"
#include "core/referentialintegrity.h"
#include "runtime/data/datafile.h"
#include "runtime/threads/callprotocol.h"

#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace tbk {

// What a form knows of its file.
struct FormFile {
    data::DataFile *file = nullptr;
    // The key of the record's identifier: its last field numbers the records, within the range
    // its leading fields hold in the new record (a playlist's entries); null for a file without
    // one, whose new record is added only when the form completes.
    const data::Key *identifierKey = nullptr;
    QString identifierKeyDescription;   // shown by warning 24 for a duplicate identifier
    std::function<int()> deleteRule;             // 0 deleted, 1 not
    std::function<int(bool)> updateRule;         // 0 written, 1 not, 2 changed elsewhere (re-read)
    std::function<void()> captureLinks;          // keeps the linking values before a change
    // Further unique keys whose duplicate warning 24 reports with this description.
    std::vector<std::pair<const data::Key *, QString>> duplicateKeys = {};
};

// A run-long store of the last record a form completed (ditto).
struct DittoStore {
    bool filled = false;
    data::Record record;
};

class FormRecord {
public:
    enum class Next {
        OpenWindow,    // go on with the window
        Close,         // close the form (the response says how it ended)
        Stay,          // keep the window open as it is
        SelectFirst,   // keep it open and select the first entry field
        Reload,        // the record was read again: show the working copy, select the first field
    };

    // Priming steps, on the file's buffer; they must not wait (the buffer is shared).
    using Prime = std::function<void()>;

    explicit FormRecord(FormFile file, std::vector<data::DataFile *> otherFiles = {});
    ~FormRecord();
    FormRecord(const FormRecord &) = delete;
    FormRecord &operator=(const FormRecord &) = delete;

    // Takes the record the caller left in the buffer, opens the files and acts on the request
    // (1 insert, 2 change, 3 delete, 4 copy; anything else is a change). `primes` are the form's
    // field primes of a new record, `furtherPrimes` what it fills after the new identifier.
    Next open(qint32 request, const Prime &primes = {}, const Prime &furtherPrimes = {});

    // OK after a passed validation: writes the insert or the change.
    Next complete();
    // For a window that enters records one after another: after a completed insert, primes the
    // next new record from the image the written one was primed from (OpenWindow), or gives up
    // (Close). The call stays completed, and closing leaves the last record written in the buffer.
    Next primeNext();
    void cancel() { response_ = RequestCancelled; }
    // The closing rules: a primed record not written deleted, the files closed through the
    // open counts. Runs once; safe from a destructor and while the program halts.
    void close();

    qint32 request() const { return request_; }           // copy turned into insert
    qint32 entryRequest() const { return entryRequest_; }
    bool copying() const { return copying_; }
    bool inserting() const { return request_ == InsertRecord; }
    // 0 until the form completes (stored as cancelled), 1 completed, 2 cancelled; completed for
    // good once primeNext() followed a written record.
    qint32 response() const { return written_ != 0 ? qint32(RequestCompleted) : response_; }
    // The identifier of the primed record not yet written, 0 when there is none.
    qint64 primedIdentifier() const { return primed_ != 0 ? primedId_ : 0; }
    bool filesOpen() const { return files_ != nullptr; }

    data::DataFile &file() const { return *file_.file; }
    const data::Record &working() const { return working_; }
    data::Record &working() { return working_; }
    const data::Record &savedImage() const { return savedImage_; }
    // The working copy to and from the file's buffer.
    void toBuffer() const { file_.file->setRecord(working_); }
    void fromBuffer() { working_ = file_.file->record(); }

    // A field of the working copy by name ("PRE:Name" or "Name"); invalid for another file's field.
    QVariant value(const QString &field) const;
    // Sets a field of the working copy, fitted as the buffer fits it; false for another file's.
    bool setValue(const QString &field, const QVariant &value);

    // The field's value in the ditto store; invalid when the store is empty or the field is
    // another file's.
    QVariant dittoValue(const QString &field) const;

    // Completed records go to the store; a change refused because another window changed the
    // record first leaves the user's version there, as warning 38 tells.
    void setDitto(DittoStore *store) { ditto_ = store; }
    // The store takes every record OK tries to write, written or not.
    void setDittoBeforeWrite(bool before) { dittoBeforeWrite_ = before; }

private:
    enum class Primed { Added, Failed, ReadError };
    Next prime(const Prime &primes, const Prime &furtherPrimes);
    Primed primeOnce(const data::Record &image, const Prime &furtherPrimes);
    Next removeRecord();
    Next writeInsert();
    QString duplicateDescription();
    Next writeChange();
    void keepLinks();
    int identifierField() const;
    bool isIdentifierKey(const QString &name) const;
    QVariant valueIn(const data::Record &r, const QString &field) const;

    FormFile file_;
    std::vector<data::DataFile *> otherFiles_;
    std::unique_ptr<FilesInUse> files_;
    qint32 request_ = 0;
    qint32 entryRequest_ = 0;
    bool copying_ = false;
    qint32 response_ = 0;
    data::Record working_;
    data::Record savedImage_;
    data::Position primed_ = 0;   // the record added by priming, until it is written
    qint64 primedId_ = 0;
    data::Position written_ = 0;  // the last record written before primeNext()
    // The linking values this form captured: the integrity rules read them from one global,
    // which another form may have overwritten meanwhile.
    KeptLinks links_;
    DittoStore *ditto_ = nullptr;
    bool dittoBeforeWrite_ = false;
    bool closed_ = false;
};

} // namespace tbk
